#include "shell/Session.h"

#include "results/TypedChoice.h"
#include "util/NumberText.h"

#include "devdefs/DefinitionReader.h"
#include "diagram/DescriptionParser.h"
#include "diagram/DiagramIndex.h"
#include "diagram/Marking.h"
#include "diagram/NamedChoice.h"
#include "eval/KivEval.h"
#include "results/Calculation.h"
#include "results/CodeGeneration.h"
#include "shell/KivDirectories.h"
#include "util/Errors.h"
#include "util/KivStrings.h"
#include "util/TextFile.h"

namespace quorvel {

Session::Session(SessionPaths paths, SessionViews views)
    : paths_(std::move(paths)), views_(views), evaluator_(std::make_unique<TSimpleEval>()) {}

Session::~Session() = default;

bool Session::Guard(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        views_.Messages.ShowMessage(e.what());
    } catch (...) {
        views_.Messages.ShowMessage("Unexpected error");
    }
    return false;
}

Outcome Session::Perform(const Action& action) {
    using Kind = Action::Kind;
    // Consecutive typing into one box is one step of the journal.
    if (action.What == Kind::Type && !journal_.empty() && journal_.back().What == Kind::Type &&
        journal_.back().BoxIndex == action.BoxIndex)
        journal_.back() = action;
    else
        journal_.push_back(action);
    const auto guarded = [this](const std::function<void()>& handler) {
        return Guard(handler) ? Outcome::Done : Outcome::Failed;
    };
    const auto typed = [this, &action] {
        if (action.BoxIndex < 0 || action.BoxIndex >= kValueBoxCount)
            return false;
        const ValueBoxState& box = state_.Boxes[static_cast<std::size_t>(action.BoxIndex)];
        if (!box.visible || !box.input)
            return false;
        // Typing shows the text in the box before the state takes it.
        views_.Boxes.SetText(action.BoxIndex, action.Text);
        BoxEdited(action.BoxIndex, action.Text);
        return true;
    };
    switch (action.What) {
    case Kind::Start:
        return guarded([this] { FormShow(); });
    case Kind::ChooseDevice:
        if (!IsDeviceItem(action.Text))
            return Outcome::NotADevice;
        return guarded([this, &action] { ListBox1Click(action.Text); });
    case Kind::Click:
        return guarded([&] { Image1MouseDown(MouseButton::Left, action.X, action.Y); });
    case Kind::Middle:
        return guarded([&] { Image1MouseDown(MouseButton::Middle, action.X, action.Y); });
    case Kind::Right:
        return guarded([&] { Image1MouseDown(MouseButton::Right, action.X, action.Y); });
    case Kind::Type:
        return typed() ? Outcome::Done : Outcome::NotInputBox;
    case Kind::Box:
        if (!typed())
            return Outcome::NotInputBox;
        return guarded([this] { Calculate1Click(); });
    case Kind::Calculate:
        return guarded([this] { Calculate1Click(); });
    case Kind::ClearAll:
        return guarded([this] { ClearAll1Click(); });
    case Kind::ClearConfig:
        return guarded([this] { ClearConfigbits1Click(); });
    case Kind::ClearRegisters:
        return guarded([this] { ClearRegisterSettings1Click(); });
    case Kind::Reload:
        return guarded([this] { ReloadAll1Click(); });
    case Kind::Code:
        return guarded([this] { Code1Click(); });
    case Kind::Set: {
        std::string message;
        if (!Guard([&] { message = ChooseByName(action.Text, action.Value); }))
            return Outcome::Failed;
        if (message.empty())
            return Outcome::Done;
        views_.Messages.ShowMessage(message);
        return Outcome::NoMatch;
    }
    }
    return Outcome::Done;
}

template <typename F> void Session::Presenting(F&& step) {
    try {
        step();
    } catch (...) {
        Present();
        throw;
    }
    Present();
}

namespace {

// Holds a session's paints while it lives.
class PaintHold {
public:
    explicit PaintHold(int& depth) : depth_(depth) { ++depth_; }
    ~PaintHold() { --depth_; }
    PaintHold(const PaintHold&) = delete;
    PaintHold& operator=(const PaintHold&) = delete;

private:
    int& depth_;
};

} // namespace

