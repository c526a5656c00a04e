// The evaluator's building blocks, called on their own.

#include "eval/KivEval.h"
#include "util/Errors.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(EvalOperations, FindGroupReportsTheOpeningAlsoWithoutAMatch) {
    const TSimpleEval ev;
    const TGroup g = ev.FindGroup("a(b(c)d)e", 1);
    EXPECT_TRUE(g.Found);
    EXPECT_EQ(g.Open, 2u);
    EXPECT_EQ(g.Close, 8u);
    EXPECT_EQ(g.Inner, "b(c)d");
    EXPECT_EQ(ev.FindGroup("(x)(y)", 2).Open, 4u);
    EXPECT_EQ(ev.FindGroup("(x)(y)", 2).Inner, "y");
    const TGroup unmatched = ev.FindGroup("ab(", 1);
    EXPECT_FALSE(unmatched.Found);
    EXPECT_EQ(unmatched.Open, 3u);
    EXPECT_EQ(ev.FindGroup("ab", 1).Open, 0u);
    EXPECT_EQ(ev.FindGroup("(a)", 4).Open, 0u); // start beyond the end
}

TEST(EvalOperations, StripOuterParenthesesOnlyWhenTheyEncloseEverything) {
    const TSimpleEval ev;
    const std::pair<const char*, const char*> cases[] = {
        {"((a+b))", "a+b"}, {"( (a) )", "a"}, {"(a)+(b)", "(a)+(b)"},
        {" (a) ", " (a) "}, {"((a)", "((a)"}, {"()", ""},
    };
    for (const auto& [in, out] : cases) {
        std::string text = in;
        ev.StripOuterParentheses(text);
        EXPECT_EQ(text, out) << in;
    }
}

TEST(EvalOperations, ReductionsPutValuesBetweenBlanks) {
    TSimpleEval ev;
    std::string groups = "2*(3+4)-(0-1)";
    ev.ReduceGroups(groups);
    EXPECT_EQ(groups, "2* 7 - -1 ");
    std::string calls = "max(1,2)+x";
    ev.ReduceFunctionCalls(calls);
    EXPECT_EQ(calls, " 2 +x");
    const TFunctionCall call = ev.FindFunctionCall("x+Sin (1)");
    EXPECT_TRUE(call.Found);
    EXPECT_EQ(call.Name, "sin");
    EXPECT_EQ(call.Start, 3u);
    EXPECT_EQ(call.Close, 9u);
    EXPECT_EQ(call.Arguments, "1");
    EXPECT_FALSE(ev.FindFunctionCall("arcsin1+xlog").Found);
}

TEST(EvalOperations, OperandsAndCallsOnTheirOwn) {
    TSimpleEval ev;
    EXPECT_EQ(ev.OperandValue(" 4 "), 4);
    EXPECT_EQ(ev.OperandValue("-(1+2)"), -3);
    EXPECT_THROW(ev.OperandValue("1.2.3"), ConversionError);
    EXPECT_THROW(ev.OperandValue(""), ESimpleEvalException);
    EXPECT_EQ(ev.CallFunction("max", "1, 5"), 5);
    EXPECT_EQ(ev.CallFunction("MAX", "(1, 5)"), 5);
    try {
        ev.CallFunction("nosuch", "");
        FAIL() << "no error";
    } catch (const ESimpleEvalException& e) {
        EXPECT_EQ(e.Message(), "Unknown function \"nosuch\"");
    }
}

} // namespace
} // namespace quorvel
