#include "EvalTestSupport.h"

#include "util/Errors.h"
#include "util/KivStrings.h"

namespace quorvel::test {

std::string Outcome(TSimpleEval& ev, const std::string& text) {
    try {
        return FloatToPlainText(ev.EvaluateText(text));
    } catch (const ESimpleEvalException& e) {
        return "Error: " + e.Message();
    } catch (const ArithmeticError& e) {
        return std::string("ArithmeticError: ") + e.what();
    } catch (const ConversionError& e) {
        return std::string("ConversionError: ") + e.what();
    }
}

std::string EvalPaths::Outcome(TSimpleEval& evaluator, const std::string& text) {
    const std::string first = test::Outcome(evaluator, text);
    if (!GetParam())
        return first;
    const std::string again = test::Outcome(evaluator, text);
    EXPECT_EQ(again, first) << "the compiled form of: " << text.substr(0, 80);
    return again;
}

void EvalPaths::ExpectAll(std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(test::Outcome(ev, c.text), c.outcome) << "formula: " << c.text;
        // A second run goes through the compiled form when there is one.
        EXPECT_EQ(test::Outcome(ev, c.text), c.outcome) << "again: " << c.text;
    }
}

std::string PathName(const ::testing::TestParamInfo<bool>& info) {
    return info.param ? "Compiled" : "Rewriting";
}

} // namespace quorvel::test
