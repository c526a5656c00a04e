#include "diagram/LimitLines.h"

#include "diagram/DescriptionParser.h"
#include "shell/HeadlessViews.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

struct Parsed {
    TModel model;
    MemoryValueBoxes boxes;
    std::string error;
};

Parsed Parse(const std::string& text) {
    Parsed p;
    try {
        ParseDiagramDescription(text, p.model, p.boxes);
    } catch (const std::exception& e) {
        p.error = e.what();
    }
    return p;
}

TEST(LimitLines, RangeReadsBoxBoundsConditionAndLabel) {
    const Parsed p = Parse("range, 4, 100, 200 // PLL output range 100 to 200 MHz\n"
                           "RANGE, 3, 0.8, 8, ifthen(FNOSC = 1, 1, FNOSC = 3) // Fref\n"
                           "RANGE, 6, , 80\n"
                           "RANGE, 2, 4,\n");
    ASSERT_EQ(p.error, "");
    ASSERT_EQ(p.model.Limits.size(), 4u);
    const TLimit& a = p.model.Limits[0];
    EXPECT_EQ(a.What, TLimit::Kind::Range);
    EXPECT_EQ(a.Box, 4);
    EXPECT_EQ(a.Min, 100.0);
    EXPECT_EQ(a.Max, 200.0);
    EXPECT_EQ(a.Condition, "");
    EXPECT_EQ(a.Text, "PLL output range 100 to 200 MHz");
    // Commas of a condition survive, the blanks beside them do not (as in SHOWVAL lines).
    EXPECT_EQ(p.model.Limits[1].Condition, "ifthen(FNOSC = 1,1,FNOSC = 3)");
    EXPECT_EQ(p.model.Limits[1].Min, 0.8);
    EXPECT_FALSE(p.model.Limits[2].Min);
    EXPECT_EQ(p.model.Limits[2].Max, 80.0);
    EXPECT_EQ(p.model.Limits[2].Text, "");
    EXPECT_EQ(p.model.Limits[3].Min, 4.0);
    EXPECT_FALSE(p.model.Limits[3].Max);
    // None of them is a configuration line.
    EXPECT_TRUE(p.model.ConfigLines.empty());
    EXPECT_EQ(p.model.CalcVals.size(), 0u);
}

TEST(LimitLines, CheckTakesTheRestOfTheLineAsConditionAndTheCommentAsMessage) {
    const Parsed p = Parse("CHECK, 3, ifthen(PLLCFG, FOSC = 1, 1) // the 4x PLL needs HS or EC\n");
    ASSERT_EQ(p.error, "");
    ASSERT_EQ(p.model.Limits.size(), 1u);
    EXPECT_EQ(p.model.Limits[0].What, TLimit::Kind::Check);
    EXPECT_EQ(p.model.Limits[0].Box, 3);
    EXPECT_EQ(p.model.Limits[0].Condition, "ifthen(PLLCFG,FOSC = 1,1)");
    EXPECT_EQ(p.model.Limits[0].Text, "the 4x PLL needs HS or EC");
}

TEST(LimitLines, TypedReadsTheFieldItsRangeAndMapping) {
    const Parsed p = Parse("typed, 9, pllfbd<8:0>, 2, 513, E9 - 2 // PLLDIV: M =\n");
    ASSERT_EQ(p.error, "");
    ASSERT_EQ(p.model.TypedFields.size(), 1u);
    const TTypedField& t = p.model.TypedFields[0];
    EXPECT_EQ(t.Box, 9);
    EXPECT_EQ(t.Name, "PLLFBD<8:0>");
    EXPECT_EQ(t.Min, 2);
    EXPECT_EQ(t.Max, 513);
    EXPECT_EQ(t.Mapping, "E9 - 2");
    EXPECT_EQ(t.Comment, "// PLLDIV: M =");
    EXPECT_TRUE(p.model.RegisterLines.empty());
}

TEST(LimitLines, ShowvalKeepsItsCommentAsTheQuantity) {
    const Parsed p = Parse("SHOWVAL, 1, 1, E4 = E2 * 4 //  Fvco \nSHOWVAL, 1, 1, E5 = 1\n");
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.model.Formulas[0].Quantity, "Fvco");
    EXPECT_EQ(p.model.Formulas[1].Quantity, "");
}

TEST(LimitLines, BadLinesAreRefusedWithAMessageAndAddNothing) {
    const struct {
        const char* line;
        const char* error;
    } cases[] = {
        {"RANGE, 4, 100", "List index out of bounds (3)"},
        {"RANGE, x, 1, 2", "'x' is not a valid integer value"},
        {"RANGE, 31, 1, 2", "value box 31 is outside 0..30"},
        {"RANGE, -1, 1, 2", "value box -1 is outside 0..30"},
        {"RANGE, 4, 1a, 2", "'1a' is not a valid floating point value"},
        {"RANGE, 4, , ", "RANGE needs a minimum or a maximum"},
        {"RANGE, 4, 200, 100", "RANGE minimum 200 is above its maximum 100"},
        {"CHECK, 4", "List index out of bounds (2)"},
        {"CHECK, 4, ", "CHECK needs a condition"},
        {"TYPED, 9, PLLFBD<8:0>, 2, 513", "List index out of bounds (5)"},
        {"TYPED, 9, PLLFBD, 2, 513, E9",
         "TYPED needs a register bit-field such as REG<8:0>, not \"PLLFBD\""},
        {"TYPED, 9, PLLFBD<A:0>, 2, 513, E9",
         "TYPED needs a register bit-field such as REG<8:0>, not \"PLLFBD<A:0>\""},
        {"TYPED, 9, PLLFBD<8:0>, 600, 513, E9", "TYPED minimum 600 is above its maximum 513"},
        {"TYPED, 9, PLLFBD<8:0>, 2, 513, ", "TYPED needs a formula for the bit-field value"},
    };
    for (const auto& c : cases) {
        const Parsed p = Parse(std::string("SHOWVAL, 1, 1, E0 =\n") + c.line + "\n");
        EXPECT_EQ(p.error, c.error) << c.line;
        EXPECT_TRUE(p.model.Limits.empty()) << c.line;
        EXPECT_TRUE(p.model.TypedFields.empty()) << c.line;
    }
}

TEST(LimitLines, AReloadForgetsThePreviousLimits) {
    MemoryValueBoxes boxes;
    TModel model;
    ParseDiagramDescription("RANGE, 0, 1, 2\nTYPED, 0, R<3:0>, 0, 15, E0\n", model, boxes);
    ParseDiagramDescription("SHOWVAL, 1, 1, E0 =\n", model, boxes);
    EXPECT_TRUE(model.Limits.empty());
    EXPECT_TRUE(model.TypedFields.empty());
}

TEST(LimitLines, ALongLineOfCommasIsReadWithoutAListOfFields) {
    const std::string commas(200000, ',');
    const Parsed p = Parse("CHECK, 0, 1" + commas + "\n");
    ASSERT_EQ(p.error, "");
    ASSERT_EQ(p.model.Limits.size(), 1u);
    EXPECT_EQ(p.model.Limits[0].Condition, "1" + commas);
}

} // namespace
} // namespace quorvel
