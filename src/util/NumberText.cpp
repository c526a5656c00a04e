#include "util/NumberText.h"

#include "util/Errors.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace quorvel {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether a well-formed unsigned decimal text ("digits[.digits][e[-]digits]") has a value
// below 1, judged from the place of its first significant digit; the exponent saturates, so
// any length of text is handled.
bool BelowOne(std::string_view body) {
    const std::size_t ePos = body.find_first_of("eE");
    const std::string_view mantissa = body.substr(0, ePos);
    const std::size_t point = mantissa.find('.');
    const std::size_t intDigits = point == std::string_view::npos ? mantissa.size() : point;
    long long place = 0; // decimal exponent of the first significant digit
    bool found = false;
    for (std::size_t i = 0; i < mantissa.size() && !found; ++i) {
        if (mantissa[i] >= '1' && mantissa[i] <= '9') {
            found = true;
            place = i < intDigits ? static_cast<long long>(intDigits - i - 1)
                                  : -static_cast<long long>(i - intDigits);
        }
    }
    if (!found)
        return true;
    constexpr long long kCap = 1000000000;
    if (place > kCap)
        place = kCap;
    if (place < -kCap)
        place = -kCap;
    if (ePos != std::string_view::npos) {
        std::size_t i = ePos + 1;
        const bool minus = i < body.size() && body[i] == '-';
        if (i < body.size() && (body[i] == '-' || body[i] == '+'))
            ++i;
        long long exponent = 0;
        for (; i < body.size(); ++i)
            exponent = std::min(kCap, exponent * 10 + (body[i] - '0'));
        place += minus ? -exponent : exponent;
    }
    return place < 0;
}

} // namespace

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

