// Operators, left-to-right folding, signs, truth values, the power rule and the 15-digit
// rendering of values put back into the text.

#include "EvalTestSupport.h"

#include "util/KivStrings.h"

#include <limits>

namespace quorvel::test {
namespace {

class EvalFolding : public EvalPaths {};

TEST_P(EvalFolding, EmptyTextsAndPlainNumbers) {
    ExpectAll({
        {"", "0"},
        {" \t ", "0"},
        {"()", "0"},
        {"( )", "0"},
        {"3", "3"},
        {"-2.5", "-2.5"},
        {"+5", "5"},
        {"5.", "5"},
        {"+.5", "0.5"},
        {"-.5", "-0.5"},
        {"((7))", "7"},
        {" ( ( 7 ) ) ", "7"},
        {"007.50", "7.5"},
    });
}

TEST_P(EvalFolding, OperatorsFoldLeftToRightWithoutPrecedence) {
    ExpectAll({
        {"2+3*4", "20"},
        {"2+(3*4)", "14"},
        {"(2+3)*4", "20"},
        {"2^3^2", "64"},
        {"10-2-3", "5"},
        {"7/2", "3.5"},
        {"50%200", "25"},
        {"3=3", "1"},
        {"3=3.0000000001", "0"},
        {"-3<0", "1"},
        {"2>3", "0"},
        {"1<2=1", "1"},
        // A leading operator acts on the initial 0.
        {"-3*2", "-6"},
        {"*3", "0"},
        {"<5", "1"},
        {"/2", "0"},
    });
}

TEST_P(EvalFolding, SignsAfterAnOperatorBelongToTheOperand) {
    ExpectAll({
        {"2*-3", "-6"},
        {"2* -3", "-6"},
        {"2*\t-3", "-6"},
        {"2- -3", "5"},
        {"2+-+3", "-1"},
        {"--3", "3"},
        {"- - 3", "3"},
        {"-+-+-2", "-2"},
        {"2*-(1+2)", "-6"},
        // Only space and tab keep the sign unary; other control characters end the operand.
        {"2*\x01-3", "Error: Operand missing"},
        {"2\x01*3", "6"},
    });
}

TEST_P(EvalFolding, TruthRoundsHalvesToEvenAndSkipsUnneededOperands) {
    ExpectAll({
        {"0.5&1", "0"},
        {"0.51&1", "1"},
        {"1.5&1", "1"},
        {"2.5&1", "1"},
        {"1&0.5", "0"},
        {"1&1.5", "1"},
        {"-1|0", "0"},
        {"0|2", "1"},
        {"0|0.5", "0"},
        {"(10^300)&1", "1"},
        {"(0-(10^300))|0", "0"},
        // An operand that cannot change the result is not looked at, not even when missing.
        {"0&y", "0"},
        {"1|y", "1"},
        {"0&", "0"},
        {"1|", "1"},
        {"0&1.2.3", "0"},
        {"1&y", "Error: Variable \"y\" not defined"},
        {"0|y", "Error: Variable \"y\" not defined"},
        {"1&", "Error: Operand missing"},
        // Groups are evaluated before the fold, whatever the fold then needs.
        {"0&(1/0)", "Error: Divider is zero: \"0\" in expression part \"+1/0\""},
    });
}

TEST_P(EvalFolding, PowerRule) {
    ExpectAll({
        {"2^10", "1024"},
        {"2^-1", "0.5"},
        {"0^0", "1"},
        {"0^2", "0"},
        {"4^0.5", "2"},
        {"2^0.5", "1.41421356237309"}, // exp(0.5 * ln 2), one unit below sqrt(2)
        {"(0-2)^3", "-8"},
        {"(0-2)^2", "4"},
        {"(0-1)^2147483647", "-1"},
        // Multiplied out factor by factor: square-and-multiply would round the last digit up.
        {"3^0.5+7.37^8", "47110101.8582812"},
        {"(0-1.5)^3001", "ArithmeticError: Arithmetic overflow"},
        {"(0-0.5)^-2001", "ArithmeticError: Arithmetic overflow"},
        {"(0-0.5)^2001", "-0"},
        {"(0-0.5)^2000", "0"},
        {"1^3000000000", "1"},
        {"10^-400", "0"},
        {"0^-1", "Error: Divider is zero: \"-1\" in expression part \"+0^-1\""},
        {"0^-0.5", "Error: Divider is zero: \"-0.5\" in expression part \"+0^-0.5\""},
        {"(0-8)^(1/3)", "Error: Invalid operation in expression part \"+ -8 ^ 0.333333333333333\""},
        // Integral but beyond 2147483647: exp(exponent * ln(base)), undefined for -1.
        {"(0-1)^3000000000", "Error: Invalid operation in expression part \"+ -1 ^3000000000\""},
        {"10^400", "ArithmeticError: Arithmetic overflow"},
        {"2^3000000000", "ArithmeticError: Arithmetic overflow"},
    });
}

TEST_P(EvalFolding, ValuesPutBackIntoTheTextKeep15SignificantDigits) {
    ExpectAll({
        {"(1/3)*3", "0.999999999999999"},
        {"1/3*3", "1"},
        {"(0.1+0.2)=0.3", "1"},
        {"0.1+0.2=0.3", "0"},
        {"2*pi()", "6.28318530717958"},
        {"(1234567890123456789)*1", "1234567890123460000"},
        // Negative, tiny and huge values come back as signed plain numerals.
        {"(0-0.00001)*2", "-0.00002"},
        {"(0-0.000015)", "-0.000015"},
        {"(0-1.5*(10^20))/(10^20)", "-1.5"},
        {"(10^20)+1", "100000000000000000000"},
        {"(10^-20)*(10^20)", "1"},
    });
}

TEST_P(EvalFolding, ANegativeValueAfterAnOperandBecomesASubtraction) {
    // The text " 1  -2 " holds an operator, the text " 1  2 " does not.
    ExpectAll({
        {"(1)(0-2)", "-1"},
        {"(1)(2)", "Error: Variable \"1  2\" not defined"},
        {"max(3,4)min(0-1,5)", "3"},
        {"x(0-2)", "Error: Variable \"x\" not defined"},
    });
}

TEST_P(EvalFolding, VariablesIgnoreCaseAndHold15Digits) {
    ev.SetVariable("X", 2);
    ev.SetVariable("third", 1.0 / 3);
    ev.SetVariable("pi", 7);
    ev.SetVariable("arcsin1", 1);
    ev.SetVariable("sinus", 2);
    ev.SetVariable("xlog", 3);
    ExpectAll({
        {"x*3", "6"},
        {"-x", "-2"},
        {"third*3", "0.999999999999999"},
        {"pi*2", "14"},
        {"arcsin1+sinus+xlog", "6"},
        {"y", "Error: Variable \"y\" not defined"},
        {"x y", "Error: Variable \"x y\" not defined"},
        {"a#b", "Error: Variable \"a#b\" not defined"},
        {".5", "Error: Variable \".5\" not defined"},
        {"1e3", "Error: Variable \"1e3\" not defined"},
    });
    ev.SetVariable("x", -4); // replaced, not added
    ExpectAll({{"X*3", "-12"}});
}

INSTANTIATE_TEST_SUITE_P(Paths, EvalFolding, ::testing::Bool(), PathName);

TEST(EvalVariables, NamesAreCheckedTrimmedAndReplacedInPlace) {
    TSimpleEval ev;
    ev.SetVariable(" Freq ", 1);
    ev.SetVariable("_other1", 2.5);
    ev.SetVariable("FREQ", 1e20);
    EXPECT_EQ(ev.Variables(),
              (std::vector<std::string>{"FREQ=100000000000000000000", "_other1=2.5"}));
    for (const char* bad : {"", "  ", " 1a ", "a b", "a-b", "\xe4x"}) {
        try {
            ev.SetVariable(bad, 1);
            ADD_FAILURE() << "accepted: " << bad;
        } catch (const ESimpleEvalException& e) {
            const std::string trimmed(Trim(bad));
            EXPECT_EQ(e.Message(), "Not a proper variable name: \"" + trimmed + "\"");
        }
    }
}

TEST(EvalVariables, AValueWhoseTextDoesNotReadBackIsNotDefined) {
    TSimpleEval ev;
    ev.SetVariable("big", 1.7976931348623157e308); // 15 digits round it beyond the range
    ev.SetVariable("nan", std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(Outcome(ev, "big"), "Error: Variable \"big\" not defined");
    EXPECT_EQ(Outcome(ev, "nan+1"), "Error: Variable \"nan\" not defined");
}

TEST(EvalVariables, EvaluationChangesNoState) {
    TSimpleEval ev;
    ev.SetVariable("a", 1);
    ev.Expression = "a+1";
    EXPECT_EQ(ev.Evaluate(), 2);
    EXPECT_THROW(ev.EvaluateText("a/0"), ESimpleEvalException);
    EXPECT_EQ(ev.Expression, "a+1");
    EXPECT_EQ(ev.Variables(), std::vector<std::string>{"a=1"});
    EXPECT_EQ(ev.Evaluate(), 2);
}

} // namespace
} // namespace quorvel::test
