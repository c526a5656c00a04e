#pragma once
// Helpers of the evaluator tests: outcomes as one comparable text, and both evaluation paths.

#include "eval/KivEval.h"

#include <gtest/gtest.h>
#include <string>

namespace quorvel::test {

// The result rendered as the program shows it, or the kind of error and its exact message:
// "Error: ..." for ESimpleEvalException, "ArithmeticError: ..." and "ConversionError: ...".
std::string Outcome(TSimpleEval& ev, const std::string& text);

struct Case {
    const char* text;
    const char* outcome;
};

// Evaluator tests run once by rewriting alone and once with compiled forms in front of it:
// results and messages must not depend on the path.
class EvalPaths : public ::testing::TestWithParam<bool> {
protected:
    EvalPaths() { ev.UseCompiledForms = GetParam(); }
    void ExpectAll(std::initializer_list<Case> cases);
    // The outcome of `text` on this path. With compiled forms the text is evaluated twice,
    // since the first evaluation of a text rewrites it: the second one is the compiled form's
    // and must agree with the first.
    std::string Outcome(TSimpleEval& evaluator, const std::string& text);
    TSimpleEval ev;
};

std::string PathName(const ::testing::TestParamInfo<bool>& info);

} // namespace quorvel::test