namespace {

// The value of a text of 1 to `maxDigits` decimal digits and nothing else, or false. Data
// files are full of such numbers; they need neither the checks nor the conversions of the
// general readings, which give the same value for them.
bool PlainDigits(std::string_view text, std::size_t maxDigits, std::uint64_t& value) {
    if (text.empty() || text.size() > maxDigits)
        return false;
    std::uint64_t v = 0;
    for (const char c : text) {
        if (!IsDigit(c))
            return false;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    value = v;
    return true;
}

// Up to 15 digits are below 2^53, so their double is exact; up to 18 fit an int64.
constexpr std::size_t kExactDoubleDigits = 15;
constexpr std::size_t kInt64Digits = 18;

} // namespace

std::optional<double> ParseFloat(std::string_view text) {
    if (std::uint64_t plain = 0; PlainDigits(text, kExactDoubleDigits, plain))
        return static_cast<double>(plain);
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    std::size_t end = n;
    while (end > i && text[end - 1] == ' ')
        --end;
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Validate the shape ourselves; from_chars then only sees digits, "." and an exponent.
    const std::size_t bodyStart = i;
    std::size_t digits = 0;
    while (i < end && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < end && text[i] == '.') {
        ++i;
        while (i < end && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-'))
            ++i;
        std::size_t expDigits = 0;
        while (i < end && IsDigit(text[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != end)
        return std::nullopt;
    std::string body(text.substr(bodyStart, end - bodyStart));
    // from_chars accepts neither "+" on the exponent nor a missing integer part in all
    // library versions; normalise both.
    if (body[0] == '.')
        body.insert(body.begin(), '0');
    const std::size_t ePos = body.find_first_of("eE");
    if (ePos != std::string::npos && ePos + 1 < body.size() && body[ePos + 1] == '+')
        body.erase(ePos + 1, 1);
    double value = 0.0;
    const auto res =
        std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // Underflow gives a tiny number, which is still a value; overflow is not. Which one
        // it was follows from the magnitude, whether or not an exponent is written.
        if (BelowOne(body))
            return negative ? -0.0 : 0.0;
        return std::nullopt;
    }
    if (res.ec != std::errc() || res.ptr != body.data() + body.size() || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

namespace {

// True when the digits of an integer text follow a hexadecimal prefix.
bool IsHexadecimal(std::string_view text) {
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string_view::npos)
        return false;
    if (text[i] == '+' || text[i] == '-')
        ++i;
    const std::string_view rest = text.substr(i);
    return rest.starts_with('$') || rest.starts_with('x') || rest.starts_with('X') ||
           rest.starts_with("0x") || rest.starts_with("0X");
}

} // namespace

std::optional<std::int64_t> ParseInteger(std::string_view text) {
    if (std::uint64_t plain = 0; PlainDigits(text, kInt64Digits, plain))
        return static_cast<std::int64_t>(plain);
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < n && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i < n && (text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == n)
        return std::nullopt;
    // Accumulate as a magnitude so that the most negative value is representable.
    const std::uint64_t limit =
        negative ? std::uint64_t{1} << 63 : std::uint64_t{std::numeric_limits<std::int64_t>::max()};
    std::uint64_t magnitude = 0;
    for (; i < n; ++i) {
        const int d = base == 16 ? HexDigit(text[i]) : (IsDigit(text[i]) ? text[i] - '0' : -1);
        if (d < 0)
            return std::nullopt;
        // Overflow checks without a division per digit: data files are full of numbers.
        std::uint64_t next = 0;
        if (__builtin_mul_overflow(magnitude, static_cast<std::uint64_t>(base), &next) ||
            __builtin_add_overflow(next, static_cast<std::uint64_t>(d), &next) || next > limit)
            return std::nullopt;
        magnitude = next;
    }
    if (negative)
        return magnitude == (std::uint64_t{1} << 63) ? std::numeric_limits<std::int64_t>::min()
                                                     : -static_cast<std::int64_t>(magnitude);
    return static_cast<std::int64_t>(magnitude);
}

namespace {

// "'TEXT'" followed by the rest of a conversion message. Built by appending: g++ 12 warns
// falsely about overlapping copies in the equivalent chain of "+" at high optimisation.
std::string QuotedMessage(std::string_view text, std::string_view rest) {
    std::string message;
    message.reserve(text.size() + rest.size() + 2);
    message.push_back('\'');
    message.append(text);
    message.push_back('\'');
    message.append(rest);
    return message;
}

} // namespace

std::string InvalidIntegerMessage(std::string_view text) {
    return QuotedMessage(text, " is not a valid integer value");
}

std::string InvalidFloatMessage(std::string_view text) {
    return QuotedMessage(text, " is not a valid floating point value");
}

std::int64_t StrToInt64(std::string_view text) {
    const auto value = ParseInteger(text);
    if (!value)
        throw ConversionError(InvalidIntegerMessage(text));
    return *value;
}

std::int32_t StrToInt(std::string_view text) {
    // Most numbers of the description files: a few plain digits, read here directly.
    if (std::uint64_t plain = 0; PlainDigits(text, 9, plain))
        return static_cast<std::int32_t>(plain);
    if (std::uint64_t plain = 0;
        text.size() > 1 && text[0] == '-' && PlainDigits(text.substr(1), 9, plain))
        return -static_cast<std::int32_t>(plain); // "-1", the line without a group
    const std::int64_t value = StrToInt64(text);
    if (value >= std::numeric_limits<std::int32_t>::min() &&
        value <= std::numeric_limits<std::int32_t>::max())
        return static_cast<std::int32_t>(value);
    // Hexadecimal digits write a 32-bit pattern: $80000000..$FFFFFFFF are the negative
    // numbers ($FFFFFFFF is -1), with a sign applied to the pattern's value.
    const std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    if (IsHexadecimal(text) && magnitude <= 0xFFFFFFFFu) {
        const auto pattern = static_cast<std::uint32_t>(magnitude);
        return static_cast<std::int32_t>(value < 0 ? 0u - pattern : pattern);
    }
    throw ConversionError(InvalidIntegerMessage(text));
}

double StrToFloat(std::string_view text) {
    const auto value = ParseFloat(text);
    if (!value)
        throw ConversionError(InvalidFloatMessage(text));
    return *value;
}

std::string IntToText(std::int64_t value) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

std::string UIntToText(std::uint64_t value) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

} // namespace quorvel
