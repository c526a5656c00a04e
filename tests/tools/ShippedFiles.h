#pragma once
// Minimal readers for the shipped sample data, written from the file formats so that the
// data tests do not depend on the program's own readers.

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::test {

std::string Shipped(const std::string& name);

struct DescLine {
    std::string kind; // "CONFIG", "REGISTER", "FOLLOW", "FOLLOW_NOT", "EXCL", "SHOWVAL",
                      // "SEQUENCE"
    std::vector<std::string> fields;
    std::string comment; // after "//", trimmed, without the slashes
    int lineNumber = 0;

    int Int(std::size_t i) const;
};

// Splits a description file into its non-empty lines: comment cut at the first "//",
// fields split at "," and trimmed, field 0 upper-cased, the kind decided as the program does.
std::vector<DescLine> ReadDescription(const std::string& path);

struct VlkSetting {
    std::string name; // from the opener line, <setting name="...">
    std::uint32_t mask = 0, value = 0;
    std::string description;
};
struct VlkField {
    std::string name, description;
    std::uint32_t mask = 0;
    std::vector<VlkSetting> settings;
};
struct VlkWord {
    std::string name;
    std::uint32_t address = 0;
    bool hasDefault = false; // <wdefault>: the erased value of the word
    std::uint32_t defaultValue = 0;
    std::vector<VlkField> fields;
};

// The configuration section of a definition file, read with the line-oriented tag rules of
// the program's reader. Throws std::runtime_error for a number it cannot convert.
std::vector<VlkWord> ReadDefinition(const std::string& path);

// The text between the tags of a value line, raw (before any cutting the reader does).
std::string TagText(const std::string& line);

} // namespace quorvel::test
