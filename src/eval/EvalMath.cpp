#include "eval/EvalMath.h"

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

// Indices of kFunctionNames.
enum Function : int {
    kAbs,
    kInt,
    kFrac,
    kRound,
    kCeil,
    kFloor,
    kSum,
    kAvg,
    kMin,
    kMax,
    kSqrt,
    kPiFn,
    kLogn,
    kLog,
    kPower,
    kSign,
    kIfThen,
    kSelect,
    kNot,
    kRad,
    kDeg,
    kCmp,
    kLn,
    kExp,
    kSin,
    kCos,
    kTan,
    kArcSin,
    kArcCos,
    kArcTan,
};

// Functions of one argument that read nothing else.
Result Unary(int index, double a) {
    switch (index) {
    case kAbs:
        return Value(std::fabs(a));
    case kInt:
        return Value(std::trunc(a));
    case kFrac:
        return Value(a - std::trunc(a));
    case kRound:
        if (!FitsInt64(a))
            return Fail(Status::Invalid);
        // Through a 64-bit integer, as an integer result: round(-0.4) is 0, not -0.
        return Value(static_cast<double>(static_cast<std::int64_t>(RoundHalfEven(a))));
    case kCeil:
    case kFloor: {
        if (!FitsInt64(a))
            return Fail(Status::Invalid);
        // The whole integer, also beyond 32 bits: wrapping it around would be a wrong result.
        auto whole = static_cast<std::int64_t>(a);
        const double fraction = a - std::trunc(a);
        if (index == kCeil && fraction > 0.0)
            ++whole;
        if (index == kFloor && fraction < 0.0)
            --whole;
        return Value(static_cast<double>(whole));
    }
    case kSqrt:
        if (a < 0.0)
            return Fail(Status::Invalid);
        return Value(std::sqrt(a));
    case kLog:
        return Logarithm(a, true);
    case kSign:
        return Value(a < 0.0 ? -1.0 : (a > 0.0 ? 1.0 : 0.0));
    case kNot:
        return Value(IsTrue(a) ? 0.0 : 1.0);
    case kRad:
        return Checked(a * 0.017453292519943295);
    case kDeg:
        return Checked(a / kPi * 180.0);
    case kLn:
        return Logarithm(a, false);
    case kExp:
        return Checked(std::exp(a));
    case kSin:
        return Value(std::sin(a));
    case kCos:
        return Value(std::cos(a));
    case kTan:
        return Value(std::tan(a));
    case kArcSin:
        return Checked(std::atan2(a, std::sqrt(1.0 - a * a)));
    case kArcCos:
        return Checked(std::atan2(std::sqrt(1.0 - a * a), a));
    case kArcTan:
        return Value(std::atan(a));
    default:
        return Fail(Status::Invalid);
    }
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
    const std::size_t count = args.size();
    const auto need = [count](std::size_t n) { return count >= n; };
    switch (index) {
    case kSum:
    case kAvg: {
        double sum = 0.0;
        for (const double a : args)
            sum += a; // an infinite partial sum stays infinite: the check below sees it
        if (index == kSum)
            return Checked(sum);
        if (count == 0)
            return Fail(Status::Invalid); // 0/0
        return Checked(sum / static_cast<double>(count));
    }
    case kMin:
    case kMax: {
        if (!need(1))
            return Fail(Status::TooFewArguments);
        double best = args[0];
        for (std::size_t i = 1; i < count; ++i)
            if (index == kMin ? args[i] < best : args[i] > best)
                best = args[i];
        return Value(best);
    }
    case kPiFn:
        return Value(kPi);
    case kLogn: {
        if (!need(2))
            return Fail(Status::TooFewArguments);
        const Result number = Logarithm(args[1], false);
        if (number.status != Status::Ok)
            return number;
        const Result base = Logarithm(args[0], false);
        if (base.status != Status::Ok)
            return base;
        if (base.value == 0.0)
            return Fail(number.value == 0.0 ? Status::Invalid : Status::DivideByZero);
        return Checked(number.value / base.value);
    }
    case kPower:
        if (!need(2))
            return Fail(Status::TooFewArguments);
        return Power(args[0], args[1]);
    case kIfThen: {
        if (!need(1))
            return Fail(Status::TooFewArguments);
        const std::size_t chosen = IsTrue(args[0]) ? 1 : 2;
        if (!need(chosen + 1))
            return Fail(Status::TooFewArguments);
        return Value(args[chosen]);
    }
    case kSelect: {
        if (!need(1))
            return Fail(Status::TooFewArguments);
        const double position = args[0] + 1.0;
        if (!FitsInt64(position))
            return Fail(Status::Invalid);
        const auto chosen = static_cast<std::int64_t>(RoundHalfEven(position));
        if (chosen < 0 || static_cast<std::uint64_t>(chosen) >= count)
            return Fail(Status::TooFewArguments);
        return Value(args[static_cast<std::size_t>(chosen)]);
    }
    case kCmp: {
        if (!need(2))
            return Fail(Status::TooFewArguments);
        const double a = args[0];
        const double b = args[1];
        const double tolerance = std::fmax(std::fmin(std::fabs(a), std::fabs(b)) * 1e-12, 1e-12);
        const double difference = a > b ? a - b : b - a;
        if (difference <= tolerance)
            return Value(0.0);
        return Value(a < b ? -1.0 : 1.0);
    }
    default:
        if (index < 0 || index >= 30)
            return Fail(Status::Invalid);
        if (!need(1))
            return Fail(Status::TooFewArguments);
        return Unary(index, args[0]);
    }
}

} // namespace quorvel::evalmath
