#pragma once
// The nine candidate "Defs" directories of the settings file, and the choice of the one
// that holds a device's definition file.

#include "results/CompilerCode.h"
#include "util/Views.h"

#include <array>
#include <optional>
#include <string>

namespace quorvel {

inline constexpr const char* kSettingsFileName = "Quorvel_Configuration.ini";
inline constexpr const char* kDefsNotFoundMessage = "Defs directory not found";

struct DefsSlot {
    const char* Section;
    const char* Key;
};

// Slot order: compiler x 3 + family (Pascal, Basic, C; PIC, dsPIC, PIC32).
inline constexpr std::array<DefsSlot, 9> kDefsSlots{{{"PIC", "vP"},
                                                     {"dsPIC", "vP"},
                                                     {"PIC32", "vP"},
                                                     {"PIC", "vB"},
                                                     {"dsPIC", "vB"},
                                                     {"PIC32", "vB"},
                                                     {"PIC", "vC"},
                                                     {"dsPIC", "vC"},
                                                     {"PIC32", "vC"}}};

using DefsPaths = std::array<std::string, 9>;

// On this platform every slot defaults to the sample definitions shipped beside the program.
DefsPaths DefaultDefsPaths(const std::string& programDir);

// "Directory "PATH" does not exist,<CR><LF>Please edit the ... file to correct it."
std::string DirectoryMissingMessage(const std::string& path);

// The details shown with "Defs directory not found": the settings file and the nine
// directories searched for fileName, one line each.
std::string DefsSearchDetails(const std::string& fileName, const std::string& settingsFile,
                              const DefsPaths& paths);

struct DefsResolution {
    bool Ok = false;
    std::string DefsDir;
    std::size_t Slot = 0; // the slot whose directory holds the file, once found
    DefsPaths Paths;
    // The code language the settings file stores, read with the paths (see CodeSettings.h).
    std::optional<CodeLanguage> StoredLanguage;
};

// Completes the settings file with the defaults of missing keys, reads the nine paths and
// makes the first directory holding deviceName + ".vlk" current. Failures are shown through
// messages; the program directory is current when the search starts.
DefsResolution ResolveDefsDir(const std::string& deviceName, const std::string& programDir,
                              const std::string& settingsFile, MessageView& messages);

} // namespace quorvel
