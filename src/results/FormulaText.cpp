#include "results/FormulaText.h"

#include "util/KivStrings.h"
#include "util/NumberText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <deque>

namespace quorvel {

namespace {

// Characters that may stand between "<" and ">" of a bit range that passes the number test.
bool MayBeInBitRange(char c) {
    return IsBlank(c) || (c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-' || c == ':';
}

std::string ToChars(double value, std::chars_format format, int precision) {
    std::array<char, 400> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value, format, precision);
    return std::string(buf.data(), res.ptr);
}

// Fixed notation with 3 decimals after rounding to at most 10 significant digits.
std::string FixedThreeDecimals(double value) {
    const std::string sci = ToChars(value, std::chars_format::scientific, 9);
    const int exponent = std::atoi(sci.c_str() + sci.find('e') + 1);
    if (exponent < 7)
        return ToChars(value, std::chars_format::fixed, 3);
    // Seven or more integer digits leave fewer than three decimals for ten significant ones;
    // more than ten integer digits keep all of them, rounded to ten significant digits.
    const double rounded = *ParseFloat(sci);
    const int decimals = exponent >= 9 ? 0 : 9 - exponent;
    std::string text = ToChars(rounded, std::chars_format::fixed, decimals);
    if (decimals == 0)
        text += '.';
    text.append(static_cast<std::size_t>(3 - decimals), '0');
    return text;
}

} // namespace

std::string ConvertBitTags(std::string_view formula) {
    std::string text(formula);
    const std::size_t length = text.size();
    // Most formulas hold no bit range at all.
    if (length < 3 || text.find('<') == std::string::npos)
        return text;
    std::deque<std::size_t> closers; // positions of ">" not yet used, ascending
    for (std::size_t i = 0; i < length; ++i)
        if (text[i] == '>')
            closers.push_back(i);
    for (std::size_t p = 0; p + 2 < length; ++p) {
        if (text[p] != '<')
            continue;
        while (!closers.empty() && closers.front() < p)
            closers.pop_front();
        if (closers.empty())
            continue;
        const std::size_t q = closers.front();
        // Cheap pre-check keeps the scan linear: any other character fails the number test.
        std::size_t k = p + 1;
        while (k < q && MayBeInBitRange(text[k]))
            ++k;
        if (k < q)
            continue;
        std::string inner = text.substr(p + 1, q - p - 1);
        const std::size_t colon = inner.find(':');
        if (colon != std::string::npos)
            inner.erase(colon, 1);
        if (!IsNumber(inner))
            continue;
        text[p] = '_';
        text[q] = '_';
        if (colon != std::string::npos)
            text[p + 1 + colon] = '_';
        closers.pop_front();
    }
    return text;
}

std::string FormatResult(double value) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    std::string text = FixedThreeDecimals(value);
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    if (text == "-0")
        text = "0";
    return text;
}

std::string RegisterVariableName(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        if (c == '<' || c == '>' || c == ':')
            c = '_';
    return out;
}

} // namespace quorvel
