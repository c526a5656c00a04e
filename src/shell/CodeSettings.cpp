#include "shell/CodeSettings.h"

#include "shell/SimpleIniFile.h"

namespace quorvel {

std::optional<CodeLanguage> ReadCodeLanguage(const std::string& settingsFile) {
    return StoredCodeLanguage(TSimpleIniFile(settingsFile));
}

std::optional<CodeLanguage> StoredCodeLanguage(const TSimpleIniFile& settings) {
    return CodeLanguageFromName(
        settings.ReadString(kCodeSection, kCodeLanguageKey, kCodeLanguageAuto));
}

bool WriteCodeLanguage(const std::string& settingsFile, std::optional<CodeLanguage> language,
                       std::string& error) {
    TSimpleIniFile ini(settingsFile);
    ini.WriteString(kCodeSection, kCodeLanguageKey,
                    language ? CodeLanguageName(*language) : kCodeLanguageAuto);
    return ini.UpdateFile(error);
}

} // namespace quorvel
