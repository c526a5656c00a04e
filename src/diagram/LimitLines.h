#pragma once
// The description lines this program adds to the diagram format, which state the limits of a
// diagram and make a register bit-field typeable:
//
//   RANGE, BOX, MIN, MAX [, CONDITION]    // LABEL
//   CHECK, BOX, CONDITION                 // MESSAGE
//   TYPED, BOX, REGISTER<hi:lo>, MIN, MAX, MAPPING   // CODE COMMENT
//
// RANGE keeps the value of box BOX between MIN and MAX (either may be empty), where the
// optional CONDITION holds. CHECK requires CONDITION to hold; BOX names the box shown red when
// it does not. TYPED makes input box BOX set the bit-field: the typed whole number must lie in
// MIN..MAX, MAPPING (a formula of the box variable "E" + BOX) gives the value written into the
// code. Conditions and mappings are formulas; commas inside them survive as in SHOWVAL lines.

#include "diagram/Model.h"

#include <string>
#include <string_view>

namespace quorvel {

inline constexpr const char* kRangeKind = "RANGE";
inline constexpr const char* kCheckKind = "CHECK";
inline constexpr const char* kTypedKind = "TYPED";

// Whether an upper-cased field 0 starts one of the lines above.
bool IsLimitLineKind(std::string_view kind);

// Parses one such line: `line` is the trimmed text before the comment, `comment` the trimmed
// comment with its "//" (or empty). Appends to model.Limits or model.TypedFields. Throws
// ListIndexError for a missing field and ConversionError for a field that is not a number,
// a box outside 0..30, a minimum above the maximum, an empty condition or mapping, a RANGE
// without either bound and a TYPED name that is no register bit-field; nothing is added then.
void ParseLimitLine(std::string_view line, std::string_view comment, TModel& model);

// The text of a comment without its leading "//", trimmed.
std::string CommentText(std::string_view comment);

} // namespace quorvel
