#include "eval/EvalMath.h"

#include "eval/EvalFunctionTable.h"

#include <cmath>
#include <cstddef>

namespace quorvel::evalmath {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoTo63 = 9223372036854775808.0;

Result Checked(double value) {
    if (std::isnan(value))
        return {Status::Invalid, 0.0};
    if (std::isinf(value))
        return {Status::Overflow, 0.0};
    return {Status::Ok, value};
}

Result Value(double value) {
    return {Status::Ok, value};
}

Result Fail(Status status) {
    return {status, 0.0};
}

// The integer part as a 64-bit integer does it: only values whose integer part fits count.
bool FitsInt64(double x) {
    return x >= -kTwoTo63 && x < kTwoTo63;
}

// Natural or decimal logarithm; zero divides by zero, negative values are undefined.
Result Logarithm(double x, bool decimal) {
    if (x == 0.0)
        return Fail(Status::DivideByZero);
    if (x < 0.0)
        return Fail(Status::Invalid);
    return Value(decimal ? std::log10(x) : std::log(x));
}

} // namespace

double RoundHalfEven(double x) {
    const double magnitude = std::fabs(x);
    if (!(magnitude < 4503599627370496.0)) // 2^52 and beyond have no fraction (or are NaN)
        return x;
    double whole = std::floor(magnitude);
    const double fraction = magnitude - whole; // exact: both lie in the same binade or below 1
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    return std::copysign(whole, x);
}

// Whole exponents up to this size are multiplied out one factor at a time.
constexpr std::uint32_t kLiteralPowerLimit = 1u << 16;

Result Power(double base, double exponent) {
    if (exponent == 0.0)
        return Value(1.0);
    if (base == 0.0 && exponent > 0.0)
        return Value(0.0);
    if (std::trunc(exponent) == exponent && std::fabs(exponent) <= 2147483647.0) {
        if (base == 0.0)
            return Fail(Status::DivideByZero); // the reciprocal of 0
        auto n = static_cast<std::uint32_t>(std::fabs(exponent));
        double result = 1.0;
        if (n <= kLiteralPowerLimit) {
            // Repeated multiplication, so every last bit is the one the rule gives. Once the
            // product is infinite or zero it can only change its sign: finish the parity.
            for (std::uint32_t i = 0; i < n; ++i) {
                result *= base;
                if (result == 0.0 || std::isinf(result)) {
                    if (base < 0.0 && (n - i - 1) % 2 == 1)
                        result = -result;
                    break;
                }
            }
        } else {
            // Only bases within a hair of 1 stay finite this long; square and multiply
            // keeps such exponents from taking seconds.
            double square = base;
            for (;;) {
                if (n & 1u)
                    result *= square;
                n >>= 1;
                if (n == 0)
                    break;
                square *= square;
            }
        }
        if (exponent < 0.0)
            result = 1.0 / result; // a product that overflowed gives 0, one that vanished overflows
        return Checked(result);
    }
    if (base < 0.0)
        return Fail(Status::Invalid);
    if (base == 0.0)
        return Fail(Status::DivideByZero); // the logarithm of 0
    return Checked(std::exp(exponent * std::log(base)));
}

Result ApplyOperator(char op, double accumulator, double operand) {
    switch (op) {
    case '+':
        return Checked(accumulator + operand);
    case '-':
        return Checked(accumulator - operand);
    case '*':
        return Checked(accumulator * operand);
    case '/':
    case '%': {
        if (operand == 0.0)
            return Fail(accumulator == 0.0 ? Status::Invalid : Status::DivideByZero);
        const Result quotient = Checked(accumulator / operand);
        if (op == '/' || quotient.status != Status::Ok)
            return quotient;
        return Checked(quotient.value * 100.0);
    }
    case '^':
        return Power(accumulator, operand);
    case '=':
        return Value(accumulator == operand ? 1.0 : 0.0);
    case '<':
        return Value(accumulator < operand ? 1.0 : 0.0);
    case '>':
        return Value(accumulator > operand ? 1.0 : 0.0);
    default:
        return Fail(Status::Invalid);
    }
}

Result CallBuiltin(int index, std::span<const double> args) {
    if (index < 0 || index >= kFunctionCount)
        return Fail(Status::Invalid);
    const Builtin& function = kBuiltins[static_cast<std::size_t>(index)];
    if (args.size() < function.MinArguments)
        return Fail(Status::TooFewArguments);
    return function.Apply(args);
}

