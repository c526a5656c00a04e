#pragma once
// Every value the evaluator puts back into formula text is written by FloatToPlainText (15
// significant digits) and read again later. RenderedValue gives the value that reading finds,
// without building the text in the common range, so the cached form of a formula can keep the
// same 15-digit cut cheaply.

#include <optional>

namespace quorvel {

// ParseFloat(FloatToPlainText(x)), bit for bit: nothing for NaN, infinities and the values
// whose 15-digit rounding lies beyond the largest double.
std::optional<double> RenderedValue(double x);

// The same as a plain double, NaN standing for nothing (no rendered value is NaN), with whole
// numbers of 15 digits or fewer (which the text writes exactly) answered on the spot: for the
// evaluator's inner loops, where an optional result costs a trip through memory.
double RenderedValueOrNan(double x);
inline double RenderedValueQuick(double x) {
    const double magnitude = x < 0 ? -x : x;
    if (magnitude < 1e15 && static_cast<double>(static_cast<long long>(magnitude)) == magnitude)
        return x;
    return RenderedValueOrNan(x);
}

} // namespace quorvel
