// Any text gives a number or an error: deep nesting is refused before it can exhaust the
// stack, long texts take linear time, and arbitrary bytes are handled.

#include "EvalTestSupport.h"

#include <random>

namespace quorvel::test {
namespace {

std::string Repeat(const std::string& s, int n) {
    std::string out;
    out.reserve(s.size() * static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

const std::string kTooDeep = "Error: Expression nested too deeply (more than 1000 levels of "
                             "parentheses or signs)";

class EvalLimits : public EvalPaths {};

TEST_P(EvalLimits, AHundredThousandNestedParenthesesAreRefused) {
    const int n = 100000;
    for (const std::string& text : {
             Repeat("(", n) + "1" + Repeat(")", n),
             Repeat("1+(", n) + "1" + Repeat(")", n),
             Repeat("abs(", n) + "1" + Repeat(")", n),
             Repeat("max(1,", n) + "1" + Repeat(")", n),
             Repeat("(", n),
             Repeat("-", n) + "1",
             Repeat("- ", n) + "1",
         })
        EXPECT_EQ(Outcome(ev, text), kTooDeep) << text.substr(0, 20);
}

TEST_P(EvalLimits, NestingUpToTheLimitIsEvaluated) {
    const int n = TSimpleEval::kMaxNesting;
    EXPECT_EQ(Outcome(ev, Repeat("1+(", n) + "1" + Repeat(")", n)), "1001");
    EXPECT_EQ(Outcome(ev, Repeat("abs(", n) + "2" + Repeat(")", n)), "2");
    EXPECT_EQ(Outcome(ev, Repeat("ifthen(1,", n) + "3" + Repeat(",0)", n)), "3");
    EXPECT_EQ(Outcome(ev, Repeat("- ", n) + "1"), "1");
    // The deepest recursion there is: a call chain with a chain of signs at its bottom.
    EXPECT_EQ(Outcome(ev, Repeat("abs(", n) + Repeat("-", n) + "1" + Repeat(")", n)), "1");
    EXPECT_EQ(Outcome(ev, Repeat("(", n + 1) + "1" + Repeat(")", n + 1)), kTooDeep);
}

TEST_P(EvalLimits, AMegabyteOfOnesIsSummedInLinearTime) {
    std::string text;
    text.reserve(1 << 20);
    while (text.size() < 1000000)
        text += "1+";
    text += "1";
    EXPECT_EQ(Outcome(ev, text), "500001");
}

TEST_P(EvalLimits, ArbitraryBytesGiveANumberOrAnError) {
    std::mt19937 random(7);
    const std::string alphabet = "0123456789.+-*/%^=<>&|(),  \t\x01xXyepiaxsinmlogn#\xff";
    for (int i = 0; i < 3000; ++i) {
        std::string text;
        const int length = static_cast<int>(random() % 40);
        for (int k = 0; k < length; ++k)
            text += random() % 8 == 0 ? static_cast<char>(random() % 256)
                                      : alphabet[random() % alphabet.size()];
        const std::string outcome = Outcome(ev, text); // must neither crash nor hang
        EXPECT_FALSE(outcome.empty()) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, EvalLimits, ::testing::Bool(), PathName);

} // namespace
} // namespace quorvel::test
