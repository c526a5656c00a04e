#include "eval/RenderedValue.h"

#include "util/KivStrings.h"
#include "util/NumberText.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace quorvel {

namespace {

// No value: what a text that does not read back gives.
constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// 10^0 .. 10^22, all exact doubles.
constexpr std::array<double, 23> kPowersOfTen = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                 1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// hi + lo == a * b exactly, for products far from overflow and underflow. With hardware
// fused multiply-add that is one instruction; without it (the library's fma is then a slow
// routine) Dekker's product of halves gives the same.
void ExactProduct(double a, double b, double& hi, double& lo) {
    hi = a * b;
#ifdef __FMA__
    lo = std::fma(a, b, -hi);
#else
    constexpr double kSplit = 134217729.0; // 2^27 + 1
    const double ta = kSplit * a;
    const double ah = ta - (ta - a);
    const double al = a - ah;
    const double tb = kSplit * b;
    const double bh = tb - (tb - b);
    const double bl = b - bh;
    lo = ((ah * bh - hi) + ah * bl + al * bh) + al * bl;
#endif
}

// The binary exponent of a positive normal double.
int BinaryExponent(double x) {
    return static_cast<int>((std::bit_cast<std::uint64_t>(x) >> 52) & 0x7FF) - 1023;
}

// |x| scaled by 10^s lies in [10^14, 10^15): round to an integer there, halves to even, and
// scale back. The product is split exactly into hi + lo, the rounding decides on it exactly,
// and the division is correctly rounded, so the result is the double nearest to the decimal
// that a 15-digit rendering writes.
double CutByScaling(double magnitude) {
    // floor(log10(magnitude)) from the binary exponent, possibly one too low: corrected below.
    const int binary = BinaryExponent(magnitude);
    int s = 14 - ((binary * 78913) >> 18);
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (s < 0 || s > 22)
            return kNone;
        const double scale = kPowersOfTen[static_cast<std::size_t>(s)];
        const double hi = magnitude * scale;
        // The rounding error of hi decides only in the few cases where hi alone cannot: it
        // is worked out then.
        double lo = 0.0;
        bool loKnown = false;
        auto error = [&] {
            if (!loKnown) {
                double again;
                ExactProduct(magnitude, scale, again, lo);
                loKnown = true;
            }
            return lo;
        };
        if (hi < 1e14 || (hi == 1e14 && error() < 0.0)) {
            ++s;
            continue;
        }
        if (hi > 1e15 || (hi == 1e15 && error() >= 0.0)) {
            --s;
            continue;
        }
        // hi is below 2^50, so it has at least 3 bits below the point and converts exactly.
        const auto whole = static_cast<std::int64_t>(hi);
        const double fraction = hi - static_cast<double>(whole); // exact
        if (fraction == 0.0 && error() == 0.0)
            return magnitude; // 15 digits or fewer already: the text reads back as the value
        const double excess = fraction - 0.5; // exact
        bool up;
        if (excess != 0.0)
            up = excess > 0.0; // |lo| is below half a unit of hi, any non-zero excess is not
        else if (error() != 0.0)
            up = lo > 0.0;
        else
            up = (whole & 1) != 0;
        return static_cast<double>(up ? whole + 1 : whole) / scale;
    }
    return kNone;
}

// 16 digits before the point, below 2^53 (a fraction of at most 3 bits may follow): round
// away the last digit and the fraction, halves to even.
double CutSixteenDigits(double magnitude) {
    const double whole = std::floor(magnitude);
    const bool fraction = magnitude != whole;
    const auto n = static_cast<std::int64_t>(whole);
    std::int64_t q = n / 10;
    const std::int64_t r = n % 10;
    if (r > 5 || (r == 5 && (fraction || (q & 1) != 0)))
        ++q;
    return static_cast<double>(q * 10);
}

// Everything else (tiny, huge, infinite and NaN values) goes through the text itself.
[[gnu::noinline]] double CutByText(double x) {
    const std::optional<double> read = ParseFloat(FloatToPlainText(x));
    return read ? *read : kNone;
}

} // namespace

double RenderedValueOrNan(double x) {
    const double magnitude = std::fabs(x);
    // Whole numbers of 15 digits or fewer (zero among them) are written exactly.
    if (magnitude < 1e15 && static_cast<double>(static_cast<std::int64_t>(magnitude)) == magnitude)
        return x;
    if (magnitude >= 1e-8 && magnitude < 1e15) {
        const double cut = CutByScaling(magnitude);
        if (!std::isnan(cut))
            return std::copysign(cut, x);
    } else if (magnitude >= 1e15 && magnitude < 9007199254740992.0) {
        return std::copysign(CutSixteenDigits(magnitude), x);
    } else if (x == 0.0) {
        return x;
    }
    return CutByText(x);
}

std::optional<double> RenderedValue(double x) {
    const double value = RenderedValueOrNan(x);
    if (std::isnan(value))
        return std::nullopt;
    return value;
}

} // namespace quorvel
