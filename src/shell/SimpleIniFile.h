#pragma once
// A settings file in the Windows profile format: "[section]" lines, then "key=value" lines.
// Section and key names match without regard to case; the first matching section and the
// first matching key win; values are kept verbatim apart from the blanks around them
// (backslashes untouched). Writes go to a temporary file in the same directory that is then
// renamed over the old file, so a failed write never leaves a half-written file behind.

#include <cstddef>
#include <string>
#include <string_view>

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
    // Keeps text as the file's lines, each ended by LF: CRs dropped, a last line ended.
    void SetText(std::string_view text);
    // Start of the first "[section]" line, or npos.
    std::size_t FindSection(const std::string& section) const;
    // Start of the first line of `key` inside the section whose line starts at `sectionLine`,
    // or npos.
    std::size_t FindKey(std::size_t sectionLine, const std::string& key) const;

    std::string fileName_;
    // The whole file as one text rather than a list of lines: a file of millions of short
    // lines then takes no more memory than its bytes. Settings files are searched a few
    // times per device load, so a search through the text costs nothing noticeable.
    std::string text_;
    bool modified_ = false;
};

} // namespace quorvel
