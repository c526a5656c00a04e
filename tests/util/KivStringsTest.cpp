#include "util/KivStrings.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(PosFrom, FindsFromStartPosition) {
    EXPECT_EQ(PosFrom("ab", "xxab", 1), 3u);
    EXPECT_EQ(PosFrom("ab", "xxab", 3), 3u);
    EXPECT_EQ(PosFrom("ab", "xxab", 4), 0u);
    EXPECT_EQ(PosFrom("", "xxab", 1), 0u);
    EXPECT_EQ(PosFrom("abc", "ab", 1), 0u);
    EXPECT_EQ(PosFrom("b", "ab", 2), 2u) << "one-character sub at the last position";
    EXPECT_EQ(PosFrom("b", "ab", 3), 0u) << "start beyond the end";
}

TEST(PosFrom, SkipTableAgreesWithNaiveSearch) {
    // Repeated characters exercise the rightmost-occurrence rule of the skip table.
    const std::string text = "abababcabcabcababcabcababababcbcbcabcab";
    const std::string subs[] = {"abc", "bab", "cab", "ababc", "bcbc", "ab", "ca", "abcabcab"};
    for (const std::string& sub : subs) {
        for (std::size_t start = 1; start <= text.size() + 1; ++start) {
            const std::size_t naive = text.find(sub, start - 1);
            const std::size_t expected = naive == std::string::npos ? 0 : naive + 1;
            EXPECT_EQ(PosFrom(sub, text, start), expected) << sub << " from " << start;
        }
    }
}

TEST(SplitAtChar, KeepsEveryPiece) {
    std::vector<std::string> list{"stale"};
    SplitAtChar("a,,b,", list, ',');
    EXPECT_EQ(list, (std::vector<std::string>{"a", "", "b", ""}));
    SplitAtChar("", list, ',');
    EXPECT_TRUE(list.empty()) << "an empty text gives no piece";
    SplitAtChar(" whole ", list, ',');
    EXPECT_EQ(list, (std::vector<std::string>{" whole "}));
    SplitAtChar(",", list, ',');
    EXPECT_EQ(list, (std::vector<std::string>{"", ""}));
}

TEST(SplitAtFirst, SplitsAtFirstOccurrenceOnly) {
    std::string left = "x", right = "y";
    SplitAtFirst(" a = b = c ", "=", left, right);
    EXPECT_EQ(left, " a ");
    EXPECT_EQ(right, " b = c ");
    SplitAtFirst("no separator", "=", left, right);
    EXPECT_EQ(left, "");
    EXPECT_EQ(right, "") << "absent separator empties both parts";
    SplitAtFirst("a==b", "==", left, right);
    EXPECT_EQ(left, "a");
    EXPECT_EQ(right, "b");
}

struct PlainTextCase {
    double value;
    const char* text;
};

TEST(FloatToPlainText, RendersFifteenDigitsWithoutExponent) {
    const PlainTextCase cases[] = {
        {0.0, "0"},
        {4.0, "4"},
        {12.5, "12.5"},
        {-2.5, "-2.5"},
        {0.000015, "0.000015"},
        {-0.000015, "-0.000015"},
        {1e-6, "0.000001"},
        {0.0001, "0.0001"},
        {1e20, "100000000000000000000"},
        {-1.5e20, "-150000000000000000000"},
        {1.2345e17, "123450000000000000"},
        {1e15, "1000000000000000"},
        {999999999999999.0, "999999999999999"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {3.14159265358979311, "3.14159265358979"},
        {1.23456789012345678e-10, "0.000000000123456789012346"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToPlainText(c.value), c.text) << c.text;
}

TEST(FloatToPlainText, IgnoresTheUsersLocale) {
    // A German desktop must not turn the point into a comma.
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        std::setlocale(LC_ALL, "de_DE");
    EXPECT_EQ(FloatToPlainText(12.5), "12.5");
    EXPECT_EQ(FloatToPlainText(-0.000015), "-0.000015");
    EXPECT_TRUE(IsNumber("12.5"));
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(IsNumber, FollowsItsLooseRule) {
    EXPECT_TRUE(IsNumber("  42  "));
    EXPECT_TRUE(IsNumber("-"));
    EXPECT_TRUE(IsNumber("+"));
    EXPECT_TRUE(IsNumber("1.2.3"));
    EXPECT_TRUE(IsNumber("5."));
    EXPECT_TRUE(IsNumber("\t-2.5\n"));
    EXPECT_FALSE(IsNumber(".5"));
    EXPECT_FALSE(IsNumber("1e5"));
    EXPECT_FALSE(IsNumber(""));
    EXPECT_FALSE(IsNumber("   "));
    EXPECT_FALSE(IsNumber("4 Mhz"));
    EXPECT_FALSE(IsNumber("1 2"));
    EXPECT_FALSE(IsNumber("1,5"));
}

TEST(DigitsOnly, KeepsDigitsAndPoints) {
    EXPECT_EQ(DigitsOnly("4 Mhz"), "4");
    EXPECT_EQ(DigitsOnly("-2.5"), "2.5");
    EXPECT_EQ(DigitsOnly("Mhz 4"), "4");
    EXPECT_EQ(DigitsOnly("1.2.3 Mhz"), "1.2.3");
    EXPECT_EQ(DigitsOnly("no digits"), "");
}

TEST(Trim, RemovesControlCharactersAndBlanks) {
    EXPECT_EQ(Trim(std::string("\x01\t a b \r\n\x00", 9)), "a b");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0") << "bytes above 127 are not blanks";
}

TEST(CaseConversion, TouchesAsciiLettersOnly) {
    EXPECT_EQ(UpperAscii("osccon<14:12>\xE4"), "OSCCON<14:12>\xE4");
    EXPECT_EQ(LowerAscii("SIN(X)"), "sin(x)");
    EXPECT_TRUE(EqualsIgnoreCaseAscii("Follow", "FOLLOW"));
    EXPECT_FALSE(EqualsIgnoreCaseAscii("\xE4", "\xC4"));
}

} // namespace
} // namespace quorvel
