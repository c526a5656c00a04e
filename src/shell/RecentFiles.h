#pragma once
// The configuration files opened or saved last, newest first, kept in a section of their own
// in the settings file ("[Recent]", keys File1 to File8). The section is ours: the keys of
// the "Defs" directories never mix with it.

#include <string>
#include <vector>

namespace quorvel {

class TSimpleIniFile;

inline constexpr const char* kRecentSection = "Recent";
inline constexpr std::size_t kRecentFileCount = 8;

// The list as the settings file holds it, empty keys skipped, at most kRecentFileCount.
std::vector<std::string> ReadRecentFiles(const TSimpleIniFile& ini);

// The list with `path` first: an equal entry further down moves up, the oldest entry beyond
// kRecentFileCount goes.
std::vector<std::string> WithRecentFile(std::vector<std::string> list, const std::string& path);

// Writes every key of the section (empty ones for unused places) into the settings text;
// the caller writes the file.
void WriteRecentFiles(TSimpleIniFile& ini, const std::vector<std::string>& list);

} // namespace quorvel
