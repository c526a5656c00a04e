#include "cli/Session.h"

#include "results/InputReading.h"
#include "shell/CodeSettings.h"
#include "shell/KivDirectories.h"
#include "util/KivStrings.h"
#include "util/NumberText.h"
#include "util/TextFile.h"

#include <algorithm>

namespace quorvel::cli {

bool ParsePoint(const std::string& text, int& x, int& y) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos)
        return false;
    const auto px = ParseInteger(text.substr(0, comma));
    const auto py = ParseInteger(text.substr(comma + 1));
    if (!px || !py || *px < 0 || *px > 65535 || *py < 0 || *py > 65535)
        return false;
    x = static_cast<int>(*px);
    y = static_cast<int>(*py);
    return true;
}

namespace {

bool HitsAnyLine(const TModel& model, int x, int y) {
    auto hits = [x, y](const TLine_& line) {
        return TSelection::HitTest(x, y, line.X1, line.Y1, line.X2, line.Y2);
    };
    return std::any_of(model.ConfigLines.begin(), model.ConfigLines.end(), hits) ||
           std::any_of(model.RegisterLines.begin(), model.RegisterLines.end(), hits);
}

} // namespace

Session::Session()
    : core_(std::make_unique<Configurator>(
          ConfiguratorPaths{ProgramDirectory(true), JoinPath(StartDirectory(), kSettingsFileName)},
          ConfiguratorViews{surface_, boxes_, labels_, messages_, clipboard_})) {}

template <typename F> void Session::Guard(F&& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        messages_.ShowMessage(e.what());
    }
}

void Session::Load(const std::string& device) {
    device_ = device;
    Guard([this] { core_->FormShow(); });
    Guard([this, &device] { core_->ListBox1Click(device); });
}

std::vector<std::string> Session::Notes() const {
    std::vector<std::string> notes;
    for (const std::string& details : messages_.Details())
        ForEachLine(details, [&notes](std::string_view line) { notes.emplace_back(line); });
    if (Loaded())
        return notes;
    const std::string name = TrimCopy(device_);
    const DeviceList& list = core_->Devices();
    const auto& devices = list.DeviceTypes;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (devices[i].Name != name)
            continue;
        if (devices[i].Diagram.empty())
            notes.push_back("line " + UIntToText(list.DeviceLines[i]) +
                            " of the device list has no diagram name");
        return notes;
    }
    const std::string listMissing = "File \"" + std::string(kDeviceListFileName) + "\" not found";
    if (std::find(messages_.Messages().begin(), messages_.Messages().end(), listMissing) !=
        messages_.Messages().end())
        return notes; // the list could not be read, which its message says
    std::string note = name + " is not in the device list";
    if (devices.empty())
        note += ", which holds no device";
    for (const TPic_Type& device : devices) {
        if (EqualsIgnoreCaseAscii(device.Name, name)) {
            note += " (names are matched with their case: did you mean " + device.Name + "?)";
            break;
        }
    }
    if (!devices.empty() && devices.front().Name.starts_with("\xEF\xBB\xBF"))
        note += " (its first line starts with a byte-order mark, which is part of that name)";
    notes.push_back(note);
    return notes;
}

void Session::RunCode() {
    codeRan_ = true;
    Guard([this] { core_->Code1Click(); });
    codeLines_ = core_->CodeLines();
    configCodeLines_ = core_->ConfigCodeLines();
}

void Session::SetCodeOptions(std::optional<CodeLanguage> language, bool merge) {
    // Without --lang, the window's choice in the settings file, as the window would use it.
    core_->SetCodeLanguage(language ? language : ReadCodeLanguage(core_->Paths().SettingsFile));
    core_->SetMergeWrites(merge);
}

void Session::EnsureCode() {
    if (!codeRan_)
        RunCode();
}

bool Session::Perform(const SessionAction& action) {
    using Kind = SessionAction::Kind;
    switch (action.What) {
    case Kind::Click:
        if (!HitsAnyLine(core_->Model(), action.X, action.Y))
            warnings_.push_back("the click at " + IntToText(action.X) + "," + IntToText(action.Y) +
                                " hits no line of the diagram");
        Guard([&] { core_->Image1MouseDown(MouseButton::Left, action.X, action.Y); });
        break;
    case Kind::Middle:
        Guard([&] { core_->Image1MouseDown(MouseButton::Middle, action.X, action.Y); });
        break;
    case Kind::Right:
        Guard([&] { core_->Image1MouseDown(MouseButton::Right, action.X, action.Y); });
        break;
    case Kind::Box:
        if (!boxes_.Box(action.BoxIndex).visible || !boxes_.Box(action.BoxIndex).input)
            return false;
        boxes_.SetText(action.BoxIndex, action.Text);
        // The window marks such a box and tells the reading in its tooltip.
        if (const InputReading reading = ReadInputText(action.Text); !reading.Plain)
            warnings_.push_back("value box " + IntToText(action.BoxIndex) + " \"" + action.Text +
                                "\": " + reading.Note);
        Guard([this] { core_->Calculate1Click(); });
        break;
    case Kind::Calculate:
        Guard([this] { core_->Calculate1Click(); });
        break;
    case Kind::Clear:
        boxes_.MarkAllStale();
        if (action.Text == "all")
            Guard([this] { core_->ClearAll1Click(); });
        else if (action.Text == "config")
            Guard([this] { core_->ClearConfigbits1Click(); });
        else
            Guard([this] { core_->ClearRegisterSettings1Click(); });
        break;
    case Kind::Reload:
        Guard([this] { core_->ReloadAll1Click(); });
        break;
    case Kind::Code:
        RunCode();
        break;
    }
    return true;
}

} // namespace quorvel::cli
