#pragma once
// How the calculation reads the text of an input box, told back to the user. The reading
// itself is the calculation's: keep the digits and points, test them, convert them. A text
// that is not a plain number ("8", "7.3728", "4 Mhz") may read as something else ("8,5" as
// 85, "4 Mhz8" as 48), so the front ends show such a reading as a note.

#include <string>
#include <string_view>

namespace quorvel {

struct InputReading {
    // Digits with at most one ".", optionally followed by blanks and "Mhz" in any case
    // (blanks around the whole are allowed).
    bool Plain = true;
    // False when the conversion fails ("1.2.3"): the calculation then stops with its message.
    bool Readable = true;
    double Value = 1.0;
    // Empty for a plain number; otherwise "read as 85 Mhz", or for an unreadable text
    // "cannot be read: " and the conversion's message.
    std::string Note;
};

InputReading ReadInputText(std::string_view text);

// A number as short as it can be written and read back to the same value: 85, 0.5, 1e-07.
std::string ShortNumberText(double value);

} // namespace quorvel
