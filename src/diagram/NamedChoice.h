#pragma once
// Choosing a setting by name instead of by pixel: a configuration field name and the name or
// value of one of its settings, or a register bit-field as the diagram writes it and a value.
// The choice is the first line of that name with that value; choosing it has the effect of a
// left click at its first end point.

#include "diagram/Model.h"
#include "diagram/Selection.h"

#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

struct NamedLine {
    std::optional<LineRef> Line; // set when a line matches
    std::string Message;         // otherwise: what was asked and what the diagram offers
};

// Finds the line for `name` (ASCII case ignored) and `setting`. For a configuration field the
// setting is the name given in the device definition (case ignored) or the value; for a
// register bit-field it is the value. Values are decimal, or hexadecimal after "$" or "0x".
NamedLine FindNamedLine(const TModel& model, std::string_view name, std::string_view setting);

} // namespace quorvel
