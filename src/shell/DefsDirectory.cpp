#include "shell/DefsDirectory.h"

#include "shell/CodeSettings.h"
#include "shell/KivDirectories.h"
#include "shell/SimpleIniFile.h"
#include "util/TextFile.h"

#include <optional>

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

std::string DefsSearchDetails(const std::string& fileName, const std::string& settingsFile,
                              const DefsPaths& paths) {
    std::string details = "settings file: " + settingsFile + "\n" + fileName +
                          " was looked for in these directories, in this order:";
    for (std::size_t slot = 0; slot < kDefsSlots.size(); ++slot)
        details += std::string("\n[") + kDefsSlots[slot].Section + "] " + kDefsSlots[slot].Key +
                   "=" + paths[slot];
    return details;
}

DefsResolution ResolveDefsDir(const std::string& deviceName, const std::string& programDir,
                              const std::string& settingsFile, MessageView& messages) {
    DefsResolution result;
    SetCurrentDirectory(programDir);
    const DefsPaths defaults = DefaultDefsPaths(programDir);
    {
        TSimpleIniFile ini(settingsFile);
        for (std::size_t slot = 0; slot < kDefsSlots.size(); ++slot)
            ini.WriteDefault(kDefsSlots[slot].Section, kDefsSlots[slot].Key, defaults[slot]);
        std::string error;
        // Once written (or found complete) the text in memory is the file's: the paths are
        // read from it. After a failed write it holds defaults the file lacks, so the paths
        // come from the file as it is.
        const bool written = ini.UpdateFile(error);
        if (!written)
            messages.ShowMessage("The settings file \"" + settingsFile +
                                 "\" could not be written: " + error);
        std::optional<TSimpleIniFile> reread;
        if (!written)
            reread.emplace(settingsFile);
        const TSimpleIniFile& settings = reread ? *reread : ini;
        for (std::size_t slot = 0; slot < kDefsSlots.size(); ++slot)
            result.Paths[slot] =
                settings.ReadString(kDefsSlots[slot].Section, kDefsSlots[slot].Key, "");
        result.StoredLanguage = StoredCodeLanguage(settings);
    }
    const std::string fileName = deviceName + ".vlk";
    bool found = false;
    for (std::size_t slot = 0; slot < result.Paths.size(); ++slot) {
        if (FileExists(result.Paths[slot] + "/" + fileName)) {
            result.DefsDir = result.Paths[slot];
            result.Slot = slot;
            found = true;
            break;
        }
    }
    if (!found) {
        messages.ShowMessageWithDetails(kDefsNotFoundMessage,
                                        DefsSearchDetails(fileName, settingsFile, result.Paths));
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
