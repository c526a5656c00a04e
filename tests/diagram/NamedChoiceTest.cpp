#include "diagram/NamedChoice.h"

#include "ModelBuilder.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using test::AddConfigLine;
using test::AddRegisterLine;

class NamedChoiceTest : public ::testing::Test {
protected:
    TModel model;

    void SetUp() override {
        TField fnosc{"FNOSC", "Oscillator Mode", 7, {}};
        fnosc.Settings = {
            {7, 0, "FRC", "FRC"}, {7, 3, "Primary w/ PLL", "PRIPLL"}, {7, 2, "Primary", ""}};
        model.ConfigWords.push_back({"FOSCSEL", 0xF80006, {fnosc}});
        AddConfigLine(model, {.name = "FNOSC", .id = 1, .x1 = 10, .y1 = 10, .value = 3});
        AddConfigLine(model, {.name = "FNOSC", .id = 2, .x1 = 10, .y1 = 20, .value = 0});
        AddConfigLine(model, {.name = "FNOSC", .id = 3, .x1 = 10, .y1 = 30, .value = 2});
        AddConfigLine(model, {.name = "FNOSC", .id = 4, .x1 = 10, .y1 = 40, .value = 3});
        AddRegisterLine(model, {.name = "PLLFBD<8:0>", .id = 5, .value = 38});
        AddRegisterLine(model, {.name = "CLKDIV<7:6>", .id = 6, .value = 0});
        AddRegisterLine(model, {.name = "CLKDIV<7:6>", .id = 7, .value = 26});
    }
    std::optional<LineRef> Find(std::string_view name, std::string_view setting) {
        return FindNamedLine(model, name, setting).Line;
    }
};

TEST_F(NamedChoiceTest, ASettingNameOrValueFindsTheFirstLineOfThatValue) {
    EXPECT_EQ(Find("FNOSC", "PRIPLL"), (LineRef{false, 0}));
    EXPECT_EQ(Find("fnosc", "pripll"), (LineRef{false, 0})) << "case is ignored";
    EXPECT_EQ(Find(" FNOSC ", "FRC"), (LineRef{false, 1}));
    EXPECT_EQ(Find("FNOSC", "2"), (LineRef{false, 2})) << "an unnamed setting by value";
    EXPECT_EQ(Find("FNOSC", "$3"), (LineRef{false, 0}));
    EXPECT_EQ(Find("FNOSC", "0x0"), (LineRef{false, 1}));
}

TEST_F(NamedChoiceTest, ARegisterBitFieldTakesDecimalOrHexadecimalValues) {
    EXPECT_EQ(Find("PLLFBD<8:0>", "38"), (LineRef{true, 0}));
    EXPECT_EQ(Find("pllfbd<8:0>", "$26"), (LineRef{true, 0}));
    EXPECT_EQ(Find("CLKDIV<7:6>", "0X1a"), (LineRef{true, 2}));
    EXPECT_EQ(Find("CLKDIV<7:6>", "0"), (LineRef{true, 1}));
    for (const char* bad : {"", "26h", "0x", "$", "-0", "1 2", "99999999999", "x26"})
        EXPECT_FALSE(Find("CLKDIV<7:6>", bad)) << bad;
    EXPECT_FALSE(Find("PLLFBD", "38")) << "the bit range belongs to the name";
}

TEST_F(NamedChoiceTest, NoMatchNamesWhatWasAskedAndWhatTheDiagramOffers) {
    EXPECT_EQ(FindNamedLine(model, "FNOSC", "XT").Message,
              "No line chooses FNOSC=XT; FNOSC offers FRC (0), 2, PRIPLL (3)");
    EXPECT_EQ(FindNamedLine(model, "CLKDIV<7:6>", "3").Message,
              "No line chooses CLKDIV<7:6>=3; CLKDIV<7:6> offers 0, 26");
    EXPECT_EQ(FindNamedLine(model, "POSCMD", "XT").Message,
              "No line chooses POSCMD=XT; the diagram has no line named POSCMD; it offers "
              "FNOSC, PLLFBD<8:0>, CLKDIV<7:6>");
    EXPECT_EQ(FindNamedLine(TModel{}, "A", "1").Message,
              "No line chooses A=1; the diagram has no line named A and no lines at all");
    EXPECT_TRUE(FindNamedLine(model, "FNOSC", "FRC").Message.empty());
}

} // namespace
} // namespace quorvel
