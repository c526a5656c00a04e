#include "results/InputReading.h"

#include "util/Errors.h"
#include "util/KivStrings.h"
#include "util/NumberText.h"

#include <charconv>
#include <system_error>

namespace quorvel {

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsPlainNumber(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && IsBlank(text[i]))
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < n; ++i) {
        if (IsDigit(text[i])) {
            digits = true;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    // A lone point, or a point before the first digit, is read as 1 by the number test.
    if (!digits || text.find('.') < text.find_first_of("0123456789"))
        return false;
    while (i < n && IsBlank(text[i]))
        ++i;
    if (n - i >= 3 && Lower(text[i]) == 'm' && Lower(text[i + 1]) == 'h' &&
        Lower(text[i + 2]) == 'z')
        i += 3;
    while (i < n && IsBlank(text[i]))
        ++i;
    return i == n;
}

} // namespace

std::string ShortNumberText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (result.ec != std::errc())
        return "?";
    return std::string(buffer, result.ptr);
}

InputReading ReadInputText(std::string_view text) {
    InputReading reading;
    const std::string digits = DigitsOnly(text);
    if (IsNumber(digits)) {
        try {
            reading.Value = StrToFloat(digits);
        } catch (const ConversionError& e) {
            reading.Readable = false;
            reading.Plain = false;
            reading.Note = std::string("cannot be read: ") + e.what();
            return reading;
        }
    }
    reading.Plain = IsPlainNumber(text);
    if (!reading.Plain)
        reading.Note = "read as " + ShortNumberText(reading.Value) + " Mhz";
    return reading;
}

} // namespace quorvel
