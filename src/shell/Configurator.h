#pragma once
// The GUI-free heart of the main window: it owns the loaded device's tables and runs
// start-up, device loading, clicks, the clear commands, the calculation and the code
// generation. Front ends forward their events here and show what it writes to the views.

#include "diagram/Model.h"
#include "shell/DefsDirectory.h"
#include "shell/DeviceList.h"
#include "shell/Views.h"

#include <string>
#include <vector>

namespace quorvel {

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

    // What the main window does when it is first shown: reads the device list.
    void FormShow();

    // Reads the device list file of the program directory; a missing file is reported.
    void LoadDeviceList();
    const DeviceList& Devices() const { return devices_; }

    // Resolves the "Defs" directory for a device (see DefsDirectory.h), keeping the result.
    bool ResolveDefsDir(const std::string& deviceName);
    const std::string& DefsDir() const { return defsDir_; }
    const DefsPaths& CurrentDefsPaths() const { return defsPaths_; }

    bool LoadFailed() const { return loadFailed_; }
    TModel& Model() { return model_; }
    const TModel& Model() const { return model_; }
    const ConfiguratorPaths& Paths() const { return paths_; }

private:
    ConfiguratorPaths paths_;
    ConfiguratorViews views_;
    DeviceList devices_;
    TModel model_;
    DefsPaths defsPaths_;
    std::string defsDir_;
    bool loadFailed_ = false;
};

} // namespace quorvel