void Session::Present() {
    Changes changes;
    if (!pending_.Empty()) {
        changes = std::move(pending_);
        pending_.Clear();
        if (views_.Surface.ShowsMarks())
            painter_.Hold(state_, changes.Paints);
    }
    if (holdPaints_ == 0 && painter_.Holding())
        painter_.Flush(state_, views_.Surface);
    if (changes.Empty())
        return;
    // Most presents follow a click on one line: a few paints, and no box or caption to look
    // through.
    if (changes.Boxes.any()) {
        for (int k = 0; k < kValueBoxCount; ++k) {
            const auto i = static_cast<std::size_t>(k);
            if (!changes.Boxes[i])
                continue;
            const ValueBoxState& box = state_.Boxes[i];
            ValueBoxState& shown = shown_[i];
            if (box.left != shown.left || box.top != shown.top)
                views_.Boxes.SetPosition(k, box.left, box.top);
            if (!styleKnown_[i] || box.input != shown.input)
                views_.Boxes.SetInputStyle(k, box.input);
            if (box.text != shown.text)
                views_.Boxes.SetText(k, box.text);
            if (box.visible != shown.visible)
                views_.Boxes.SetVisible(k, box.visible);
            if (box.stale != shown.stale)
                views_.Boxes.SetStale(k, box.stale);
            if (box.problem != shown.problem)
                views_.Boxes.SetProblem(k, box.problem);
            shown = box;
            styleKnown_.set(i);
        }
    }
    if (changes.Captions.any())
        for (int n = 1; n <= kLabelCount; ++n)
            if (changes.Captions[static_cast<std::size_t>(n - 1)])
                views_.Labels.SetCaption(n, state_.Caption(n));
    if (changes.Clipboard)
        views_.Clipboard.SetClipboardText(state_.ClipboardText);
}

void Session::FormShow() {
    loadFailed_ = false;
    LoadDeviceList();
}

void Session::LoadDeviceList() {
    SetCurrentDirectory(paths_.ProgramDir);
    devices_ = DeviceList{};
    std::string text;
    if (!ReadWholeFile(kDeviceListFileName, text)) {
        loadFailed_ = true;
        views_.Messages.ShowMessage("File \"" + std::string(kDeviceListFileName) + "\" not found");
        return;
    }
    const bool failedBefore = loadFailed_;
    loadFailed_ = true; // stays set when the list is refused
    devices_ = ParseDeviceList(text);
    loadFailed_ = failedBefore || devices_.DeviceTypes.empty();
}

bool Session::IsDeviceItem(const std::string& itemText) {
    // A separator line is no device: choosing it must not try to load a device named "-".
    const std::string_view name = Trim(itemText);
    return !name.empty() && name != kSeparatorName;
}

bool Session::ListBox1Click(const std::string& itemText) {
    if (!IsDeviceItem(itemText))
        return false;
    LoadDevice(itemText);
    return true;
}