namespace builtin {

Result Abs(Arguments a) {
    return Value(std::fabs(a[0]));
}

Result Int(Arguments a) {
    return Value(std::trunc(a[0]));
}

Result Frac(Arguments a) {
    return Value(a[0] - std::trunc(a[0]));
}

Result Round(Arguments a) {
    if (!FitsInt64(a[0]))
        return Fail(Status::Invalid);
    // Through a 64-bit integer, as an integer result: round(-0.4) is 0, not -0.
    return Value(static_cast<double>(static_cast<std::int64_t>(RoundHalfEven(a[0]))));
}

namespace {

// The whole integer, also beyond 32 bits: wrapping it around would be a wrong result.
Result WholeTowards(double x, bool up) {
    if (!FitsInt64(x))
        return Fail(Status::Invalid);
    auto whole = static_cast<std::int64_t>(x);
    const double fraction = x - std::trunc(x);
    if (up && fraction > 0.0)
        ++whole;
    if (!up && fraction < 0.0)
        --whole;
    return Value(static_cast<double>(whole));
}

double Total(Arguments a) {
    double sum = 0.0;
    for (const double x : a)
        sum += x; // an infinite partial sum stays infinite: the callers' check sees it
    return sum;
}

Result Best(Arguments a, bool lowest) {
    double best = a[0];
    for (std::size_t i = 1; i < a.size(); ++i)
        if (lowest ? a[i] < best : a[i] > best)
            best = a[i];
    return Value(best);
}

// The arc sine and cosine go through the arc tangent, which is defined at plus and minus one.
double RootOfOneMinusSquare(double x) {
    return std::sqrt(1.0 - x * x);
}

} // namespace

Result Ceil(Arguments a) {
    return WholeTowards(a[0], true);
}

Result Floor(Arguments a) {
    return WholeTowards(a[0], false);
}

Result Sum(Arguments a) {
    return Checked(Total(a));
}

Result Avg(Arguments a) {
    if (a.empty())
        return Fail(Status::Invalid); // 0/0
    return Checked(Total(a) / static_cast<double>(a.size()));
}

Result Min(Arguments a) {
    return Best(a, true);
}

Result Max(Arguments a) {
    return Best(a, false);
}

Result Sqrt(Arguments a) {
    if (a[0] < 0.0)
        return Fail(Status::Invalid);
    return Value(std::sqrt(a[0]));
}

Result Pi(Arguments) {
    return Value(kPi);
}

Result Logn(Arguments a) {
    const Result number = Logarithm(a[1], false);
    if (number.status != Status::Ok)
        return number;
    const Result base = Logarithm(a[0], false);
    if (base.status != Status::Ok)
        return base;
    if (base.value == 0.0)
        return Fail(number.value == 0.0 ? Status::Invalid : Status::DivideByZero);
    return Checked(number.value / base.value);
}

Result Log(Arguments a) {
    return Logarithm(a[0], true);
}

Result Power(Arguments a) {
    return evalmath::Power(a[0], a[1]);
}

Result Sign(Arguments a) {
    return Value(a[0] < 0.0 ? -1.0 : (a[0] > 0.0 ? 1.0 : 0.0));
}

Result IfThen(Arguments a) {
    const std::size_t chosen = IsTrue(a[0]) ? 1 : 2;
    if (a.size() < chosen + 1)
        return Fail(Status::TooFewArguments);
    return Value(a[chosen]);
}

Result Select(Arguments a) {
    const double position = a[0] + 1.0;
    if (!FitsInt64(position))
        return Fail(Status::Invalid);
    const auto chosen = static_cast<std::int64_t>(RoundHalfEven(position));
    if (chosen < 0 || static_cast<std::uint64_t>(chosen) >= a.size())
        return Fail(Status::TooFewArguments);
    return Value(a[static_cast<std::size_t>(chosen)]);
}

Result Not(Arguments a) {
    return Value(IsTrue(a[0]) ? 0.0 : 1.0);
}

Result Rad(Arguments a) {
    return Checked(a[0] * 0.017453292519943295);
}

Result Deg(Arguments a) {
    return Checked(a[0] / kPi * 180.0);
}

Result Cmp(Arguments a) {
    const double x = a[0];
    const double y = a[1];
    const double tolerance = std::fmax(std::fmin(std::fabs(x), std::fabs(y)) * 1e-12, 1e-12);
    const double difference = x > y ? x - y : y - x;
    if (difference <= tolerance)
        return Value(0.0);
    return Value(x < y ? -1.0 : 1.0);
}

Result Ln(Arguments a) {
    return Logarithm(a[0], false);
}

Result Exp(Arguments a) {
    return Checked(std::exp(a[0]));
}

Result Sin(Arguments a) {
    return Value(std::sin(a[0]));
}

Result Cos(Arguments a) {
    return Value(std::cos(a[0]));
}

Result Tan(Arguments a) {
    return Value(std::tan(a[0]));
}

Result ArcSin(Arguments a) {
    return Checked(std::atan2(a[0], RootOfOneMinusSquare(a[0])));
}

Result ArcCos(Arguments a) {
    return Checked(std::atan2(RootOfOneMinusSquare(a[0]), a[0]));
}

Result ArcTan(Arguments a) {
    return Value(std::atan(a[0]));
}

} // namespace builtin

} // namespace quorvel::evalmath
