#include "results/FormulaText.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace quorvel {
namespace {

TEST(ConvertBitTags, TurnsBitRangesIntoVariableNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"OSCCON<14:12> * 2", "OSCCON_14_12_ * 2"},
        {"CLKDIV<3>", "CLKDIV_3_"},
        {"E1<E2", "E1<E2"},
        {"E1<2", "E1<2"},
        {"a<1>+b<7:4>", "a_1_+b_7_4_"},
        {"x<1:2:3>", "x<1:2:3>"},
        {"x<:5>", "x__5_"},
        {"<>", "<>"},
        {"a<>", "a<>"},
        {"E0<3 | E1>2", "E0<3 | E1>2"},
        {"1<2>3", "1_2_3"},
        {"R<-1>", "R_-1_"},
        {"", ""},
        {"<1", "<1"},
        {"a<1", "a<1"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(ConvertBitTags(in), out) << in;
}

TEST(ConvertBitTags, StaysLinearOnHostileText) {
    const std::string manyOpeners = std::string(200000, '<') + "1>";
    EXPECT_EQ(ConvertBitTags(manyOpeners).back(), '_');
    const std::string blanks =
        "<" + std::string(200000, ' ') + ":" + std::string(200000, ' ') + ">";
    EXPECT_EQ(ConvertBitTags(blanks), blanks) << "a lone colon is no number";
}

TEST(FormatResult, RoundsToThreeDecimalsAndCutsZeros) {
    const std::pair<double, const char*> cases[] = {
        {8.0, "8"},
        {7.3728, "7.373"},
        {7.37, "7.37"},
        {0.0, "0"},
        {120.5, "120.5"},
        {0.25, "0.25"},
        {1.0 / 3.0, "0.333"},
        {-1.5, "-1.5"},
        {-0.0001, "0"},
        {100.0, "100"},
        {1234567.891234, "1234567.891"},
        {12345678.9876, "12345678.99"},
        {123456789.987, "123456790"},
        {9999999999.0, "9999999999"},
        {12345678901.0, "12345678900"},
        {1e20, "100000000000000000000"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(FormatResult(value), text) << value;
    EXPECT_EQ(FormatResult(std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(FormatResult(-std::numeric_limits<double>::infinity()), "-INF");
    EXPECT_EQ(FormatResult(std::nan("")), "NAN");
}

TEST(RegisterVariableName, ReplacesBracketsAndColon) {
    EXPECT_EQ(RegisterVariableName("OSCCON<14:12>"), "OSCCON_14_12_");
    EXPECT_EQ(RegisterVariableName("CLKDIV<3>"), "CLKDIV_3_");
}

} // namespace
} // namespace quorvel
