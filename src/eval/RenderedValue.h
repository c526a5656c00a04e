#pragma once
// Every value the evaluator puts back into formula text is written by FloatToPlainText (15
// significant digits) and read again later. RenderedValue gives the value that reading finds,
// without building the text in the common range, so the cached form of a formula can keep the
// same 15-digit cut cheaply.

#include <array>
#include <bit>
#include <cfloat>
#include <cstdint>
#include <optional>

namespace quorvel {

// ParseFloat(FloatToPlainText(x)), bit for bit: nothing for NaN, infinities and the values
// whose 15-digit rounding lies beyond the largest double.
std::optional<double> RenderedValue(double x);

// The same as a plain double, NaN standing for nothing (no rendered value is NaN): for the
// evaluator's inner loops, where an optional result costs a trip through memory.
double RenderedValueOrNan(double x);

namespace renderedvalue {

// The magnitudes the quick cut takes: binary exponents -26 to 49, which hold [1e-8, 1e15)
// but for a sliver below 1.5e-8 that the general cut takes.
constexpr int kLeastExponent = -26;
constexpr int kGreatestExponent = 49;
constexpr double kLeastMagnitude = 1.0 / (1 << 26); // 2^-26
constexpr double kGreatestMagnitude = 1e15;         // not included

// For a magnitude of binary exponent e: 10^s, where s is 14 less the decimal exponent that e
// suggests, and 10^(s-1) for the magnitudes whose decimal exponent is one more (0 when s is 0:
// no such magnitude is below 1e15). Both are exact doubles (s runs from 0 to 22).
struct Scales {
    double scale = 0.0;
    double lower = 0.0;
};
constexpr std::array<Scales, kGreatestExponent - kLeastExponent + 1> MakeScales() {
    std::array<Scales, kGreatestExponent - kLeastExponent + 1> table{};
    for (int e = kLeastExponent; e <= kGreatestExponent; ++e) {
        // floor(e * log10(2)), possibly one too low
        const int s = 14 - ((e * 78913) >> 18);
        double power = 1.0;
        for (int k = 0; k < s; ++k)
            power *= 10.0; // exact up to 10^22
        Scales& entry = table[static_cast<std::size_t>(e - kLeastExponent)];
        entry.scale = power;
        entry.lower = s == 0 ? 0.0 : power / 10.0;
    }
    return table;
}
inline constexpr std::array<Scales, kGreatestExponent - kLeastExponent + 1> kScales = MakeScales();

// 2^52: adding and subtracting it rounds a non-negative double below 2^52 to a whole number,
// halves to even.
constexpr double kRoundingShift = 4503599627370496.0;

// The 15-digit cut of x for the common magnitudes, or false when the general cut must decide:
// whole numbers below 10^15 are written exactly; any other magnitude in range is scaled by a
// power of ten into [10^14, 10^15), rounded to a whole number and scaled back. The product
// rounds the exact product of the magnitude and the power at most half a unit of its last
// place, which is 1/64 to 1/8 there, so the product and the exact product round to the same
// whole number unless the product lies exactly halfway between two, or on 10^14 or 10^15:
// those are left to the general cut, which works with the exact product. The division is
// correctly rounded, so the result is the double nearest to the decimal a 15-digit text
// writes.
inline bool QuickCut(double x, double& out) {
#if FLT_EVAL_METHOD != 0
    return false; // the roundings below need every operation rounded to double
#endif
    const double magnitude = x < 0 ? -x : x;
    if (!(magnitude < kGreatestMagnitude))
        return false; // NaN too
    if ((magnitude + kRoundingShift) - kRoundingShift == magnitude) {
        out = x; // a whole number of 15 digits or fewer, zero among them
        return true;
    }
    if (magnitude < kLeastMagnitude)
        return false;
    const int exponent = static_cast<int>(std::bit_cast<std::uint64_t>(magnitude) >> 52) - 1023;
    const Scales& scales = kScales[static_cast<std::size_t>(exponent - kLeastExponent)];
    double scale = scales.scale;
    double scaled = magnitude * scale;
    if (scaled > 1e15) { // the decimal exponent is one more than the binary one suggests
        scale = scales.lower;
        scaled = magnitude * scale;
    }
    if (!(scaled > 1e14 && scaled < 1e15))
        return false;
    const double whole = (scaled + kRoundingShift) - kRoundingShift;
    const double excess = scaled - whole; // exact
    if (excess == 0.5 || excess == -0.5)
        return false;
    const double cut = whole / scale;
    out = x < 0 ? -cut : cut;
    return true;
}

} // namespace renderedvalue

// RenderedValueOrNan, with the common magnitudes answered on the spot.
inline double RenderedValueQuick(double x) {
    double cut;
    if (renderedvalue::QuickCut(x, cut))
        return cut;
    return RenderedValueOrNan(x);
}

} // namespace quorvel
