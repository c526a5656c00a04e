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

} // namespace quorvel
