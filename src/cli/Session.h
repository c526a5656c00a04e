#pragma once
// A headless session of the program: the same core as the window, over in-memory views.
// `quorvel run`, `code` and `render` load a device as choosing it in the list does, replay
// actions on it and report the state the window would show.

#include "shell/Configurator.h"
#include "shell/HeadlessViews.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::cli {

// One action given on the command line, in order.
struct SessionAction {
    enum class Kind { Click, Middle, Right, Box, Calculate, Clear, Reload, Code };
    Kind What = Kind::Calculate;
    int X = 0;
    int Y = 0;
    int BoxIndex = 0;
    std::string Text; // --box text, or --clear all|config|registers
};

// The value boxes of a session, which also know which results are stale: a clear command
// takes back choices without recalculating, so every result shown before it is stale until
// a calculation writes the box again.
class SessionValueBoxes : public MemoryValueBoxes {
public:
    void SetText(int index, const std::string& text) override {
        MemoryValueBoxes::SetText(index, text);
        stale_.at(static_cast<std::size_t>(index)) = false;
    }
    void MarkAllStale() { stale_.fill(true); }
    bool Stale(int index) const { return stale_.at(static_cast<std::size_t>(index)); }

private:
    std::array<bool, kValueBoxCount> stale_{};
};

// Parses "X,Y" with both in 0..65535.
bool ParsePoint(const std::string& text, int& x, int& y);

class Session {
public:
    // Program directory: the executable's; settings file: in the current directory.
    Session();

    // Reads the device list and loads the device; every message is recorded.
    void Load(const std::string& device);
    // Runs one action through the same guard as the window: an error becomes a message.
    // Returns false, doing nothing, for typing into a box that is not a shown input box
    // (the window offers no way to do that).
    bool Perform(const SessionAction& action);
    // Runs the Code command when no --code action ran, as the window's final state needs.
    void EnsureCode();
    // The language of the code (nothing: the one chosen in the window, else the language of
    // the definitions' slot) and merging.
    void SetCodeOptions(std::optional<CodeLanguage> language, bool merge);

    const std::string& Device() const { return device_; }
    // True when the device got as far as its diagram: the window would show it.
    bool Loaded() const { return core_->CommandsVisible(); }
    // The messages the window shows, with their texts exactly.
    const std::vector<std::string>& Messages() const { return messages_.Messages(); }
    // What the command line adds: warnings about actions that did nothing (a click on no
    // line), and notes that say why a load failed where the window stays silent or says
    // little. Neither is one of the window's messages.
    const std::vector<std::string>& Warnings() const { return warnings_; }
    std::vector<std::string> Notes() const;
    const std::vector<std::string>& CodeLines() const { return codeLines_; }
    const std::vector<std::string>& ConfigCodeLines() const { return configCodeLines_; }
    const SessionValueBoxes& Boxes() const { return boxes_; }
    const MemoryLabels& Labels() const { return labels_; }
    const MemoryClipboard& Clipboard() const { return clipboard_; }
    const Bitmap& Picture() const { return surface_.Picture(); }
    const Configurator& Core() const { return *core_; }

private:
    template <typename F> void Guard(F&& handler);
    void RunCode();

    RasterSurface surface_;
    SessionValueBoxes boxes_;
    MemoryLabels labels_;
    RecordedMessages messages_;
    MemoryClipboard clipboard_;
    std::unique_ptr<Configurator> core_;
    std::string device_;
    std::vector<std::string> codeLines_;
    std::vector<std::string> warnings_;
    std::vector<std::string> configCodeLines_;
    bool codeRan_ = false;
};

} // namespace quorvel::cli
