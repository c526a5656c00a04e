#include "eval/EvalErrors.h"

#include "eval/EvalText.h"
#include "eval/KivEval.h"
#include "util/NumberText.h"

namespace quorvel::evalerrors {

namespace {

// The text in double quotes.
std::string Q(std::string_view text) {
    std::string s;
    s.reserve(text.size() + 2);
    s += '"';
    s += text;
    s += '"';
    return s;
}

// "name(arguments)" in double quotes.
std::string Call(std::string_view function, std::string_view arguments) {
    std::string s(function);
    s += '(';
    s += arguments;
    s += ')';
    return Q(s);
}

} // namespace

void Raise(const std::string& message) {
    throw ESimpleEvalException(message);
}

std::string UnmatchedParenthesis(std::string_view working) {
    return "Unmatched parenthesis in " + Q(working);
}

std::string NotAllowedUnaryOperator(char op, std::string_view working) {
    return "Not allowed unary operator " + Q(std::string_view(&op, 1)) + " in expression " +
           Q(working);
}

std::string NotWellFormatted(std::string_view operand, std::string_view working) {
    return "Value is not well formatted: " + Q(operand) + " in expression part " + Q(working);
}

std::string DividerIsZero(std::string_view operand, std::string_view working) {
    return "Divider is zero: " + Q(operand) + " in expression part " + Q(working);
}

std::string InvalidOperation(std::string_view working) {
    return "Invalid operation in expression part " + Q(working);
}

std::string OperandMissing() {
    return "Operand missing";
}

std::string VariableNotDefined(std::string_view name) {
    return "Variable " + Q(name) + " not defined";
}

std::string NotAProperVariableName(std::string_view name) {
    return "Not a proper variable name: " + Q(name);
}

std::string OpeningExpectedButFound(std::string_view found, std::string_view function,
                                    std::string_view lowered) {
    return "\"(\" expected but found " + Q(found) + " for function " + Q(function) +
           " in expression " + Q(lowered);
}

std::string ClosingExpected(std::string_view function, std::string_view lowered) {
    return "\")\" expected but none found for function " + Q(function) + " in expression " +
           Q(lowered);
}

std::string OpeningExpected(std::string_view function, std::string_view lowered) {
    return "\"(\" expected but none found for function " + Q(function) + " in expression " +
           Q(lowered);
}

std::string TooFewArguments(std::string_view function, std::string_view arguments,
                            std::size_t count) {
    return "Number of arguments for function " + Call(function, arguments) + " too low (" +
           UIntToText(count) + ")";
}

std::string ErrorInArguments(std::string_view function, std::string_view arguments) {
    return "Error in arguments for function " + Call(function, arguments);
}

std::string UnknownFunction(std::string_view function) {
    return "Unknown function " + Q(function);
}

std::string NestedTooDeeply() {
    return "Expression nested too deeply (more than " + IntToText(TSimpleEval::kMaxNesting) +
           " levels of parentheses or signs)";
}

std::string TooLong() {
    return "Expression too long (more than " + UIntToText(kMaxTextLength) + " characters)";
}

void CheckOuterText(std::string_view text) {
    if (text.size() > kMaxTextLength)
        Raise(TooLong());
    if (evaltext::NestsDeeperThan(text, TSimpleEval::kMaxNesting))
        Raise(NestedTooDeeply());
}

NestingGuard::NestingGuard(int& depth) : depth_(depth) {
    if (depth_ >= TSimpleEval::kMaxRecursion)
        Raise(NestedTooDeeply());
    ++depth_;
}

} // namespace quorvel::evalerrors
