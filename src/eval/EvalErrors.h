#pragma once
// The evaluator's messages, worded in one place. Quoted texts are inserted byte for byte.

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvel::evalerrors {

// Raises ESimpleEvalException with the message.
[[noreturn]] void Raise(const std::string& message);

std::string UnmatchedParenthesis(std::string_view working);
std::string NotAllowedUnaryOperator(char op, std::string_view working);
std::string NotWellFormatted(std::string_view operand, std::string_view working);
std::string DividerIsZero(std::string_view operand, std::string_view working);
std::string InvalidOperation(std::string_view working);
std::string OperandMissing();
std::string VariableNotDefined(std::string_view name);
std::string NotAProperVariableName(std::string_view name);

std::string OpeningExpectedButFound(std::string_view found, std::string_view function,
                                    std::string_view lowered);
std::string ClosingExpected(std::string_view function, std::string_view lowered);
std::string OpeningExpected(std::string_view function, std::string_view lowered);
std::string TooFewArguments(std::string_view function, std::string_view arguments,
                            std::size_t count);
std::string ErrorInArguments(std::string_view function, std::string_view arguments);
std::string UnknownFunction(std::string_view function);

// Limits that keep any input from exhausting the stack or the 32-bit operator positions.
std::string NestedTooDeeply();
std::string TooLong();
inline constexpr std::size_t kMaxTextLength = std::size_t{1} << 30;

// Messages of ArithmeticError.
inline constexpr const char* kOverflow = "Arithmetic overflow";
inline constexpr const char* kDivisionByZero = "Division by zero";

// Refuses a text that is too long or nests too deeply, before any work is done on it.
void CheckOuterText(std::string_view text);

// Counts one level of nesting for as long as it lives; refuses levels beyond the limit.
class NestingGuard {
public:
    explicit NestingGuard(int& depth);
    ~NestingGuard() { --depth_; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;

private:
    int& depth_;
};

} // namespace quorvel::evalerrors
