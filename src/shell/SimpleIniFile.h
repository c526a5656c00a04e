#pragma once
// A settings file in the Windows profile format: "[section]" lines, then "key=value" lines.
// Section and key names match without regard to case; the first matching section and the
// first matching key win; values are kept verbatim apart from the blanks around them
// (backslashes untouched). A UTF-8 byte-order mark at the start of the file is skipped when
// reading its first line.
//
// Writes keep every byte of the file except the lines they add or replace (line ends, the
// byte-order mark, comments and order stay). They re-read the file under a lock, replay the
// changes on what is there now, and write the result to a temporary file of a unique name,
// created exclusively in the directory of the file (of a symbolic link's target), with the
// old file's mode and owner, that is then renamed over it. A failed write never leaves a
// half-written file, and concurrent instances never lose each other's keys.

#include <cstddef>
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
    // Adds the key with the value when it does not exist; an existing key keeps its value,
    // also when another instance adds it before UpdateFile writes.
    void WriteDefault(const std::string& section, const std::string& key, const std::string& value);

    // Writes pending changes. Returns false and fills `error` when the file cannot be
    // written (a read-only file or one that is not a regular file included); the file on
    // disk is then unchanged. Nothing is written when the file already holds the changes.
    bool UpdateFile(std::string& error);
    bool Modified() const { return !pending_.empty(); }

    // The text as it would be written.
    const std::string& Text() const { return text_; }

private:
    struct Change {
        std::string Section, Key, Value;
        bool Replace = true; // false: only when the key is missing
    };

    TSimpleIniFile() = default;
    void SetText(std::string_view text) {
        text_.assign(text);
        Changed();
    }
    // Forgets what was found in the text, which has changed.
    void Changed() { found_.clear(); }
    void Apply(const Change& change);
    void ApplyToText(const Change& change); // Apply without forgetting what was found
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
    std::vector<Change> pending_;
    // The sections FindSection found, while the text stays as it is: a device load looks up
    // the same three sections in turn, nine times each.
    struct FoundSection {
        std::string Name;
        std::size_t Line;
    };
    mutable std::vector<FoundSection> found_;
};

} // namespace quorvel
