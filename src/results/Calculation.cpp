#include "results/Calculation.h"

#include "eval/KivEval.h"
#include "results/FormulaText.h"
#include "util/Errors.h"
#include "util/KivStrings.h"
#include "util/NumberText.h"

namespace quorvel {

namespace {

constexpr const char* kUnit = " Mhz";

// "E" + n, the variable of value box n. Built by appending: g++ 12 warns falsely about
// overlapping copies in "literal" + string at high optimisation.
std::string BoxVariable(std::int64_t n) {
    std::string name(1, 'E');
    name.append(IntToText(n));
    return name;
}

} // namespace

void Calculate(Configuration& state, TSimpleEval& evaluator, Changes& changes) {
    const TModel& model = state.Model;
    for (int i = 0; i < kValueBoxCount; ++i) {
        const std::string digits = DigitsOnly(state.Boxes[static_cast<std::size_t>(i)].text);
        const double value = IsNumber(digits) ? StrToFloat(digits) : 1.0;
        evaluator.SetVariable(BoxVariable(i), value);
    }
    for (const TCalcVal& val : model.CalcVals)
        evaluator.SetVariable(val.Name, val.Value);
    for (const TRegVal& val : model.RegVals)
        evaluator.SetVariable(RegisterVariableName(val.Name), val.CalcValue);
    for (std::size_t k = 0; k < model.Formulas.size(); ++k) {
        const TFormula& formula = model.Formulas[k];
        if (formula.Expression.empty())
            continue;
        const std::string numberText =
            formula.Name.size() > 1 ? formula.Name.substr(1, 255) : std::string();
        const std::int32_t n = StrToInt(numberText);
        if (n < 0 || n > 65535 || k >= static_cast<std::size_t>(kValueBoxCount))
            throw ConversionError(kRangeCheckError);
        evaluator.Expression = ConvertBitTags(formula.Expression);
        const double result = evaluator.Evaluate();
        std::string& text = state.Boxes[k].text;
        text = FormatResult(result) + kUnit;
        state.Boxes[k].stale = false;
        changes.Boxes.set(k);
        // The value fed back is the box's text read again, as the box shows it.
        evaluator.SetVariable(BoxVariable(n), StrToFloat(DigitsOnly(text)));
    }
}

} // namespace quorvel
