#include "results/TypedChoice.h"

#include "results/FormulaText.h"
#include "results/Limits.h"
#include "util/KivStrings.h"
#include "util/NumberText.h"

#include <cmath>

namespace quorvel {

namespace {

void SetBoxText(Configuration& state, int box, const std::string& text, Changes& changes) {
    ValueBoxState& state_box = state.Boxes.at(static_cast<std::size_t>(box));
    if (state_box.text == text)
        return;
    state_box.text = text;
    changes.Boxes.set(static_cast<std::size_t>(box));
}

} // namespace

std::optional<std::int64_t> TypedNumberOfValue(const TTypedField& field, std::uint32_t value) {
    try {
        const std::vector<std::uint32_t> values = TypedFieldValues(field);
        for (std::size_t i = 0; i < values.size(); ++i)
            if (values[i] == value)
                return field.Min + static_cast<std::int64_t>(i);
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

const TTypedField* ShowTypedNumber(Configuration& state, LineRef line, Changes& changes) {
    if (!line.Register || line.Index >= state.Model.RegisterLines.size())
        return nullptr;
    const TLineRegister_& chosen = state.Model.RegisterLines[line.Index];
    const TTypedField* field = TypedFieldOfName(state.Model, chosen.Name);
    if (!field || field->Box < 0 || field->Box >= kValueBoxCount)
        return nullptr;
    const auto number = TypedNumberOfValue(*field, chosen.Value);
    SetBoxText(state, field->Box, number ? IntToText(*number) : FormatResult(chosen.CalcValue),
               changes);
    return field;
}

bool TakeTypedNumber(Configuration& state, int box, Changes& changes) {
    TModel& model = state.Model;
    const TTypedField* field = TypedFieldOfBox(model, box);
    if (!field || box < 0 || box >= kValueBoxCount)
        return false;
    const auto number = TypedBoxNumber(state.Boxes[static_cast<std::size_t>(box)].text);
    if (!number || TypedNumberProblem(model, *field, *number))
        return false;
    const auto n = static_cast<std::int64_t>(*number);
    std::uint32_t value = 0;
    try {
        value = TypedFieldValues(*field)[static_cast<std::size_t>(n - field->Min)];
    } catch (const std::exception&) {
        return false;
    }
    for (std::size_t i = 0; i < model.RegisterLines.size(); ++i) {
        const TLineRegister_& line = model.RegisterLines[i];
        if (EqualsIgnoreCaseAscii(line.Name, field->Name) && line.Value == value) {
            ChooseLine(state, {true, i}, changes);
            // The line's own comment names the same number; the box keeps what was typed.
            return true;
        }
    }
    for (std::size_t i = 0; i < model.RegisterLines.size(); ++i)
        if (EqualsIgnoreCaseAscii(model.RegisterLines[i].Name, field->Name) &&
            model.RegisterLineMarked[i])
            SetLineMark(state, {true, i}, false, changes);
    changes.Paints.push_back({Paint::Kind::Connectors, false, 0});
    return ApplyTypedNumber(model, *field, n, value);
}

} // namespace quorvel
