#pragma once
// Text rules of the calculation: register references in formulas, variable names of
// register bit-fields, and the displayed form of a result.

#include <string>
#include <string_view>

namespace quorvel {

// Makes register references match the calculation's variable names: "OSCCON<14:12>"
// becomes "OSCCON_14_12_", "CLKDIV<3>" becomes "CLKDIV_3_"; a comparison such as "E1<E2"
// stays as it is, because what follows the "<" is no number.
std::string ConvertBitTags(std::string_view formula);

// The displayed form of a result: rounded to 3 decimals (and at most 10 significant digits),
// trailing zeros and a trailing point cut: 8 -> "8", 7.3728 -> "7.373", 120.5 -> "120.5".
// Values with more than ten integer digits keep all their integer digits (rounded to ten
// significant ones); values that are not finite show as "INF", "-INF" or "NAN".
std::string FormatResult(double value);

// The variable name of a register bit-field: "<", ">" and ":" become "_".
std::string RegisterVariableName(std::string_view name);

} // namespace quorvel
