#pragma once
// Parser of a diagram description file: the clickable configuration and register lines, the
// FOLLOW / FOLLOW_NOT connectors, the EXCL groups and the SHOWVAL value boxes of a diagram,
// and the write sequences (SEQUENCE lines) that registers need around their writes.

#include "diagram/Model.h"
#include "util/Views.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

inline constexpr const char* kFileNotFoundMessage = "File not found";
inline constexpr const char* kInputBoxText = "4 Mhz";

// "Quorvel_" + diagramName + "_lines.txt"
std::string DescriptionFileName(const std::string& diagramName);

// The whole text of the description file at path; throws FileError("File not found") when it
// is not a readable regular file.
std::string ReadDescriptionFile(const std::string& path);

// Opens DescriptionFileName(diagramName) in the current directory; throws FileError("File not
// found") when it cannot (the line, rule and group tables are emptied before), else fills the
// model as ParseDiagramDescription does.
void LoadDiagramDescription(const std::string& diagramName, TModel& model, ValueBoxView& boxes);

// The parse on text already read: empties the diagram tables of the model (not ConfigWords),
// processes every line and lays out the value boxes through `boxes`. Throws ConversionError
// ("'%s' is not a valid integer value", "Range check error") or ListIndexError ("List index
// out of bounds (%d)") at the first bad line, leaving the lines before it in the tables.
void ParseDiagramDescription(std::string_view text, TModel& model, ValueBoxView& boxes);

// The steps the two functions above are made of, for tools that go on after a bad line.

// Empties ConfigLines, RegisterLines (with their marks), FollowRules, FollowNotRules,
// ExclGroups and WriteSequences.
void ClearDiagramLines(TModel& model);
// Empties the two name lists, CalcVals, RegVals, Formulas, Limits and TypedFields; no value
// box is in use after it.
void ClearDiagramNames(TModel& model);

// Calls visit(number, line) for every line of text, numbered from 1. Lines end with LF or
// CR LF; a CR not followed by LF is dropped.
void ForEachDescriptionLine(std::string_view text,
                            const std::function<void(std::size_t, std::string_view)>& visit);

// Processes one line into the model and lays out its value box. Throws as
// ParseDiagramDescription; a line that throws adds nothing to the model, except a SHOWVAL line
// beyond the 31 value boxes, whose formula is appended before its box is refused.
void ParseDescriptionLine(std::string_view line, TModel& model, ValueBoxView& boxes);

// The bit numbers of a register bit-field name, "REG<hi:lo>" or "REG<bit>" (then High equals
// Low): the text after the first "<" without its last character, split at its first ":".
// Nothing when a part is not an integer.
struct BitRange {
    std::int64_t High = 0;
    std::int64_t Low = 0;
};
std::optional<BitRange> RegisterBitRange(std::string_view name);

} // namespace quorvel
