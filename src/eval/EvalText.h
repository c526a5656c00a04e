#pragma once
// Text scanning of the evaluator. The text-rewriting evaluation and the compiler of the cached
// form both take every structural decision (groups, calls, operators) through these
// functions, so the two cannot disagree about the shape of a formula. Positions are 0-based.

#include "eval/EvalFunctionTable.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace quorvel::evaltext {

inline constexpr std::size_t kNone = std::string_view::npos;

// Character classes of the scans, looked up in one table (the scans run over every character
// of every nesting level, so they must be cheap).
enum CharClass : unsigned char {
    kOtherChar = 0,
    kOperatorChar = 1, // the eleven single-character operators % & * + - / < = > ^ |
    kScanBlank = 2,    // space and tab: the only blanks that keep a sign unary
    kLetterChar = 4,   // ASCII letters
};

struct CharClassTable {
    std::array<unsigned char, 256> of{};
    constexpr CharClassTable() {
        for (const char c : std::string_view("%&*+-/<=>^|"))
            of[static_cast<unsigned char>(c)] = kOperatorChar;
        of[static_cast<unsigned char>(' ')] = kScanBlank;
        of[static_cast<unsigned char>('\t')] = kScanBlank;
        for (int c = 'a'; c <= 'z'; ++c) {
            of[static_cast<std::size_t>(c)] = kLetterChar;
            of[static_cast<std::size_t>(c - 'a' + 'A')] = kLetterChar;
        }
    }
};
inline constexpr CharClassTable kCharClass;

constexpr unsigned char ClassOf(char c) {
    return kCharClass.of[static_cast<unsigned char>(c)];
}

constexpr bool IsOperatorChar(char c) {
    return ClassOf(c) == kOperatorChar;
}

constexpr bool IsScanBlank(char c) {
    return ClassOf(c) == kScanBlank;
}

// A function name is a call only after one of these (or at the start of the text)...
constexpr bool CanPrecedeCall(char c) {
    return IsScanBlank(c) || c == ',' || IsOperatorChar(c);
}

// ...and only before one of these (or at the end of the text).
constexpr bool CanFollowCall(char c) {
    return IsScanBlank(c) || c == '(';
}

// The names of the function table (EvalFunctionTable.h), in its order.
inline constexpr int kFunctionCount = evalmath::kFunctionCount;
inline constexpr std::array<std::string_view, kFunctionCount> kFunctionNames = [] {
    std::array<std::string_view, kFunctionCount> names{};
    for (std::size_t i = 0; i < names.size(); ++i)
        names[i] = evalmath::kBuiltins[i].Name;
    return names;
}();

// Index of a function name (lower case) in kFunctionNames, -1 if there is none.
int FunctionIndex(std::string_view lowerName);

struct Group {
    std::size_t open = kNone;  // the first "(" at or after the start position
    std::size_t close = kNone; // its matching ")", kNone when there is none
    bool Found() const { return close != kNone; }
};

// The first "(" at or after `from` and its matching ")".
Group FindGroupFrom(std::string_view text, std::size_t from);

// Removes parentheses that enclose the whole text, trimming the inside each time, for as long
// as the first "(" opens at the start and closes at the end. Linear in the length of the text.
std::string_view StripOuterParens(std::string_view text);

struct CallSite {
    int function = -1;     // index in kFunctionNames, -1 when no name stands as a call
    std::size_t start = 0; // first character of the name
    std::size_t end = 0;   // the character after the name
};

// The call handled next: among the names that stand as a call, the first name in table order,
// at its leftmost place. Letters are compared ignoring ASCII case. No function name contains
// a proper prefix that is also its suffix, so occurrences never overlap and checking every
// place is the same as searching on after each rejected occurrence.
CallSite FindCallSite(std::string_view text);

// The operator scan of a working text. Calls onOperator(pos) for every operator that separates
// operands, and onOther(pos, afterOperator) for every character that is neither an operator
// nor a blank, before it clears the after-operator state. `afterOperator` is the state at the
// start (true when an operator stands just before the text). Returns the position of an
// operator that may not follow another one, or kNone.
template <class OnOperator, class OnOther>
std::size_t ScanOperators(std::string_view text, bool afterOperator, OnOperator&& onOperator,
                          OnOther&& onOther) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const unsigned char cls = ClassOf(c);
        if (cls == kOperatorChar) {
            if (!afterOperator) {
                onOperator(i);
                afterOperator = true;
            } else if (c != '+' && c != '-') {
                return i;
            }
        } else if (cls != kScanBlank) {
            onOther(i, afterOperator);
            afterOperator = false;
        }
    }
    return kNone;
}

// Whether the text nests deeper than `limit`: parentheses open at once, or signs in a row
// (blanks between them do not count). These are what the evaluation recurses on, so a text
// within both limits cannot exhaust the stack, and one beyond them is refused in one pass.
bool NestsDeeperThan(std::string_view text, int limit);

// Whether a trimmed name is a proper variable name: an ASCII letter or "_", then ASCII
// letters, digits or "_".
bool IsProperName(std::string_view name);

} // namespace quorvel::evaltext
