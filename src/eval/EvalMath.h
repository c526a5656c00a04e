#pragma once
// The arithmetic of the evaluator: operators, the power rule, truth values and the function
// library. IEEE doubles raise no traps here, so every operation reports division by zero, an
// undefined result and overflow to infinity itself; the callers turn that into messages.

#include <cstdint>
#include <span>

namespace quorvel::evalmath {

enum class Status : std::uint8_t {
    Ok,
    TooFewArguments, // a function read an argument beyond the last one given
    Invalid,         // undefined result (0/0, root or logarithm of a negative number, ...)
    DivideByZero,    // a non-zero value divided by zero, a logarithm of zero
    Overflow,        // a finite computation gave an infinite result
};

struct Result {
    Status status = Status::Ok;
    double value = 0.0;
};

// Nearest integer, halves to even; values without a fraction come back unchanged.
double RoundHalfEven(double x);

// Truth of a value: it rounds, halves to even, to 1 or more.
inline bool IsTrue(double x) {
    return RoundHalfEven(x) >= 1.0;
}

// base raised to exponent: exponent 0 gives 1, base 0 with a positive exponent gives 0, an
// integral exponent up to 2147483647 in magnitude multiplies (the reciprocal for a negative
// one), anything else is exp(exponent * ln(base)).
Result Power(double base, double exponent);

// One folding step with an operator other than "&" and "|" (those decide by truth values and
// may leave their operand unread, so the fold handles them itself).
Result ApplyOperator(char op, double accumulator, double operand);

// Function `index` of the function table (EvalFunctionTable.h) applied to its evaluated
// arguments; a call with fewer arguments than the table's count gives TooFewArguments.
Result CallBuiltin(int index, std::span<const double> args);

} // namespace quorvel::evalmath
