// Every message of the evaluator with its exact arguments: the texts they quote are the texts
// as they stand when the error is found.

#include "EvalTestSupport.h"

namespace quorvel::test {
namespace {

class EvalMessages : public EvalPaths {};

TEST_P(EvalMessages, FoldingErrorsQuoteTheTrimmedWorkingTextWithItsOperator) {
    ExpectAll({
        {"1/0", "Error: Divider is zero: \"0\" in expression part \"+1/0\""},
        {" 1/ 0 ", "Error: Divider is zero: \"0\" in expression part \"+1/ 0\""},
        {"5%0", "Error: Divider is zero: \"0\" in expression part \"+5%0\""},
        {"0/0", "Error: Invalid operation in expression part \"+0/0\""},
        {"0%0", "Error: Invalid operation in expression part \"+0%0\""},
        {"-1/0", "Error: Divider is zero: \"0\" in expression part \"-1/0\""},
        {"2**3", "Error: Not allowed unary operator \"*\" in expression \"+2**3\""},
        {"2<=3", "Error: Not allowed unary operator \"=\" in expression \"+2<=3\""},
        {"-&1", "Error: Not allowed unary operator \"&\" in expression \"-&1\""},
        {"max(1,2)**3", "Error: Not allowed unary operator \"*\" in expression \"+ 2 **3\""},
        {"2+", "Error: Operand missing"},
        {"2*(3+)", "Error: Operand missing"},
        {"2+ +", "Error: Value is not well formatted: \"+\" in expression part \"+2+ +\""},
        {"2*1.2.3",
         "Error: Value is not well formatted: \"1.2.3\" in expression part \"+2*1.2.3\""},
        {"+-", "Error: Value is not well formatted: \"-\" in expression part \"+-\""},
        {"x+1", "Error: Variable \"x\" not defined"},
    });
}

TEST_P(EvalMessages, UnmatchedParenthesisQuotesTheTextAfterBothPasses) {
    ExpectAll({
        {"(1+2", "Error: Unmatched parenthesis in \"(1+2\""},
        {"1+2)", "Error: Unmatched parenthesis in \"1+2)\""},
        {" (1+2 ", "Error: Unmatched parenthesis in \"(1+2\""},
        {"max(1,2))", "Error: Unmatched parenthesis in \" 2 )\""},
        {"(1)+(2", "Error: Unmatched parenthesis in \" 1 +(2\""},
        {"sum((1,2)", "Error: \")\" expected but none found for function \"sum\" in expression "
                      "\"sum((1,2)\""},
    });
}

TEST_P(EvalMessages, ErrorsFromInsideAGroupOrOperandPassUnchanged) {
    ExpectAll({
        {"2*(1/0)", "Error: Divider is zero: \"0\" in expression part \"+1/0\""},
        {"2*-(0/0)", "Error: Invalid operation in expression part \"+0/0\""},
        {"2*(3+y)", "Error: Variable \"y\" not defined"},
        {"2*-y", "Error: Variable \"y\" not defined"},
        {"2*- -", "Error: Value is not well formatted: \"-\" in expression part \"- -\""},
    });
}

TEST_P(EvalMessages, PlatformErrorsAreNeverValues) {
    ExpectAll({
        {"1.2.3", "ConversionError: '1.2.3' is not a valid floating point value"},
        {"-", "ConversionError: '-' is not a valid floating point value"},
        {" (+) ", "ConversionError: '+' is not a valid floating point value"},
        {"2*(1.2.3)", "ConversionError: '1.2.3' is not a valid floating point value"},
        {"(10^200)*(10^200)", "ArithmeticError: Arithmetic overflow"},
        {"0-(10^300)*(0-10^300)", "ArithmeticError: Arithmetic overflow"},
        {"(10^300)/(10^-300)", "ArithmeticError: Arithmetic overflow"},
        {"(10^300)%(10^-7)", "ArithmeticError: Arithmetic overflow"},
    });
}

INSTANTIATE_TEST_SUITE_P(Paths, EvalMessages, ::testing::Bool(), PathName);

TEST(EvalMessages, QuotedTextsKeepEveryByte) {
    TSimpleEval ev;
    const std::string text("a\0b+1", 5);
    try {
        ev.EvaluateText(text);
        FAIL() << "no error";
    } catch (const ESimpleEvalException& e) {
        EXPECT_EQ(e.Message(), "Variable \"" + std::string("a\0b", 3) + "\" not defined");
    }
}

} // namespace
} // namespace quorvel::test
