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

// Sets the CalcVals and RegVals variables, in table order, by name or by kept places. Places
// are defined in the same order as the names would be set, so the evaluator's table ends the
// same; when a name is refused, what was set before it stays set and nothing is kept.
void SetDiagramVariables(const Configuration& state, TSimpleEval& evaluator,
                         VariablePlaces* places) {
    const TModel& model = state.Model;
    const DiagramIndex* index = UsableIndex(state);
    if (places == nullptr || index == nullptr) {
        for (const TCalcVal& val : model.CalcVals)
            evaluator.SetVariable(val.Name, val.Value);
        for (const TRegVal& val : model.RegVals)
            evaluator.SetVariable(RegisterVariableName(val.Name), val.CalcValue);
        return;
    }
    if (places->Diagram.get() == index && places->Evaluator == &evaluator &&
        places->Calc.size() == model.CalcVals.size() &&
        places->Reg.size() == model.RegVals.size()) {
        for (std::size_t i = 0; i < model.CalcVals.size(); ++i)
            evaluator.SetVariableAt(places->Calc[i], model.CalcVals[i].Value);
        for (std::size_t i = 0; i < model.RegVals.size(); ++i)
            evaluator.SetVariableAt(places->Reg[i], model.RegVals[i].CalcValue);
        return;
    }
    *places = VariablePlaces{};
    VariablePlaces taken;
    taken.Diagram = state.Index;
    taken.Evaluator = &evaluator;
    taken.Calc.reserve(model.CalcVals.size());
    for (const TCalcVal& val : model.CalcVals)
        taken.Calc.push_back(evaluator.DefineVariable(val.Name, val.Value));
    taken.Reg.reserve(model.RegVals.size());
    for (const TRegVal& val : model.RegVals)
        taken.Reg.push_back(
            evaluator.DefineVariable(RegisterVariableName(val.Name), val.CalcValue));
    *places = std::move(taken);
}

} // namespace

void Calculate(Configuration& state, TSimpleEval& evaluator, Changes& changes,
               VariablePlaces* places) {
    const TModel& model = state.Model;
    for (int i = 0; i < kValueBoxCount; ++i) {
        const std::string digits = DigitsOnly(state.Boxes[static_cast<std::size_t>(i)].text);
        const double value = IsNumber(digits) ? StrToFloat(digits) : 1.0;
        evaluator.SetVariable(BoxVariable(i), value);
    }
    SetDiagramVariables(state, evaluator, places);
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
