// The session's part in configuration files and undo: replaying a file's choices and putting
// a former state back.

#include "diagram/Marking.h"
#include "shell/ConfigurationCapture.h"
#include "shell/KivDirectories.h"
#include "shell/Session.h"

namespace quorvel {

namespace {

// Leaves no line of the name chosen: its lines unmarked and, for a configuration name, its
// setting label empty; for a register bit-field, no register choice.
void Unchoose(Configuration& state, const std::string& name, Changes& changes) {
    TModel& model = state.Model;
    for (std::size_t i = 0; i < model.ConfigLines.size(); ++i)
        if (model.ConfigLines[i].Name == name)
            SetLineMark(state, LineRef{false, i}, false, changes);
    for (std::size_t i = 0; i < model.RegisterLines.size(); ++i)
        if (model.RegisterLines[i].Name == name)
            SetLineMark(state, LineRef{true, i}, false, changes);
    const auto& names = model.CalcVarNames.Items();
    for (std::size_t l = 0; l < names.size() && l < static_cast<std::size_t>(kLabelledNameCount);
         ++l)
        if (names[l] == name)
            SetCaption(state, static_cast<int>(2 * l + 2), "", changes);
    for (TRegVal& reg : model.RegVals)
        if (reg.Name == name)
            reg.Chosen = false;
    changes.Paints.push_back(Paint{Paint::Kind::Connectors});
}

} // namespace

void Session::ApplyOpening(const OpeningPlan& plan, ConfigurationProblems& problems) {
    StateBoxes boxes(state_, pending_);
    for (const OpeningPlan::Input& input : plan.Inputs)
        boxes.SetText(input.Box, input.Text);
    Present();
    // One calculation after all choices, as device loading does after its defaults.
    const bool autoCalculate = autoCalculate_;
    autoCalculate_ = false;
    try {
        for (const ConfigurationFact& choice : plan.Choices) {
            if (choice.Value == kNothingChosen) {
                Unchoose(state_, choice.Name, pending_);
                Present();
                continue;
            }
            const std::string message = ChooseByName(choice.Name, choice.Value);
            if (!message.empty())
                problems.Add(choice.Line, message);
        }
    } catch (...) {
        autoCalculate_ = autoCalculate;
        Present();
        throw;
    }
    autoCalculate_ = autoCalculate;
    Calculate1Click();
}

void Session::Restore(const Configuration& state, const LoadStatus& load) {
    loadFailed_ = load.Failed;
    defsSlot_ = load.DefsSlot;
    Configuration restored = state;
    restored.FirstX = state_.FirstX;
    restored.FirstY = state_.FirstY;
    restored.SecondX = state_.SecondX;
    restored.SecondY = state_.SecondY;
    restored.ClipboardText = state_.ClipboardText;
    state_ = std::move(restored);
    pending_.Clear();
    // Every box and label is shown anew, also when the bitmap cannot be read again.
    pending_.Boxes.set();
    pending_.Captions.set();
    // The picture is drawn whole: nothing held or drawn before counts any longer.
    painter_.Reset();
    try {
        if (!state_.Picture.empty()) {
            views_.Surface.LoadBitmap(JoinPath(paths_.ProgramDir, state_.Picture));
            PaintWhole(state_, views_.Surface);
        }
    } catch (...) {
        Present();
        throw;
    }
    Present();
}

} // namespace quorvel
