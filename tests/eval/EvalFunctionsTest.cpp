// The function library: values, how calls are found, how arguments are counted, and the
// messages of failing calls.

#include "EvalTestSupport.h"

namespace quorvel::test {
namespace {

class EvalFunctions : public EvalPaths {};

TEST_P(EvalFunctions, Values) {
    ExpectAll({
        {"abs(0-3)", "3"},
        {"int(0-2.7)", "-2"},
        {"frac(0-2.7)", "-0.7"},
        {"round(2.5)", "2"},
        {"round(3.5)", "4"},
        {"round(0-2.5)", "-2"},
        {"round(0-0.4)", "0"},
        {"ceil(0-2.5)", "-2"},
        {"ceil(2.1)", "3"},
        {"floor(0-2.5)", "-3"},
        {"floor(2.9)", "2"},
        {"ceil(5000000000.5)", "5000000001"},
        {"sum()", "0"},
        {"sum(1,,2)", "3"},
        {"sum(,)", "0"},
        // Sixteen arguments and more than sixteen: the calls keep a few apart from many.
        {"sum(1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16)", "136"},
        {"sum(1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20)", "210"},
        {"max(1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,99,18)", "99"},
        {"avg(2,4)", "3"},
        {"Max(3, 7, 5)", "7"},
        {"min(4)", "4"},
        {"min(3, 0-1, 5)", "-1"},
        {"sqrt(16)", "4"},
        {"sqrt(4, 9)", "2"},
        {"pi()", "3.14159265358979"},
        {"logn(2, 8)", "3"},
        {"logn(10, 1000)", "3"},
        {"log(1000)", "3"},
        {"power(2, 10)", "1024"},
        {"sign(0-2)", "-1"},
        {"sign(0)", "0"},
        {"ifthen(1, 10, 20)", "10"},
        {"ifthen(0.5, 10, 20)", "20"},
        {"ifthen(0-1, 10, 20)", "20"},
        {"ifthen(1, 5)", "5"},
        {"ifthen(10^300, 1, 2)", "1"},
        {"select(0, 5, 6)", "5"},
        {"select(1, 5, 6)", "6"},
        {"select(2, 5, 6, 7)", "7"},
        {"select(0-1, 5)", "-1"},
        {"select(0.5, 5, 6, 7)", "6"},
        {"select(1.5, 5, 6, 7)", "6"},
        {"not(0)", "1"},
        {"not(2)", "0"},
        {"not(0.5)", "1"},
        {"rad(180)", "3.14159265358979"},
        {"deg(pi())", "180"},
        {"cmp(1, 1.0000000000001)", "0"},
        {"cmp(1, 2)", "-1"},
        {"cmp(2, 1)", "1"},
        {"ln(1)", "0"},
        {"exp(0)", "1"},
        {"SIN(0)", "0"},
        {"cos(0)", "1"},
        {"tan(0)", "0"},
        {"arcsin(1)", "1.5707963267949"},
        {"arccos(1)", "0"},
        {"arctan(1)*4", "3.14159265358979"},
    });
}

TEST_P(EvalFunctions, CallsAreFoundByWhatStandsAroundTheName) {
    ev.SetVariable("pi", 7);
    ev.SetVariable("sinus", 2);
    ExpectAll({
        {"2*pi()", "6.28318530717958"},
        {"pi*2", "14"},
        {"sinus+1", "3"},
        {"max (1, 2)", "2"},
        {"max\t(1, 2)", "2"},
        {"max(1,pi())", "3.14159265358979"},
        {"2*(sin(0)+1)", "2"},
        {"(max(1,2))", "2"},
        {"max(1, min(2,3))", "2"},
        {"max(2*(3+4), 5)", "14"},
        {"sum((1,2))", "3"},
        {"ifthen(1,2,3,)", "2"},
        // After a call is replaced, a name right behind its ")" stands after a blank.
        {"max(1,2)sin(0)", "Error: Variable \"2  0\" not defined"},
        {"lognx(1)", "Error: Variable \"lognx 1\" not defined"},
        {"pi", "Error: \"(\" expected but none found for function \"pi\" in expression \"pi\""},
        {"2*pi", "Error: \"(\" expected but none found for function \"pi\" in expression \"2*pi\""},
        {"pi * 2",
         "Error: \"(\" expected but none found for function \"pi\" in expression \"pi * 2\""},
        {"pi + (2)",
         "Error: \"(\" expected but found \"+\" for function \"pi\" in expression \"pi + (2)\""},
        {"MAX X(1,2)",
         "Error: \"(\" expected but found \"x\" for function \"max\" in expression \"max x(1,2)\""},
        {"max(1,2", "Error: \")\" expected but none found for function \"max\" in expression "
                    "\"max(1,2\""},
        {"2*-pi*2",
         "Error: \"(\" expected but none found for function \"pi\" in expression \"-pi\""},
        {"max((1,2),3)", "Error: Unmatched parenthesis in \"(1\""},
    });
}

TEST_P(EvalFunctions, ArgumentCountsAndTheirMessages) {
    ExpectAll({
        {"min()", "Error: Number of arguments for function \"min()\" too low (0)"},
        {"power(2)", "Error: Number of arguments for function \"power(2)\" too low (1)"},
        {"power(max(1,2))", "Error: Number of arguments for function \"power( 2 )\" too low (1)"},
        {"logn( 8 )", "Error: Number of arguments for function \"logn(8)\" too low (1)"},
        {"ifthen(0, 5)", "Error: Number of arguments for function \"ifthen(0, 5)\" too low (2)"},
        {"select(3, 5, 6, 7)",
         "Error: Number of arguments for function \"select(3, 5, 6, 7)\" too low (4)"},
        {"select(0-2, 5)",
         "Error: Number of arguments for function \"select(0-2, 5)\" too low (2)"},
        {"select()", "Error: Number of arguments for function \"select()\" too low (0)"},
        {"cmp(1)", "Error: Number of arguments for function \"cmp(1)\" too low (1)"},
        {"sin()", "Error: Number of arguments for function \"sin()\" too low (0)"},
        // Every argument is evaluated, also those the function never reads.
        {"sqrt(4, 1/0)", "Error: Divider is zero: \"0\" in expression part \"+1/0\""},
        {"ifthen(1, 2, y)", "Error: Variable \"y\" not defined"},
    });
}

TEST_P(EvalFunctions, UndefinedResultsAndPlatformErrors) {
    ExpectAll({
        {"avg()", "Error: Error in arguments for function \"avg()\""},
        {"sqrt(0-4)", "Error: Error in arguments for function \"sqrt(0-4)\""},
        {"ln(0-1)", "Error: Error in arguments for function \"ln(0-1)\""},
        {"arcsin(2)", "Error: Error in arguments for function \"arcsin(2)\""},
        {"arccos(0-1.5)", "Error: Error in arguments for function \"arccos(0-1.5)\""},
        {"power(0-8, 1/3)", "Error: Error in arguments for function \"power(0-8, 1/3)\""},
        {"logn(1, 1)", "Error: Error in arguments for function \"logn(1, 1)\""},
        {"round(10^19)", "Error: Error in arguments for function \"round(10^19)\""},
        {"floor(0-10^19)", "Error: Error in arguments for function \"floor(0-10^19)\""},
        {"select(10^19, 1)", "Error: Error in arguments for function \"select(10^19, 1)\""},
        // The logarithm of 0 divides by zero wherever it occurs, and goes first in logn.
        {"ln(0)", "ArithmeticError: Division by zero"},
        {"log(0)", "ArithmeticError: Division by zero"},
        {"logn(0, 1)", "ArithmeticError: Division by zero"},
        {"logn(0-1, 0)", "ArithmeticError: Division by zero"},
        {"logn(0, 0-1)", "Error: Error in arguments for function \"logn(0, 0-1)\""},
        {"logn(1, 5)", "ArithmeticError: Division by zero"},
        {"power(0, 0-1)", "ArithmeticError: Division by zero"},
        {"exp(1000)", "ArithmeticError: Arithmetic overflow"},
        {"power(10, 400)", "ArithmeticError: Arithmetic overflow"},
        {"sum(10^308, 10^308)", "ArithmeticError: Arithmetic overflow"},
    });
}

TEST_P(EvalFunctions, TheTableOrderDecidesWhichFaultyCallReportsFirst) {
    ExpectAll({
        {"sqrt(0-1)+ln(0)", "Error: Error in arguments for function \"sqrt(0-1)\""},
        {"ln(0)+sqrt(0-1)", "Error: Error in arguments for function \"sqrt(0-1)\""},
        {"sqrt(0-1)+abs(1/0)", "Error: Divider is zero: \"0\" in expression part \"+1/0\""},
    });
}

INSTANTIATE_TEST_SUITE_P(Paths, EvalFunctions, ::testing::Bool(), PathName);

TEST(EvalFunctions, SkippedFunctionPassLeavesNamesAsOperands) {
    TSimpleEval ev;
    ev.SkipFunctions = true;
    ev.SetVariable("pi", 3);
    EXPECT_EQ(Outcome(ev, "pi*2"), "6");
    EXPECT_EQ(Outcome(ev, "2*pi"), "6");
    EXPECT_EQ(Outcome(ev, "sin(0)"), "Error: Variable \"sin 0\" not defined");
}

} // namespace
} // namespace quorvel::test
