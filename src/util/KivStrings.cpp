#include "util/KivStrings.h"

#include <array>
#include <charconv>
#include <cstdlib>

namespace quorvel {

std::string_view Trim(std::string_view s) {
    std::size_t begin = 0;
    std::size_t end = s.size();
    while (begin < end && IsBlank(s[begin]))
        ++begin;
    while (end > begin && IsBlank(s[end - 1]))
        --end;
    return s.substr(begin, end - begin);
}

std::string TrimCopy(std::string_view s) {
    return std::string(Trim(s));
}

std::string UpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string LowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool EqualsIgnoreCaseAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 'a' + 'A');
        if (x != y)
            return false;
    }
    return true;
}

std::size_t PosFrom(std::string_view sub, std::string_view s, std::size_t start) {
    const std::size_t n = s.size();
    const std::size_t m = sub.size();
    if (m == 0 || n < m || n < start || start < 1)
        return 0;
    if (m == 1) {
        const std::size_t found = s.find(sub[0], start - 1);
        return found == std::string_view::npos ? 0 : found + 1;
    }
    // Skip table: each character's distance from its rightmost occurrence among the first
    // m-1 characters of `sub` to the end of `sub`.
    std::array<std::size_t, 256> shift;
    shift.fill(m);
    for (std::size_t i = m - 1; i >= 1; --i) {
        const auto c = static_cast<unsigned char>(sub[i - 1]);
        if (shift[c] == m)
            shift[c] = m - i;
    }
    std::size_t a = start;
    while (a <= n - m + 1) {
        std::size_t k = m;
        while (k > 0 && sub[k - 1] == s[a + k - 2])
            --k;
        if (k == 0)
            return a;
        a += shift[static_cast<unsigned char>(s[a + m - 2])];
    }
    return 0;
}

void SplitAtChar(std::string_view s, std::vector<std::string>& list, char sep) {
    list.clear();
    if (s.empty())
        return;
    std::size_t from = 0;
    for (;;) {
        const std::size_t p = s.find(sep, from);
        if (p == std::string_view::npos)
            break;
        list.emplace_back(s.substr(from, p - from));
        from = p + 1;
    }
    list.emplace_back(s.substr(from));
}

void SplitAtFirst(std::string_view s, std::string_view sub, std::string& left, std::string& right) {
    left.clear();
    right.clear();
    const std::size_t p = PosFrom(sub, s, 1);
    if (p == 0)
        return;
    left.assign(s.substr(0, p - 1));
    right.assign(s.substr(p - 1 + sub.size()));
}

namespace {

// General format with 15 significant digits, upper case, exponent without "+" or leading
// zeros: fixed for 1e-4 <= |x| < 1e15, otherwise mantissa and exponent.
std::string GeneralFormat15(double x) {
    std::array<char, 64> buf{};
    const auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), x, std::chars_format::general, 15);
    std::string text(buf.data(), res.ptr);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == 'e') {
            out += 'E';
            std::size_t j = i + 1;
            bool negative = false;
            if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
                negative = text[j] == '-';
                ++j;
            }
            while (j + 1 < text.size() && text[j] == '0')
                ++j;
            if (negative)
                out += '-';
            out.append(text, j, std::string::npos);
            break;
        }
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        out += c;
    }
    return out;
}

} // namespace

std::string FloatToPlainText(double x) {
    const std::string general = GeneralFormat15(x);
    const std::size_t ePos = general.find('E');
    if (ePos == std::string::npos)
        return general;
    const std::string mantissa = general.substr(0, ePos);
    const int e = std::atoi(general.c_str() + ePos + 1);
    if (e == 0)
        return mantissa;
    // Built by appending: g++ 12 warns falsely about overlapping copies in chains of "+".
    std::string plain;
    std::string digits;
    for (std::size_t i = 0; i < mantissa.size(); ++i) {
        if (i == 0 && mantissa[i] == '-')
            plain.push_back('-');
        else if (mantissa[i] != '.')
            digits += mantissa[i];
    }
    if (e < 0) {
        plain.append("0.");
        plain.append(static_cast<std::size_t>(-e - 1), '0');
        plain.append(digits);
        return plain;
    }
    const long zeros = static_cast<long>(e) - static_cast<long>(digits.size()) + 1;
    plain.append(digits);
    plain.append(zeros > 0 ? static_cast<std::size_t>(zeros) : 0, '0');
    return plain;
}

bool IsNumber(std::string_view text) {
    const std::string_view t = Trim(text);
    if (t.empty())
        return false;
    const char first = t[0];
    if (first != '+' && first != '-' && !(first >= '0' && first <= '9'))
        return false;
    for (std::size_t i = 1; i < t.size(); ++i)
        if (!((t[i] >= '0' && t[i] <= '9') || t[i] == '.'))
            return false;
    return true;
}

std::string DigitsOnly(std::string_view text) {
    std::string out;
    for (const char c : text)
        if ((c >= '0' && c <= '9') || c == '.')
            out += c;
    return out;
}

} // namespace quorvel
