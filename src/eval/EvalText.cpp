#include "eval/EvalText.h"

#include "util/KivStrings.h"

#include <vector>

namespace quorvel::evaltext {

namespace {

constexpr char LowerAsciiChar(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// For each lower-case letter, the table indices of the names beginning with it, in table order.
struct NamesByLetter {
    std::array<std::array<signed char, kFunctionCount>, 26> index{};
    std::array<int, 26> count{};
    constexpr NamesByLetter() {
        for (int f = 0; f < kFunctionCount; ++f) {
            const int letter = kFunctionNames[static_cast<std::size_t>(f)][0] - 'a';
            index[static_cast<std::size_t>(letter)]
                 [static_cast<std::size_t>(count[static_cast<std::size_t>(letter)]++)] =
                     static_cast<signed char>(f);
        }
    }
};
constexpr NamesByLetter kNamesByLetter;

bool MatchesAt(std::string_view text, std::size_t pos, std::string_view lowerName) {
    if (text.size() - pos < lowerName.size())
        return false;
    for (std::size_t k = 0; k < lowerName.size(); ++k)
        if (LowerAsciiChar(text[pos + k]) != lowerName[k])
            return false;
    return true;
}

} // namespace

int FunctionIndex(std::string_view lowerName) {
    for (int f = 0; f < kFunctionCount; ++f)
        if (kFunctionNames[static_cast<std::size_t>(f)] == lowerName)
            return f;
    return -1;
}

Group FindGroupFrom(std::string_view text, std::size_t from) {
    Group g;
    if (from >= text.size())
        return g;
    g.open = text.find('(', from);
    if (g.open == kNone)
        return g;
    std::size_t depth = 1;
    for (std::size_t i = g.open + 1; i < text.size(); ++i) {
        if (text[i] == '(') {
            ++depth;
        } else if (text[i] == ')' && --depth == 0) {
            g.close = i;
            break;
        }
    }
    return g;
}

std::string_view StripOuterParens(std::string_view text) {
    if (text.size() < 2 || text.front() != '(' || text.back() != ')')
        return text;
    // Match every "(" once; a stripped text is always a piece of the original, and the match
    // of a "(" looks only forward, so the matches stay valid for every piece.
    std::vector<std::size_t> match(text.size(), kNone);
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '(') {
            open.push_back(i);
        } else if (text[i] == ')' && !open.empty()) {
            match[open.back()] = i;
            open.pop_back();
        }
    }
    std::size_t lo = 0;
    std::size_t hi = text.size(); // the piece is [lo, hi)
    while (hi - lo >= 2 && text[lo] == '(' && match[lo] == hi - 1) {
        ++lo;
        --hi;
        while (lo < hi && IsBlank(text[lo]))
            ++lo;
        while (hi > lo && IsBlank(text[hi - 1]))
            --hi;
    }
    return text.substr(lo, hi - lo);
}

CallSite FindCallSite(std::string_view text) {
    CallSite best;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (ClassOf(text[i]) != kLetterChar || (i > 0 && !CanPrecedeCall(text[i - 1])))
            continue;
        const char c = LowerAsciiChar(text[i]);
        const auto letter = static_cast<std::size_t>(c - 'a');
        for (int k = 0; k < kNamesByLetter.count[letter]; ++k) {
            const int f = kNamesByLetter.index[letter][static_cast<std::size_t>(k)];
            if (best.function >= 0 && f >= best.function)
                break; // names are listed in table order: nothing better follows
            const std::string_view name = kFunctionNames[static_cast<std::size_t>(f)];
            if (!MatchesAt(text, i, name))
                continue;
            const std::size_t end = i + name.size();
            if (end == text.size() || CanFollowCall(text[end])) {
                best = CallSite{f, i, end};
                break;
            }
        }
        if (best.function == 0)
            break; // the first name of the table at its leftmost place
    }
    return best;
}

bool NestsDeeperThan(std::string_view text, int limit) {
    int parens = 0;
    int signs = 0;
    for (const char c : text) {
        if (c == '(') {
            if (++parens > limit)
                return true;
        } else if (c == ')') {
            if (parens > 0)
                --parens;
        }
        if (c == '+' || c == '-') {
            if (++signs > limit)
                return true;
        } else if (!IsScanBlank(c)) {
            signs = 0;
        }
    }
    return false;
}

bool IsProperName(std::string_view name) {
    if (name.empty())
        return false;
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (!letter(name[0]) && name[0] != '_')
        return false;
    for (const char c : name.substr(1))
        if (!letter(c) && !(c >= '0' && c <= '9') && c != '_')
            return false;
    return true;
}

} // namespace quorvel::evaltext
