#pragma once
// The initialisation code: one line per chosen register bit-field, clearing the field's
// bits and OR-ing in the chosen value:
//     REG := (REG and (not MASK)) or VALUE; COMMENT

#include "diagram/Model.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel {

// What writing one chosen bit-field does: the register, the field's bits and the value in
// place (bits beyond bit 31 lost). Throws as InitCodeLine.
struct FieldWrite {
    std::string Register;
    std::uint32_t Mask = 0;
    std::uint32_t Value = 0;
};
FieldWrite ParseFieldWrite(const std::string& name, std::uint32_t value);

// The line for one bit-field name such as "OSCCON<14:12>" or "CLKDIV<3>". Throws
// ConversionError when the bit range is not a number or lies outside 0..65535.
std::string InitCodeLine(const std::string& name, std::uint32_t value, const std::string& comment);

// Appends the line of every chosen entry, in table order, to `lines`. On an error the lines
// appended before it stay and the error propagates.
void GenerateInitCode(const std::vector<TRegVal>& regVals, std::vector<std::string>& lines);

} // namespace quorvel
