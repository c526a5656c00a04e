#include "shell/DefsDirectory.h"

#include "shell/KivDirectories.h"
#include "shell/SimpleIniFile.h"
#include "util/TextFile.h"

namespace quorvel {

DefsPaths DefaultDefsPaths(const std::string& programDir) {
    DefsPaths paths;
    paths.fill(JoinPath(programDir, "Defs"));
    return paths;
}

std::string DirectoryMissingMessage(const std::string& path) {
    return "Directory \"" + path + "\" does not exist,\r\nPlease edit the \"" +
           std::string(kSettingsFileName) + "\" file to correct it.";
}

DefsResolution ResolveDefsDir(const std::string& deviceName, const std::string& programDir,
                              const std::string& settingsFile, MessageView& messages) {
    DefsResolution result;
    SetCurrentDirectory(programDir);
    const DefsPaths defaults = DefaultDefsPaths(programDir);
    {
        TSimpleIniFile ini(settingsFile);
        for (std::size_t slot = 0; slot < kDefsSlots.size(); ++slot)
            if (!ini.ValueExists(kDefsSlots[slot].Section, kDefsSlots[slot].Key))
                ini.WriteString(kDefsSlots[slot].Section, kDefsSlots[slot].Key, defaults[slot]);
        std::string error;
        if (!ini.UpdateFile(error))
            messages.ShowMessage("The settings file \"" + settingsFile +
                                 "\" could not be written: " + error);
    }
    {
        const TSimpleIniFile ini(settingsFile);
        for (std::size_t slot = 0; slot < kDefsSlots.size(); ++slot)
            result.Paths[slot] = ini.ReadString(kDefsSlots[slot].Section, kDefsSlots[slot].Key, "");
    }
    const std::string fileName = deviceName + ".vlk";
    bool found = false;
    for (const std::string& path : result.Paths) {
        if (FileExists(path + "/" + fileName)) {
            result.DefsDir = path;
            found = true;
            break;
        }
    }
    if (!found) {
        messages.ShowMessage(kDefsNotFoundMessage);
        return result;
    }
    if (!SetCurrentDirectory(result.DefsDir)) {
        messages.ShowMessage(DirectoryMissingMessage(result.DefsDir));
        return result;
    }
    result.Ok = true;
    return result;
}

} // namespace quorvel