namespace {

// A device or diagram name becomes part of a file name; one that would lead into another
// directory is refused, so that nothing outside the "Defs" directories and the program
// directory is read.
bool IsPlainFileName(std::string_view name) {
    return name.find('/') == std::string_view::npos && name.find('\\') == std::string_view::npos &&
           name.find("..") == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

} // namespace

std::string UnsafeNameMessage(const char* what, const std::string& name) {
    return std::string("The ") + what + " name \"" + name +
           "\" holds a path separator or \"..\" and is not loaded";
}

bool Session::ReadDefinition(const std::string& deviceName) {
    if (!IsPlainFileName(deviceName)) {
        loadFailed_ = true;
        views_.Messages.ShowMessage(UnsafeNameMessage("device", deviceName));
        return false;
    }
    const DefsResolution r =
        ResolveDefsDir(deviceName, paths_.ProgramDir, paths_.SettingsFile, views_.Messages);
    defsSlot_ = r.Slot;
    if (followStoredLanguage_)
        codeLanguage_ = r.StoredLanguage;
    loadFailed_ = !r.Ok;
    if (loadFailed_)
        return false;
    if (!ReadDefinitionFile(deviceName + ".vlk", state_.Model.ConfigWords)) {
        loadFailed_ = true;
        views_.Messages.ShowMessage(VlkNotFoundMessage(deviceName));
        return false;
    }
    return true;
}

void Session::LoadDevice(const std::string& deviceName) {
    Presenting([&] {
        StateBoxes boxes(state_, pending_);
        for (int i = 0; i < kValueBoxCount; ++i) {
            boxes.SetVisible(i, false);
            boxes.SetText(i, "");
        }
        SetViolations({});
        typedSeen_ = {};
        Present();
        state_.Device = TrimCopy(deviceName);
        if (!ReadDefinition(state_.Device))
            return;
        SetCurrentDirectory(paths_.ProgramDir);
        const TPic_Type* entry = nullptr;
        for (const TPic_Type& device : devices_.DeviceTypes) {
            if (device.Name == state_.Device) {
                entry = &device;
                break;
            }
        }
        if (entry == nullptr || entry->Diagram.empty())
            return;
        const std::string diagram = entry->Diagram;
        if (!IsPlainFileName(diagram)) {
            views_.Messages.ShowMessage(UnsafeNameMessage("diagram", diagram));
            return;
        }
        state_.Picture = "Quorvel_" + diagram + ".bmp";
        painter_.Reset();
        views_.Surface.LoadBitmap(state_.Picture);
        state_.Index.reset();
        LoadDiagramDescription(diagram, state_.Model, boxes);
        IndexDiagram(state_);
        commandsVisible_ = true;
        {
            // Unmarking every line and the default clicks are drawn together: a line the
            // defaults choose is painted once.
            const PaintHold hold(holdPaints_);
            UnmarkAllLines(state_, false, pending_);
            UnmarkAllLines(state_, true, pending_);
            for (int number = 1; number <= 2 * kLabelledNameCount; ++number)
                SetCaption(state_, number, "", pending_);
            LabelFields();
            Present();
            ApplyDefaults();
        }
        Calculate1Click();
    });
}

void Session::SetViolations(std::vector<TViolation> violations) {
    state_.Violations = std::move(violations);
    std::array<std::string, kValueBoxCount> problems{};
    for (const TViolation& v : state_.Violations) {
        std::string& p = problems.at(static_cast<std::size_t>(v.Box));
        p += (p.empty() ? "" : "\n") + v.Message;
    }
    for (std::size_t k = 0; k < problems.size(); ++k) {
        if (state_.Boxes[k].problem != problems[k]) {
            state_.Boxes[k].problem = problems[k];
            pending_.Boxes.set(k);
        }
    }
}

void Session::TakeTypedNumbers() {
    for (const TTypedField& field : state_.Model.TypedFields) {
        const auto box = static_cast<std::size_t>(field.Box);
        if (box >= typedSeen_.size() || state_.Boxes[box].text == typedSeen_[box])
            continue;
        typedSeen_[box] = state_.Boxes[box].text;
        TakeTypedNumber(state_, field.Box, pending_);
    }
}

void Session::ChooseAndShow(LineRef line) {
    ChooseLine(state_, line, pending_);
    if (const TTypedField* field = ShowTypedNumber(state_, line, pending_))
        typedSeen_[static_cast<std::size_t>(field->Box)] =
            state_.Boxes[static_cast<std::size_t>(field->Box)].text;
}

void Session::LabelFields() {
    const TModel& model = state_.Model;
    const auto& names = model.CalcVarNames.Items();
    for (std::size_t i = 0; i < names.size() && i < static_cast<std::size_t>(kLabelledNameCount);
         ++i)
        for (const TConfigWord& word : model.ConfigWords)
            for (const TField& field : word.Fields)
                if (field.Name == names[i])
                    SetCaption(state_, static_cast<int>(2 * i + 1), field.Description, pending_);
}

void Session::ApplyDefaults() {
    autoCalculate_ = false;
    {
        // The clicks' paints are drawn together once all are done.
        const PaintHold hold(holdPaints_);
        // A click sets the marks, values and labels of the lines it chooses to what those
        // lines give, whatever they were: right after a click that chose the same lines,
        // the same click changes nothing and is left out.
        std::vector<LineRef> previous;
        // The first line of every name (names are upper-cased when the description is
        // read), as the index tells it; clicks change marks and values, never the tables
        // walked here, nor the index built from them.
        if (UsableIndex(state_) == nullptr)
            IndexDiagram(state_);
        const std::shared_ptr<const DiagramIndex> index = state_.Index; // kept while clicking
        auto clickFirstOfEachName = [this, &previous](const auto& lines,
                                                      const LineTableIndex& table) {
            for (std::size_t i = 0; i < lines.size(); ++i) {
                if (table.NameOf[i] != i)
                    continue;
                const TLine_& line = lines[i];
                std::vector<LineRef> chosen = LinesAt(state_, line.X1, line.Y1);
                if (!chosen.empty() && chosen == previous)
                    continue;
                // The left click at the line's first end point, on the lines just found.
                Presenting([&] { ChooseClickedLines(chosen); });
                previous = std::move(chosen);
            }
        };
        clickFirstOfEachName(state_.Model.ConfigLines, index->Config);
        clickFirstOfEachName(state_.Model.RegisterLines, index->Register);
    }
    Present();
    autoCalculate_ = true;
}

void Session::Image1MouseDown(MouseButton button, int x, int y) {
    Presenting([&] {
        switch (button) {
        case MouseButton::Left:
            ChooseClickedLines(LinesAt(state_, x, y));
            break;
        case MouseButton::Middle:
            StoreFirstPoint(state_, x, y);
            break;
        case MouseButton::Right:
            StoreSecondPoint(state_, x, y, pending_);
            break;
        case MouseButton::Other:
            break;
        }
    });
}

void Session::ChooseClickedLines(const std::vector<LineRef>& lines) {
    // Each line chosen is shown, and recalculated while that is on, before the next. Its
    // paints are drawn when the click is done, without those that later ones of the same
    // click cover.
    const PaintHold hold(holdPaints_);
    for (const LineRef line : lines) {
        ChooseAndShow(line);
        Present();
        if (autoCalculate_)
            Calculate1Click();
    }
}

void Session::BoxEdited(int index, const std::string& text) {
    const auto i = static_cast<std::size_t>(index);
    state_.Boxes.at(i).text = text;
    shown_[i].text = text;
}

void Session::Calculate1Click() {
    Presenting([this] {
        TakeTypedNumbers();
        try {
            Calculate(state_, *evaluator_, pending_, &variablePlaces_);
        } catch (...) {
            // The limits say nothing about a calculation that did not finish.
            SetViolations({});
            throw;
        }
        SetViolations(EvaluateLimits(state_.Model, *evaluator_, [this](int box) {
            return state_.Boxes[static_cast<std::size_t>(box)].text;
        }));
    });
}

std::string Session::ChooseByName(const std::string& name, const std::string& setting) {
    const NamedLine found = FindNamedLine(state_.Model, name, setting);
    if (!found.Line) {
        // A typed bit-field takes every value of its range, also those no line offers.
        const TTypedField* field = TypedFieldOfName(state_.Model, name);
        const auto value = ParseInteger(setting);
        const auto number = field && value && *value >= 0 && *value <= 0xFFFFFFFF
                                ? TypedNumberOfValue(*field, static_cast<std::uint32_t>(*value))
                                : std::nullopt;
        if (!number)
            return found.Message;
        Presenting([&] {
            const auto box = static_cast<std::size_t>(field->Box);
            state_.Boxes[box].text = IntToText(*number);
            pending_.Boxes.set(box);
            typedSeen_[box] = state_.Boxes[box].text;
            TakeTypedNumber(state_, field->Box, pending_);
        });
        if (autoCalculate_)
            Calculate1Click();
        return std::string();
    }
    const TLine_& line = found.Line->Register ? state_.Model.RegisterLines[found.Line->Index]
                                              : state_.Model.ConfigLines[found.Line->Index];
    Image1MouseDown(MouseButton::Left, line.X1, line.Y1);
    return std::string();
}

CodeOptions Session::EffectiveCodeOptions() const {
    return CodeOptions{codeLanguage_.value_or(CodeLanguageOfSlot(defsSlot_)), mergeWrites_};
}

void Session::Code1Click() {
    const CodeOptions options = EffectiveCodeOptions();
    codeLines_.clear();
    if (registerCodeOnly_) {
        GenerateRegisterCode(state_.Model, options, codeLines_);
        return;
    }
    configCodeLines_ = ConfigBitsCode(state_.Model, options.Language);
    try {
        GenerateRegisterCode(state_.Model, options, codeLines_);
    } catch (...) {
        windowLines_ = CodeWindowText(options.Language, configCodeLines_, codeLines_);
        throw;
    }
    windowLines_ = CodeWindowText(options.Language, configCodeLines_, codeLines_);
}

void Session::ClearAll1Click() {
    Presenting([this] {
        ClearChoices(state_, true, true, pending_);
        MarkResultsStale();
    });
}

void Session::ClearConfigbits1Click() {
    Presenting([this] {
        ClearChoices(state_, true, false, pending_);
        MarkResultsStale();
    });
}

void Session::ClearRegisterSettings1Click() {
    Presenting([this] {
        ClearChoices(state_, false, true, pending_);
        MarkResultsStale();
    });
}

void Session::MarkResultsStale() {
    StateBoxes boxes(state_, pending_);
    for (int i = 0; i < kValueBoxCount; ++i)
        if (!state_.Boxes[static_cast<std::size_t>(i)].input)
            boxes.SetStale(i, true);
}

void Session::ReloadAll1Click() {
    if (!state_.Device.empty())
        LoadDevice(state_.Device);
}

std::string Session::ReadHelpText() {
    std::string text;
    if (!ReadWholeFile(kHelpFileName, text))
        throw FileError("Cannot open file \"" + std::string(kHelpFileName) + "\"");
    return text;
}

} // namespace quorvel
