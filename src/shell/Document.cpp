#include "shell/Document.h"

#include "shell/ConfigurationCapture.h"
#include "util/SafeWrite.h"

namespace quorvel {

namespace {

// The message for a file's problems: the file, then one line per problem.
std::string ProblemsMessage(const std::string& path, const ConfigurationProblems& problems) {
    return "Configuration \"" + path + "\":\n" + problems.Text();
}

// Whether the device list gives the device a diagram, so that loading it can succeed.
bool HasDiagram(const Session& session, const std::string& device) {
    for (const TPic_Type& entry : session.Devices().DeviceTypes)
        if (entry.Name == device)
            return !entry.Diagram.empty() &&
                   session.State().Picture == "Quorvel_" + entry.Diagram + ".bmp";
    return false;
}

} // namespace

bool SameConfiguration(const Configuration& a, const Configuration& b) {
    return a.Device == b.Device && a.Picture == b.Picture && a.Boxes == b.Boxes &&
           a.Captions == b.Captions && a.Model == b.Model;
}

Document::Document(Session& session, bool undo)
    : session_(session),
      undo_(undo), committed_{session.State(), session.CurrentLoad(), std::string()} {
    history_.Clear(true);
}

bool Document::HasDevice() const {
    return !session_.LoadFailed() && HasDiagram(session_, session_.State().Device);
}

void Document::CommitStep(bool newDocument) {
    if (!undo_)
        return;
    const Configuration& now = session_.State();
    if (!SameConfiguration(now, committed_.State) || committed_.File != fileName_) {
        // Before the first diagram there is nothing to go back to.
        if (!committed_.State.Picture.empty())
            history_.Record(std::move(committed_));
        committed_ = Step{now, session_.CurrentLoad(), fileName_};
    }
    if (newDocument)
        history_.MarkSaved();
}

void Document::Commit() {
    CommitStep(false);
}

Outcome Document::Perform(const Action& action) {
    using Kind = Action::Kind;
    const Outcome outcome = session_.Perform(action);
    switch (action.What) {
    case Kind::Start:
    case Kind::Type:   // typing becomes part of the next step (Enter, a click, ...)
    case Kind::Middle: // the stored points and the clipboard are no part of the configuration
    case Kind::Right:
    case Kind::Code: // the code follows from the register choices
        break;
    case Kind::ChooseDevice:
        if (outcome != Outcome::NotADevice) {
            fileName_.clear();
            CommitStep(true);
        }
        break;
    default:
        CommitStep(false);
        break;
    }
    return outcome;
}

void Document::Restore(Step step) {
    fileName_ = step.File;
    session_.Restore(step.State, step.Load);
    committed_ = Step{session_.State(), session_.CurrentLoad(), fileName_};
}

void Document::Undo() {
    CommitStep(false);
    if (undo_ && history_.CanUndo())
        Restore(history_.Undo(std::move(committed_)));
}

void Document::Redo() {
    CommitStep(false);
    if (undo_ && history_.CanRedo())
        Restore(history_.Redo(std::move(committed_)));
}

ConfigurationDocument Document::Capture() const {
    const Configuration& state = session_.State();
    return CaptureConfiguration(state.Model, state.Device, [&state](int k) {
        return state.Boxes[static_cast<std::size_t>(k)].text;
    });
}

bool Document::Open(const std::string& path) {
    ConfigurationProblems problems;
    const auto file = ReadConfigurationFile(path, problems);
    if (!file) {
        session_.ShowMessage(ProblemsMessage(path, problems));
        return false;
    }
    CommitStep(false);
    const Outcome outcome =
        session_.Perform(Action::WithText(Action::Kind::ChooseDevice, file->Device));
    const bool loaded = outcome == Outcome::Done && HasDevice();
    if (loaded) {
        const OpeningPlan plan = PlanOpening(*file, session_.Model(), problems);
        session_.Guard([&] { session_.ApplyOpening(plan, problems); });
        fileName_ = path;
    } else {
        if (outcome != Outcome::Failed && !session_.LoadFailed())
            problems.Add(file->DeviceLine,
                         "the device " + file->Device + " is not in the device list");
        fileName_.clear();
    }
    CommitStep(true);
    if (!problems.Empty())
        session_.ShowMessage(ProblemsMessage(path, problems));
    return loaded;
}

bool Document::Save(const std::string& path, std::string& error) {
    CommitStep(false);
    if (!HasDevice()) {
        error = "no device is loaded";
        return false;
    }
    if (!WriteFileAtomically(path, FormatConfiguration(Capture()), error))
        return false;
    fileName_ = path;
    if (undo_) {
        committed_.File = path;
        history_.MarkSaved();
    }
    return true;
}

} // namespace quorvel
