#include "diagram/Selection.h"

#include "ModelBuilder.h"
#include "StateSteps.h"
#include "shell/HeadlessViews.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using test::AddConfigLine;
using test::AddRegisterLine;

class SelectionTest : public ::testing::Test {
protected:
    Configuration state;
    TModel& model = state.Model;
    RasterSurface surface;
    test::StateSteps marking{state, surface};
    int recalculations = 0;
    std::function<void()> recalc = [this] { ++recalculations; };

    void SetUp() override { surface.Picture() = Bitmap(200, 200); }
    void Click(int x, int y) { marking.Press(MouseButton::Left, x, y, recalc); }

    // A device with field FOSC (settings 0, 8, 9) and field PLLEN (0, 1).
    void AddWords() {
        TField fosc{
            "FOSC", "Oscillator", 0x0F, {{0x0F, 0, "LP"}, {0x0F, 8, "INTIO"}, {0x0F, 9, "HS"}}};
        TField pllen{"PLLEN", "PLL", 0x10, {{0x10, 0, "off"}, {0x10, 0x10, "on"}}};
        model.ConfigWords.push_back({"CONFIG1H", 0x300001, {fosc, pllen}});
    }
};

TEST(HitTest, GrowsTheSegmentByThreePixels) {
    EXPECT_TRUE(HitTest(47, 10, 10, 10, 44, 10));
    EXPECT_FALSE(HitTest(48, 10, 10, 10, 44, 10));
    EXPECT_TRUE(HitTest(7, 7, 10, 10, 44, 10));
    EXPECT_FALSE(HitTest(6, 10, 10, 10, 44, 10));
    EXPECT_TRUE(HitTest(20, 13, 10, 10, 44, 10));
    EXPECT_FALSE(HitTest(20, 14, 10, 10, 44, 10));
    EXPECT_FALSE(HitTest(20, 10, 44, 10, 10, 10)) << "reversed ends catch nothing";
}

TEST_F(SelectionTest, ChoosingALineShowsItsSettingAndUnmarksAlternatives) {
    AddWords();
    AddConfigLine(model, {.name = "FOSC",
                          .id = 1,
                          .x1 = 10,
                          .y1 = 10,
                          .x2 = 50,
                          .y2 = 10,
                          .alt = 1,
                          .value = 8,
                          .calcValue = 16});
    AddConfigLine(model, {.name = "FOSC",
                          .id = 2,
                          .x1 = 10,
                          .y1 = 30,
                          .x2 = 50,
                          .y2 = 30,
                          .alt = 1,
                          .value = 9,
                          .calcValue = 4});
    Click(30, 30);
    EXPECT_TRUE(model.ConfigLineMarked[1]);
    EXPECT_EQ(state.Caption(2), "HS");
    EXPECT_EQ(model.CalcVals[0].Value, 4);
    EXPECT_EQ(recalculations, 1);
    Click(30, 10);
    EXPECT_TRUE(model.ConfigLineMarked[0]);
    EXPECT_FALSE(model.ConfigLineMarked[1]);
    EXPECT_EQ(surface.Picture().Pixel(30, 30), kBlue);
    EXPECT_EQ(state.Caption(2), "INTIO");
    EXPECT_EQ(model.CalcVals[0].Value, 16);
    Click(30, 10);
    EXPECT_TRUE(model.ConfigLineMarked[0]) << "no toggling off";
    EXPECT_EQ(recalculations, 3);
    Click(150, 150);
    EXPECT_EQ(recalculations, 3) << "a click on nothing changes nothing";
}

TEST_F(SelectionTest, CompanionsAreMarkedBeforeAlternativesAreCleared) {
    // Line 2 carries both keys of line 0: it is marked as companion, then cleared.
    AddConfigLine(
        model, {.name = "A", .id = 1, .x1 = 10, .y1 = 10, .x2 = 50, .y2 = 10, .alt = 5, .link = 9});
    AddConfigLine(model, {.name = "B", .id = 2, .x1 = 10, .y1 = 30, .x2 = 50, .y2 = 30, .link = 9});
    AddConfigLine(
        model, {.name = "C", .id = 3, .x1 = 10, .y1 = 50, .x2 = 50, .y2 = 50, .alt = 5, .link = 9});
    AddConfigLine(model, {.name = "D", .id = 4, .x1 = 10, .y1 = 70, .x2 = 50, .y2 = 70});
    marking.MarkLine(3);
    Click(20, 10);
    EXPECT_TRUE(model.ConfigLineMarked[0]);
    EXPECT_TRUE(model.ConfigLineMarked[1]);
    EXPECT_FALSE(model.ConfigLineMarked[2]);
    EXPECT_TRUE(model.ConfigLineMarked[3]) << "groups of -1 never match";
    EXPECT_EQ(model.CalcVals[1].Value, 1.0) << "companions do not update values";
}

TEST_F(SelectionTest, OverlappingConfigurationLinesAreAllChosenInTableOrder) {
    AddConfigLine(
        model,
        {.name = "A", .id = 1, .x1 = 10, .y1 = 10, .x2 = 50, .y2 = 10, .alt = 1, .calcValue = 2});
    AddConfigLine(
        model,
        {.name = "A", .id = 2, .x1 = 10, .y1 = 12, .x2 = 50, .y2 = 12, .alt = 1, .calcValue = 3});
    AddRegisterLine(model, {.name = "R<0>", .id = 3, .x1 = 10, .y1 = 11, .x2 = 50, .y2 = 11});
    Click(30, 11);
    EXPECT_FALSE(model.ConfigLineMarked[0]) << "the second line cleared the first";
    EXPECT_TRUE(model.ConfigLineMarked[1]);
    EXPECT_EQ(model.CalcVals[0].Value, 3);
    EXPECT_EQ(recalculations, 2);
    EXPECT_FALSE(model.RegisterLineMarked[0]) << "a configuration hit shadows register lines";
    EXPECT_FALSE(model.RegVals[0].Chosen);
}

