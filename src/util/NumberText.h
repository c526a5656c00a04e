#pragma once
// Locale-independent conversions between numbers and text. The decimal point is always ".",
// whatever the user's locale: nothing here calls strtod, printf or streams.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// Reads a real number: optional blanks, optional sign, digits with an optional "." (at least
// one digit, "5." and ".5" both accepted), an optional exponent ("e" or "E", optional sign,
// digits), optional blanks. Returns nothing for any other text and for values beyond the
// range of a double.
std::optional<double> ParseFloat(std::string_view text);

// Reads an integer: optional leading blanks, optional sign, then decimal digits, or
// hexadecimal digits after "$", "x", "X", "0x" or "0X". Returns nothing for any other text
// and for values outside the 64-bit signed range.
std::optional<std::int64_t> ParseInteger(std::string_view text);

// The messages of failed conversions, worded as the program shows them.
std::string InvalidIntegerMessage(std::string_view text);
std::string InvalidFloatMessage(std::string_view text);
inline constexpr const char* kRangeCheckError = "Range check error";

// Converts or throws ConversionError with the messages above.
std::int64_t StrToInt64(std::string_view text);
// 32-bit signed range; outside it the text is reported as not a valid integer, except that
// hexadecimal digits up to $FFFFFFFF are a 32-bit pattern ($FFFFFFFF is -1).
std::int32_t StrToInt(std::string_view text);
double StrToFloat(std::string_view text);

// The value of a hexadecimal digit in either case, or -1 for any other character.
int HexDigit(char c);

// Decimal text of an unsigned or signed integer.
std::string IntToText(std::int64_t value);
std::string UIntToText(std::uint64_t value);

} // namespace quorvel
