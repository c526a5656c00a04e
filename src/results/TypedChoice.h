#pragma once
// Typed bit-fields on the configuration state: the input box of a TYPED line and the lines of
// its bit-field show one choice. Choosing a line of the field shows its number in the box;
// Enter in the box takes a legal number as the field's choice.

#include "diagram/Configuration.h"
#include "diagram/Selection.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quorvel {

// After a line was chosen: when it belongs to a typed bit-field, its box shows the line's
// typed number and the field is returned; other lines change nothing and give nullptr.
const TTypedField* ShowTypedNumber(Configuration& state, LineRef line, Changes& changes);

// Enter in value box `box`: when it is a typed box holding a legal number, the number becomes
// the field's choice: the first line with that field value is chosen as a click on it would
// be, or, when no line has it, the field's lines are unmarked and the register choice takes
// the number and its comment. Returns false, changing nothing, for any other box or number
// (the limits then report the number).
bool TakeTypedNumber(Configuration& state, int box, Changes& changes);

// The typed number whose field value is `value`, if the range holds one.
std::optional<std::int64_t> TypedNumberOfValue(const TTypedField& field, std::uint32_t value);

} // namespace quorvel
