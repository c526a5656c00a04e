#pragma once
// A settings file in the Windows profile format: "[section]" lines, then "key=value" lines.
// Section and key names match without regard to case; the first matching section and the
// first matching key win; values are kept verbatim apart from the blanks around them
// (backslashes untouched). Writes go to a temporary file in the same directory that is then
// renamed over the old file, so a failed write never leaves a half-written file behind.

#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

class TSimpleIniFile {
public:
    // Opens (reads) the file; a missing or unreadable file reads as empty.
    explicit TSimpleIniFile(std::string fileName);

    // A settings file held only in memory, read from text (UpdateFile then fails).
    static TSimpleIniFile FromText(std::string_view text);

    const std::string& FileName() const { return fileName_; }

    bool ValueExists(const std::string& section, const std::string& key) const;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    // Changes the value in memory; UpdateFile writes pending changes to disk.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);

    // Writes pending changes. Returns false and fills `error` when the file cannot be
    // written; the file on disk is then unchanged.
    bool UpdateFile(std::string& error);
    bool Modified() const { return modified_; }

private:
    TSimpleIniFile() = default;
    // Index of the first "[section]" line, or -1.
    int FindSection(const std::string& section) const;
    // Index of the first line of `key` inside the section starting at `sectionLine`, or -1.
    int FindKey(int sectionLine, const std::string& key) const;

    std::string fileName_;
    std::vector<std::string> lines_;
    bool modified_ = false;
};

} // namespace quorvel
