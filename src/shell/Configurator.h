#pragma once
// The GUI-free heart of the main window: it owns the loaded device's tables and the
// evaluator, and runs start-up, device loading, clicks, the clear commands, the calculation
// and the code generation. Front ends forward their events here and show what it writes to
// the views. Errors raised inside a handler propagate to the front end's one guard, which
// shows their message; nothing already changed is undone.

#include "diagram/Marking.h"
#include "diagram/Model.h"
#include "diagram/Selection.h"
#include "results/CompilerCode.h"
#include "shell/DefsDirectory.h"
#include "shell/DeviceList.h"
#include "util/Views.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorvel {

class TSimpleEval;

inline constexpr const char* kHelpFileName = "Quorvel_Help_Generic.txt";

// The message for a device or diagram name ("device", "diagram") that holds a path
// separator or "..": such a name is never made into a file name.
std::string UnsafeNameMessage(const char* what, const std::string& name);

struct ConfiguratorViews {
    DiagramSurface& Surface;
    ValueBoxView& Boxes;
    LabelView& Labels;
    MessageView& Messages;
    ClipboardView& Clipboard;
};

struct ConfiguratorPaths {
    std::string ProgramDir;   // where the device list, diagrams and help text lie
    std::string SettingsFile; // the settings file, fixed at start
};

class Configurator {
public:
    Configurator(ConfiguratorPaths paths, ConfiguratorViews views);
    ~Configurator();
    Configurator(const Configurator&) = delete;
    Configurator& operator=(const Configurator&) = delete;

    // What the main window does when it is first shown: reads the device list.
    void FormShow();

    // Reads the device list file of the program directory; a missing file is reported.
    void LoadDeviceList();
    const DeviceList& Devices() const { return devices_; }

    // A click on a list item: loads the device when the trimmed text is neither empty nor a
    // separator. Returns whether the list closes (it stays open for those two).
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
    // The calculation, also run by Enter in any value box.
    void Calculate1Click();

    // The Code command: rebuilds the register initialisation (CodeLines), the configuration
    // bits (ConfigCodeLines) and the code window's text (CodeWindowLines) in the code options.
    // On an error the lines before it stay and the error propagates (the window is then not
    // shown).
    void Code1Click();
    const std::vector<std::string>& CodeLines() const { return codeLines_; }
    const std::vector<std::string>& ConfigCodeLines() const { return configCodeLines_; }
    const std::vector<std::string>& CodeWindowLines() const { return windowLines_; }

    // The language of the code: the one chosen, or without a choice the language of the
    // compiler whose "Defs" slot supplied the definitions. Merging writes one
    // read-modify-write per register.
    void SetCodeLanguage(std::optional<CodeLanguage> language) { codeLanguage_ = language; }
    void SetMergeWrites(bool merge) { mergeWrites_ = merge; }
    CodeOptions EffectiveCodeOptions() const;
    // The slot of the "Defs" directory of the last definition read.
    std::size_t DefsSlot() const { return defsSlot_; }

    void ClearAll1Click();
    void ClearConfigbits1Click();
    void ClearRegisterSettings1Click();
    void ReloadAll1Click();

    // The help text, read anew from the current directory; throws FileError when missing.
    static std::string ReadHelpText();

    // True once a device has loaded far enough to show "Clear", "Code" and "Help".
    bool CommandsVisible() const { return commandsVisible_; }
    bool LoadFailed() const { return loadFailed_; }
    bool AutoCalculate() const { return autoCalculate_; }
    const std::string& CurrentDevice() const { return currentDevice_; }
    const std::string& DefsDir() const { return defsDir_; }
    const DefsPaths& CurrentDefsPaths() const { return defsPaths_; }
    TModel& Model() { return model_; }
    const TModel& Model() const { return model_; }
    TSimpleEval& Evaluator() { return *evaluator_; }
    TDiagramMarking& Marking() { return marking_; }
    TSelection& Selection() { return selection_; }
    const ConfiguratorPaths& Paths() const { return paths_; }

private:
    void LabelFields();
    void ClearSettingLabels();

    ConfiguratorPaths paths_;
    ConfiguratorViews views_;
    DeviceList devices_;
    TModel model_;
    std::unique_ptr<TSimpleEval> evaluator_;
    TDiagramMarking marking_;
    TSelection selection_;
    DefsPaths defsPaths_;
    std::string defsDir_;
    std::string currentDevice_;
    std::vector<std::string> codeLines_;
    std::vector<std::string> configCodeLines_;
    std::vector<std::string> windowLines_;
    std::optional<CodeLanguage> codeLanguage_;
    bool mergeWrites_ = false;
    std::size_t defsSlot_ = 0;
    bool loadFailed_ = false;
    bool autoCalculate_ = false;
    bool commandsVisible_ = false;
};

} // namespace quorvel
