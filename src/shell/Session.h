#pragma once
// The one session of the program, shared by the window, the command line, the tests and the
// benchmarks: it owns the configuration state, the evaluator and the views, runs start-up,
// device loading, clicks, the clear commands, the calculation and the code generation, and
// keeps the journal of the actions performed. After every step the views are brought up to
// date from the state. The handlers throw; Perform and Guard run them under the one error
// guard, which shows an error's message; nothing already changed is undone.

#include "diagram/Configuration.h"
#include "diagram/Marking.h"
#include "diagram/Model.h"
#include "diagram/Selection.h"
#include "results/Calculation.h"
#include "results/CompilerCode.h"
#include "results/Limits.h"
#include "shell/DefsDirectory.h"
#include "shell/DeviceList.h"
#include "util/Views.h"

#include <bitset>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorvel {

class TSimpleEval;
struct OpeningPlan;
struct ConfigurationProblems;

inline constexpr const char* kHelpFileName = "Quorvel_Help_Generic.txt";

// The message for a device or diagram name ("device", "diagram") that holds a path
// separator or "..": such a name is never made into a file name.
std::string UnsafeNameMessage(const char* what, const std::string& name);

struct SessionViews {
    DiagramSurface& Surface;
    ValueBoxView& Boxes;
    LabelView& Labels;
    MessageView& Messages;
    ClipboardView& Clipboard;
};

// What a device load leaves besides the configuration: whether it failed, and the "Defs" slot
// of the definitions read (the code's language follows it when none is chosen).
struct LoadStatus {
    bool Failed = false;
    std::size_t DefsSlot = 0;
};

struct SessionPaths {
    std::string ProgramDir;   // where the device list, diagrams and help text lie
    std::string SettingsFile; // the settings file, fixed at start
};

// One user action, as the journal records it.
struct Action {
    enum class Kind {
        Start,          // the window is first shown: the device list is read
        ChooseDevice,   // a device list item, Text
        Click,          // a left click at X, Y
        Middle,         // a middle click
        Right,          // a right click
        Type,           // Text typed into value box BoxIndex
        Box,            // Text typed into input box BoxIndex, then Enter
        Calculate,      // the Calculate command
        ClearAll,       // Clear All
        ClearConfig,    // Clear Config bits
        ClearRegisters, // Clear Register Settings
        Reload,         // Reload All
        Code,           // the Code command
        Set,            // the setting Value of Text chosen by name
    };
    Kind What = Kind::Calculate;
    int X = 0;
    int Y = 0;
    int BoxIndex = 0;
    std::string Text;
    std::string Value;

    static Action Of(Kind what) {
        Action a;
        a.What = what;
        return a;
    }
    static Action At(Kind what, int x, int y) {
        Action a = Of(what);
        a.X = x;
        a.Y = y;
        return a;
    }
    static Action WithText(Kind what, std::string text) {
        Action a = Of(what);
        a.Text = std::move(text);
        return a;
    }
};

enum class Outcome {
    Done,        // performed without error
    Failed,      // an error's message was shown; what changed before stays
    NotInputBox, // typing into a box that is no shown input box: nothing done
    NoMatch,     // no line matches a choice by name: its message was shown
    NotADevice,  // an empty or separator list item: nothing done
};

class Session {
public:
    Session(SessionPaths paths, SessionViews views);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Records the action in the journal and runs it under the error guard.
    Outcome Perform(const Action& action);
    // Runs a handler under the error guard: an error becomes a message. Returns false then.
    bool Guard(const std::function<void()>& handler);
    const std::vector<Action>& Journal() const { return journal_; }

    // What the main window does when it is first shown: reads the device list.
    void FormShow();

    // Reads the device list file of the program directory; a missing file is reported.
    void LoadDeviceList();
    const DeviceList& Devices() const { return devices_; }

    // True when a list item names a device: its trimmed text is neither empty nor a separator.
    static bool IsDeviceItem(const std::string& itemText);
    // A click on a list item: loads the device when IsDeviceItem. Returns whether the list
    // closes (it stays open otherwise).
    bool ListBox1Click(const std::string& itemText);

    // Brings the program into the device's initial state: definitions, bitmap, description,
    // labels, default choices and one calculation. Failures stop at their step.
    void LoadDevice(const std::string& deviceName);
    // Chooses the first line of every name by a simulated left click, without recalculating.
    void ApplyDefaults();

    // Resolves the "Defs" directory and reads the device's definition file into ConfigWords.
    // Returns false (and shows the message) when either fails.
    bool ReadDefinition(const std::string& deviceName);

    // A mouse press on the diagram, in bitmap pixels.
    void Image1MouseDown(MouseButton button, int x, int y);
    // Text typed into value box `index` (0..30): the view shows it already; the state
    // takes it for the next calculation.
    void BoxEdited(int index, const std::string& text);
    // The calculation, also run by Enter in any value box.
    void Calculate1Click();
    // Chooses a setting by name (see FindNamedLine) with a left click at the first end point
    // of its line. Returns the message naming what the diagram offers when no line matches;
    // empty when a line was chosen.
    std::string ChooseByName(const std::string& name, const std::string& setting);

