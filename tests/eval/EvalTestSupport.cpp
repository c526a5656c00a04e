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

void EvalPaths::ExpectAll(std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(Outcome(ev, c.text), c.outcome) << "formula: " << c.text;
        // A second run goes through the cached form when there is one.
        EXPECT_EQ(Outcome(ev, c.text), c.outcome) << "again: " << c.text;
    }
}

std::string PathName(const ::testing::TestParamInfo<bool>& info) {
    return info.param ? "Compiled" : "Rewriting";
}

} // namespace quorvel::test
