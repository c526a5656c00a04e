#pragma once
// The language of the code window, remembered in the settings file as the key "Language" of
// its own section "Code": "pascal", "basic" or "c", or "auto" for the language of the
// compiler whose "Defs" slot supplied the definitions. A file without the key follows the
// slot; nothing is written until a language is chosen.

#include "results/CompilerCode.h"

#include <optional>
#include <string>

namespace quorvel {

inline constexpr const char* kCodeSection = "Code";
inline constexpr const char* kCodeLanguageKey = "Language";
inline constexpr const char* kCodeLanguageAuto = "auto";

class TSimpleIniFile;

// The language stored in the settings file; nothing for "auto", a missing key or any other
// text.
std::optional<CodeLanguage> ReadCodeLanguage(const std::string& settingsFile);
// The same, from a settings file already read.
std::optional<CodeLanguage> StoredCodeLanguage(const TSimpleIniFile& settings);

// Stores the language (nothing: "auto"). Returns false and fills `error` when the file cannot
// be written; it is then unchanged.
bool WriteCodeLanguage(const std::string& settingsFile, std::optional<CodeLanguage> language,
                       std::string& error);

} // namespace quorvel
