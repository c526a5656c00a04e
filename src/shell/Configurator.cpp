#include "shell/Configurator.h"

#include "shell/KivDirectories.h"
#include "util/TextFile.h"

namespace quorvel {

Configurator::Configurator(ConfiguratorPaths paths, ConfiguratorViews views)
    : paths_(std::move(paths)), views_(views) {}

void Configurator::FormShow() {
    loadFailed_ = false;
    LoadDeviceList();
}

void Configurator::LoadDeviceList() {
    SetCurrentDirectory(paths_.ProgramDir);
    devices_ = DeviceList{};
    std::string text;
    if (!FileExists(kDeviceListFileName) || !ReadWholeFile(kDeviceListFileName, text)) {
        loadFailed_ = true;
        views_.Messages.ShowMessage("File \"" + std::string(kDeviceListFileName) + "\" not found");
        return;
    }
    devices_ = ParseDeviceList(text);
    if (devices_.DeviceTypes.empty())
        loadFailed_ = true;
}

bool Configurator::ResolveDefsDir(const std::string& deviceName) {
    DefsResolution r = quorvel::ResolveDefsDir(deviceName, paths_.ProgramDir, paths_.SettingsFile,
                                               views_.Messages);
    defsPaths_ = r.Paths;
    defsDir_ = r.DefsDir;
    loadFailed_ = !r.Ok;
    return r.Ok;
}

} // namespace quorvel
