#pragma once
// Stateless text functions shared by the readers, the calculation and the evaluator.
// Strings are 8-bit; positions count from 1 as in the data formats' descriptions.

#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// Characters with codes 0..32 count as blanks everywhere in the program.
constexpr bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

// Removes blanks (codes 0..32) at both ends.
std::string_view Trim(std::string_view s);
std::string TrimCopy(std::string_view s);

// ASCII-only case conversion (the data files are 8-bit text, other bytes stay as they are).
std::string UpperAscii(std::string_view s);
std::string LowerAscii(std::string_view s);
bool EqualsIgnoreCaseAscii(std::string_view a, std::string_view b);

// 1-based position of the first occurrence of `sub` in `s` at or after `start`, 0 if none
// (also when `sub` is empty, longer than `s`, or `start` lies beyond the end).
std::size_t PosFrom(std::string_view sub, std::string_view s, std::size_t start);

// Pieces of `s` between occurrences of `sep`; k separators give k+1 pieces, an empty `s`
// gives none. `list` is emptied first.
void SplitAtChar(std::string_view s, std::vector<std::string>& list, char sep);

// Splits at the first occurrence of `sub`; both parts are empty when it does not occur.
void SplitAtFirst(std::string_view s, std::string_view sub, std::string& left, std::string& right);

// Plain decimal notation of a value with 15 significant digits and never an exponent:
// 1.5E-5 becomes 0.000015, 1E20 becomes 1 followed by 20 zeros.
std::string FloatToPlainText(double x);

// After trimming: non-empty, first character "+", "-" or a digit, every further character a
// digit or ".". Separators are not counted, so "1.2.3" and a lone "-" pass.
bool IsNumber(std::string_view text);

// The characters "0".."9" and "." of `text`, in order.
std::string DigitsOnly(std::string_view text);

} // namespace quorvel
