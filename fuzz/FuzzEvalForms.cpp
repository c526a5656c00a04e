// The forms of evaluation against each other: the input's first lines "name=value" define
// variables, the rest is the formula. The compiled form (found by the formula's text, and
// prepared once) and the text rewriting must give the same value (to the bit), the same text
// of it, or the same error with the same message; the formula is evaluated again after the
// variables change, which runs the existing compiled forms.

#include "FuzzVariables.h"
#include "eval/KivEval.h"
#include "util/KivStrings.h"

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Outcome {
    int kind = 0; // 0 value, 1 formula error, 2 arithmetic error, 3 conversion or other error
    std::uint64_t bits = 0;
    std::string text; // the value's plain text, or the message
    bool operator==(const Outcome&) const = default;
};

Outcome Run(quorvel::TSimpleEval& evaluator, const std::string& formula,
            quorvel::TPreparedFormula* prepared = nullptr) {
    Outcome o;
    evaluator.Expression = formula;
    try {
        const double value =
            prepared != nullptr ? evaluator.Evaluate(*prepared) : evaluator.Evaluate();
        o.bits = std::bit_cast<std::uint64_t>(value);
        o.text = quorvel::FloatToPlainText(value);
    } catch (const quorvel::ESimpleEvalException& e) {
        o.kind = 1;
        o.text = e.Message();
    } catch (const quorvel::ArithmeticError& e) {
        o.kind = 2;
        o.text = e.what();
    } catch (const std::exception& e) {
        o.kind = 3;
        o.text = e.what();
    }
    return o;
}

// Sets the variable in every evaluator; each must refuse the name, or none.
void SetAll(std::initializer_list<quorvel::TSimpleEval*> evaluators, const std::string& name,
            double value) {
    int refused = 0;
    for (quorvel::TSimpleEval* evaluator : evaluators) {
        try {
            evaluator->SetVariable(name, value);
        } catch (const std::runtime_error&) {
            ++refused;
        }
    }
    if (refused != 0 && refused != static_cast<int>(evaluators.size()))
        __builtin_trap();
}

void Compare(quorvel::TSimpleEval& compiled, quorvel::TSimpleEval& rewriting,
             quorvel::TSimpleEval& prepared, quorvel::TPreparedFormula& formula,
             const std::string& text) {
    const Outcome expected = Run(rewriting, text);
    if (!(Run(compiled, text) == expected) || !(Run(prepared, text, &formula) == expected))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    quorvel::TSimpleEval compiled;
    quorvel::TSimpleEval rewriting;
    rewriting.UseCompiledForms = false;
    quorvel::TSimpleEval prepared;
    const std::vector<std::pair<std::string, double>> variables = TakeVariableLines(text);
    for (const auto& [name, value] : variables)
        SetAll({&compiled, &rewriting, &prepared}, name, value);
    quorvel::TPreparedFormula formula = prepared.Prepare(text);
    Compare(compiled, rewriting, prepared, formula, text);
    // New values for the same formula: the evaluator that rewrote it at first sight compiles it
    // now, and the prepared form runs again.
    for (const auto& [name, value] : variables)
        SetAll({&compiled, &rewriting, &prepared}, name, value * -3.0 + 0.5);
    Compare(compiled, rewriting, prepared, formula, text);
    return 0;
}