TEST_F(SelectionTest, RegisterClickRecordsTheChoice) {
    AddRegisterLine(model, {.name = "OSCCON<6:4>",
                            .id = 1,
                            .x1 = 10,
                            .y1 = 10,
                            .x2 = 50,
                            .y2 = 10,
                            .alt = 2,
                            .value = 7,
                            .calcValue = 16,
                            .comment = "// 16"});
    AddRegisterLine(model, {.name = "OSCCON<6:4>",
                            .id = 2,
                            .x1 = 10,
                            .y1 = 30,
                            .x2 = 50,
                            .y2 = 30,
                            .alt = 2,
                            .value = 6,
                            .calcValue = 8,
                            .comment = "// 8"});
    Click(20, 30);
    ASSERT_EQ(model.RegVals.size(), 1u);
    EXPECT_TRUE(model.RegVals[0].Chosen);
    EXPECT_EQ(model.RegVals[0].Value, 6u);
    EXPECT_EQ(model.RegVals[0].CalcValue, 8);
    EXPECT_EQ(model.RegVals[0].Comment, "// 8");
    EXPECT_EQ(surface.Picture().Pixel(20, 30), kRed);
    Click(20, 10);
    EXPECT_FALSE(model.RegisterLineMarked[1]);
    EXPECT_EQ(surface.Picture().Pixel(20, 30), kLime);
}

TEST_F(SelectionTest, ExclGroupsReachAcrossTablesAndKeepRegisterValues) {
    AddConfigLine(model, {.name = "A", .id = 10, .x1 = 10, .y1 = 10, .x2 = 50, .y2 = 10});
    AddRegisterLine(model, {.name = "R<0>",
                            .id = 20,
                            .x1 = 10,
                            .y1 = 30,
                            .x2 = 50,
                            .y2 = 30,
                            .value = 1,
                            .comment = "// on"});
    AddConfigLine(model, {.name = "B", .id = 30, .x1 = 10, .y1 = 50, .x2 = 50, .y2 = 50});
    model.ExclGroups.push_back({{10, 20}});
    model.ExclGroups.push_back({{30, 99}});
    Click(20, 30);
    Click(20, 50);
    EXPECT_TRUE(model.RegisterLineMarked[0]) << "group of 30 does not hold 20";
    Click(20, 10);
    EXPECT_FALSE(model.RegisterLineMarked[0]);
    EXPECT_TRUE(model.RegVals[0].Chosen) << "an EXCL clear keeps the register's choice";
    EXPECT_EQ(model.RegVals[0].Value, 1u);
}

TEST_F(SelectionTest, SettingLabelFollowsTheNamesPosition) {
    AddWords();
    AddConfigLine(
        model, {.name = "PLLEN", .id = 1, .x1 = 10, .y1 = 10, .x2 = 50, .y2 = 10, .value = 0x10});
    AddConfigLine(model,
                  {.name = "FOSC", .id = 2, .x1 = 10, .y1 = 30, .x2 = 50, .y2 = 30, .value = 77});
    Click(20, 10);
    EXPECT_EQ(state.Caption(2), "on");
    Click(20, 30);
    EXPECT_EQ(state.Caption(4), "") << "no setting with that value: no label change";
    EXPECT_TRUE(model.ConfigLineMarked[1]);
}

TEST_F(SelectionTest, NamesBeyondTwentyGetNoLabel) {
    TField field{"N20", "", 0, {{0, 5, "five"}}};
    model.ConfigWords.push_back({"W", 0, {field}});
    for (int i = 0; i <= 20; ++i)
        AddConfigLine(model, {.name = "N" + std::to_string(i),
                              .id = 1,
                              .x1 = 10,
                              .y1 = static_cast<std::uint16_t>(5 + 9 * i),
                              .x2 = 50,
                              .y2 = static_cast<std::uint16_t>(5 + 9 * i),
                              .value = 5});
    Click(20, 5 + 9 * 20);
    EXPECT_TRUE(model.ConfigLineMarked[20]);
    for (int n = 1; n <= 41; ++n)
        EXPECT_EQ(state.Caption(n), "") << n;
}

TEST_F(SelectionTest, MiddleAndRightButtonsCopyPoints) {
    marking.Press(MouseButton::Right, 300, 45, recalc);
    EXPECT_EQ(state.ClipboardText, "0, 0, 300, 45, ");
    marking.Press(MouseButton::Middle, 120, 45, recalc);
    EXPECT_EQ(state.ClipboardText, "0, 0, 300, 45, ") << "the middle button only stores";
    marking.Press(MouseButton::Right, 300, 46, recalc);
    EXPECT_EQ(state.ClipboardText, "120, 45, 300, 46, ");
    EXPECT_EQ(recalculations, 0);
}

TEST_F(SelectionTest, ClicksOnAnEmptyDiagramDoNothing) {
    for (const auto& [x, y] : {std::pair{0, 0}, {65535, 65535}, {-5, 3}, {100, 100}})
        Click(x, y);
    EXPECT_EQ(recalculations, 0);
}

} // namespace
} // namespace quorvel
