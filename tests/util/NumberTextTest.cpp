#include "util/NumberText.h"
#include "util/Errors.h"

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>

namespace quorvel {
namespace {

TEST(ParseFloat, AcceptsTheDescribedForms) {
    const std::pair<const char*, double> good[] = {
        {"5", 5.0},         {"5.", 5.0},      {"+.5", 0.5},    {".5", 0.5},
        {"-2.5", -2.5},     {" 12.5 ", 12.5}, {"1e3", 1000.0}, {"1E+3", 1000.0},
        {"2.5e-3", 0.0025}, {"-0", -0.0},     {"1e-400", 0.0},
    };
    for (const auto& [text, value] : good) {
        const auto parsed = ParseFloat(text);
        ASSERT_TRUE(parsed.has_value()) << text;
        EXPECT_EQ(*parsed, value) << text;
    }
}

TEST(ParseFloat, RejectsEverythingElse) {
    const char* bad[] = {"",     "-",   "+",   ".",   "1.2.3", "1,5", "1e",   "e5",
                         "0x10", "1 2", "inf", "nan", "1e999", "--1", "4 Mhz"};
    for (const char* text : bad)
        EXPECT_FALSE(ParseFloat(text).has_value()) << text;
}

TEST(ParseFloat, TellsUnderflowFromOverflowWhateverTheNotation) {
    // Below the smallest double the value is zero, written plainly or with an exponent;
    // beyond the largest it is no value, even when a negative exponent follows.
    const std::string tinyPlain = "0." + std::string(400, '0') + "1";
    const std::string hugeWithExponent = "1" + std::string(400, '0') + "e-5";
    EXPECT_EQ(ParseFloat(tinyPlain), 0.0);
    EXPECT_EQ(ParseFloat("-" + tinyPlain), -0.0);
    EXPECT_TRUE(std::signbit(*ParseFloat("-" + tinyPlain)));
    EXPECT_FALSE(ParseFloat("1" + std::string(400, '0')).has_value());
    EXPECT_FALSE(ParseFloat(hugeWithExponent).has_value());
    EXPECT_EQ(ParseFloat("0.00001e-99999999999999999999"), 0.0);
    EXPECT_FALSE(ParseFloat("100000e99999999999999999999").has_value());
}

TEST(ParseFloat, IgnoresTheUsersLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        std::setlocale(LC_ALL, "de_DE");
    EXPECT_EQ(ParseFloat("3.6864"), 3.6864);
    EXPECT_FALSE(ParseFloat("3,6864").has_value());
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(ParseInteger, AcceptsDecimalAndHexadecimalForms) {
    const std::pair<const char*, std::int64_t> good[] = {
        {"42", 42},
        {"  42", 42},
        {"+7", 7},
        {"-7", -7},
        {"$FF", 255},
        {"xff", 255},
        {"X1F", 31},
        {"0x10", 16},
        {"0XfF", 255},
        {"-$10", -16},
        {"4294967295", 4294967295LL},
        {"9223372036854775807", INT64_MAX},
        {"-9223372036854775808", INT64_MIN},
    };
    for (const auto& [text, value] : good) {
        const auto parsed = ParseInteger(text);
        ASSERT_TRUE(parsed.has_value()) << text;
        EXPECT_EQ(*parsed, value) << text;
    }
}

TEST(ParseNumbers, PlainDigitsReadAsTheGeneralFormsReadThem) {
    // A blank around the digits takes the general way; the value must not change, at every
    // length around where the plain reading stops (15 digits for a float, 18 for an integer).
    for (std::size_t length = 1; length <= 21; ++length) {
        for (const char digit : {'0', '1', '7', '9'}) {
            std::string text(length, digit);
            text[0] = length > 1 && digit == '0' ? '1' : digit;
            for (const std::string& t :
                 {text, "0" + text.substr(1), std::string(text.size(), '9')}) {
                const auto integer = ParseInteger(t);
                EXPECT_EQ(integer, ParseInteger(" " + t)) << t;
                const auto value = ParseFloat(t);
                const auto general = ParseFloat(t + " ");
                ASSERT_TRUE(value && general) << t;
                EXPECT_EQ(std::bit_cast<std::uint64_t>(*value),
                          std::bit_cast<std::uint64_t>(*general))
                    << t;
            }
        }
    }
    EXPECT_EQ(ParseInteger("9223372036854775807"), INT64_MAX);
    EXPECT_FALSE(ParseInteger("9223372036854775808"));
    EXPECT_EQ(ParseInteger("-0"), std::optional<std::int64_t>(0));
    EXPECT_TRUE(std::signbit(*ParseFloat("-0")));
    EXPECT_FALSE(std::signbit(*ParseFloat("0")));
}

TEST(ParseInteger, RejectsEverythingElse) {
    const char* bad[] = {"",
                         " ",
                         "-",
                         "$",
                         "0x",
                         "12 ",
                         "1.0",
                         "1e3",
                         "0x1G",
                         "abc",
                         "9223372036854775808",
                         "$10000000000000000"};
    for (const char* text : bad)
        EXPECT_FALSE(ParseInteger(text).has_value()) << text;
}

TEST(Conversions, ThrowTheProgramsMessages) {
    try {
        StrToInt("12a");
        FAIL() << "no error";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'12a' is not a valid integer value");
    }
    try {
        StrToFloat("1.2.3");
        FAIL() << "no error";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'1.2.3' is not a valid floating point value");
    }
    EXPECT_THROW(StrToInt("2147483648"), ConversionError);
    EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
    // Signed decimals, read directly up to nine digits, as the general reading reads them.
    for (const char* text : {"-1", "-0", "-07", "-123456789", "-999999999", "-1000000000"})
        EXPECT_EQ(StrToInt(text), *ParseInteger(text)) << text;
    for (const char* text : {"-", "--1", "-1a", "- 1", "-$"})
        EXPECT_THROW(StrToInt(text), ConversionError) << text;
}

TEST(Conversions, HexadecimalDigitsAreA32BitPattern) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"$FFFFFFFF", -1},         {"0xFFFFFFFE", -2}, {"$80000000", INT32_MIN},
        {"x7FFFFFFF", INT32_MAX},  {" -$FFFFFFFF", 1}, {"-$80000000", INT32_MIN},
        {"$00000000FFFFFFFF", -1},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(StrToInt(text), expected) << text;
    // Decimal digits and patterns wider than 32 bits stay out of range.
    for (const char* text : {"4294967295", "$100000000", "-$100000000", "-2147483649"})
        EXPECT_THROW(StrToInt(text), ConversionError) << text;
}

} // namespace
} // namespace quorvel
