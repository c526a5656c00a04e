#include "cli/Session.h"

#include "shell/KivDirectories.h"
#include "util/NumberText.h"

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

void Session::RunCode() {
    codeRan_ = true;
    Guard([this] { core_->Code1Click(); });
    codeLines_ = core_->CodeLines();
}

void Session::EnsureCode() {
    if (!codeRan_)
        RunCode();
}

bool Session::Perform(const SessionAction& action) {
    using Kind = SessionAction::Kind;
    switch (action.What) {
    case Kind::Click:
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
        Guard([this] { core_->Calculate1Click(); });
        break;
    case Kind::Calculate:
        Guard([this] { core_->Calculate1Click(); });
        break;
    case Kind::Clear:
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