    // The Code command: rebuilds the register initialisation (CodeLines), the configuration
    // bits (ConfigCodeLines) and the code window's text (CodeWindowLines) in the code options.
    // On an error the lines before it stay and the error propagates (the window is then not
    // shown).
    void Code1Click();
    // For a user of the register code alone: Code1Click then leaves ConfigCodeLines and
    // CodeWindowLines empty, and spares itself their making.
    void KeepRegisterCodeOnly() { registerCodeOnly_ = true; }
    const std::vector<std::string>& CodeLines() const { return codeLines_; }
    const std::vector<std::string>& ConfigCodeLines() const { return configCodeLines_; }
    const std::vector<std::string>& CodeWindowLines() const { return windowLines_; }

    // The language of the code: the one chosen, or without a choice the language of the
    // compiler whose "Defs" slot supplied the definitions. Merging writes one
    // read-modify-write per register.
    void SetCodeLanguage(std::optional<CodeLanguage> language) {
        codeLanguage_ = language;
        followStoredLanguage_ = false;
    }
    // Without a choice of its own: the language the settings file stores, as read with the
    // "Defs" directories at each device load (ReadCodeLanguage would read the file again).
    void FollowStoredCodeLanguage() { followStoredLanguage_ = true; }
    void SetMergeWrites(bool merge) { mergeWrites_ = merge; }

    void ClearAll1Click();
    void ClearConfigbits1Click();
    void ClearRegisterSettings1Click();
    void ReloadAll1Click();

    // Shows a message as the session's own messages are shown.
    void ShowMessage(const std::string& text) { views_.Messages.ShowMessage(text); }
    // Opening a configuration file: sets the planned input texts and replays the planned
    // choices by name without recalculating in between, then calculates once. A choice the
    // diagram does not offer becomes a problem of its line. Throws as the calculation does.
    void ApplyOpening(const OpeningPlan& plan, ConfigurationProblems& problems);
    // Puts a former state and its load status back (the stored points and the clipboard text
    // stay as they are) and shows it anew: the bitmap loaded again and painted whole, every
    // box and label.
    void Restore(const Configuration& state, const LoadStatus& load);
    LoadStatus CurrentLoad() const { return LoadStatus{loadFailed_, defsSlot_}; }

    // The help text, read anew from the current directory; throws FileError when missing.
    static std::string ReadHelpText();

    // True once a device has loaded far enough to show "Clear", "Code" and "Help".
    bool CommandsVisible() const { return commandsVisible_; }
    bool LoadFailed() const { return loadFailed_; }
    bool AutoCalculate() const { return autoCalculate_; }
    const std::string& CurrentDevice() const { return state_.Device; }
    const Configuration& State() const { return state_; }
    const TModel& Model() const { return state_.Model; }
    const SessionPaths& Paths() const { return paths_; }
    // The limits the last calculation broke, in the order of the description.
    const std::vector<TViolation>& Violations() const { return state_.Violations; }

private:
    // Runs a step and then brings the views up to date, also when the step throws.
    template <typename F> void Presenting(F&& step);
    // Paints the pending segments (unless paints are held) and shows the pending boxes,
    // captions and clipboard text.
    void Present();
    void LabelFields();
    CodeOptions EffectiveCodeOptions() const;
    // A clear takes back choices without recalculating: every result shown is stale.
    void MarkResultsStale();
    // Shows the violations in the boxes' problem texts.
    void SetViolations(std::vector<TViolation> violations);
    // Takes the typed numbers whose box text changed.
    void TakeTypedNumbers();
    // Chooses a line as a left click does, and shows a typed bit-field's number in its box.
    void ChooseAndShow(LineRef line);
    // What a left click does with the lines under it, in their order.
    void ChooseClickedLines(const std::vector<LineRef>& lines);

    SessionPaths paths_;
    SessionViews views_;
    DeviceList devices_;
    Configuration state_;
    Changes pending_;
    // What is drawn on the surface. While holdPaints_ is above 0, Present keeps the paints
    // for later: only steps after whose last connectors paint no mark changes are held, so
    // that drawing them together gives the picture of drawing each in turn. It is reset
    // whenever the surface loads a bitmap.
    MarkPainter painter_;
    int holdPaints_ = 0;
    // What the box views show: a fresh box's text, place and visibility to begin with. A
    // box's style is set once before it is only changed.
    std::array<ValueBoxState, kValueBoxCount> shown_{};
    std::bitset<kValueBoxCount> styleKnown_;
    std::unique_ptr<TSimpleEval> evaluator_;
    VariablePlaces variablePlaces_; // of the evaluator, for the loaded diagram
    // The text of each typed box when its number was last taken or shown: a calculation
    // takes the number of a typed box whose text changed since.
    std::array<std::string, kValueBoxCount> typedSeen_{};
    std::vector<std::string> codeLines_;
    std::vector<std::string> configCodeLines_;
    std::vector<std::string> windowLines_;
    bool registerCodeOnly_ = false;
    std::optional<CodeLanguage> codeLanguage_;
    bool followStoredLanguage_ = false;
    bool mergeWrites_ = false;
    std::size_t defsSlot_ = 0; // the "Defs" slot of the last definition read
    std::vector<Action> journal_;
    bool loadFailed_ = false;
    bool autoCalculate_ = false;
    bool commandsVisible_ = false;
};

} // namespace quorvel
