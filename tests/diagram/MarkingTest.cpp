#include "diagram/Marking.h"

#include "ModelBuilder.h"
#include "StateSteps.h"
#include "shell/HeadlessViews.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using test::AddConfigLine;
using test::AddRegisterLine;

class MarkingTest : public ::testing::Test {
protected:
    Configuration state;
    TModel& model = state.Model;
    RasterSurface surface;
    test::StateSteps marking{state, surface};

    void SetUp() override { surface.Picture() = Bitmap(100, 100); }
    Rgb At(int x, int y) const { return surface.Picture().Pixel(x, y); }
};

TEST_F(MarkingTest, PaintsLinesInTheirColoursAndKeepsFlags) {
    AddConfigLine(model, {.name = "A", .id = 1, .x1 = 10, .y1 = 10, .x2 = 40, .y2 = 10});
    AddRegisterLine(model, {.name = "R<1>", .id = 2, .x1 = 10, .y1 = 30, .x2 = 40, .y2 = 30});
    marking.UnmarkAllLines();
    marking.UnmarkAllLineRegisters();
    EXPECT_EQ(At(25, 10), kBlue);
    EXPECT_EQ(At(25, 9), kBlue) << "2 px wide";
    EXPECT_EQ(At(25, 30), kLime);
    marking.MarkLine(0);
    marking.MarkLine(0);
    EXPECT_EQ(At(25, 10), kRed);
    EXPECT_TRUE(model.ConfigLineMarked[0]);
    marking.MarkLineRegister(0);
    EXPECT_EQ(At(40, 30), kRed);
    EXPECT_TRUE(model.RegisterLineMarked[0]);
    marking.UnmarkLineRegister(0);
    marking.UnmarkLineRegister(0);
    EXPECT_EQ(At(40, 30), kLime);
    EXPECT_FALSE(model.RegisterLineMarked[0]);
}

TEST_F(MarkingTest, UnmarkByIdClearsBothTables) {
    AddConfigLine(model, {.name = "A", .id = 7, .x1 = 10, .y1 = 10, .x2 = 20, .y2 = 10});
    AddConfigLine(model, {.name = "B", .id = 8, .x1 = 10, .y1 = 20, .x2 = 20, .y2 = 20});
    AddRegisterLine(model, {.name = "R<0>", .id = 7, .x1 = 10, .y1 = 40, .x2 = 20, .y2 = 40});
    marking.MarkLine(0);
    marking.MarkLine(1);
    marking.MarkLineRegister(0);
    marking.UnmarkById(7);
    EXPECT_FALSE(model.ConfigLineMarked[0]);
    EXPECT_TRUE(model.ConfigLineMarked[1]);
    EXPECT_FALSE(model.RegisterLineMarked[0]);
    EXPECT_EQ(At(15, 40), kLime);
}

TEST_F(MarkingTest, ConnectorsFollowTheMarks) {
    AddConfigLine(model, {.name = "A", .id = 1, .x1 = 10, .y1 = 10, .x2 = 20, .y2 = 10});
    AddRegisterLine(model, {.name = "R<0>", .id = 2, .x1 = 10, .y1 = 20, .x2 = 20, .y2 = 20});
    model.FollowRules.push_back({50, 10, 90, 10, {1, 2}});
    model.FollowRules.push_back({50, 20, 90, 20, {}});
    model.FollowNotRules.push_back({50, 30, 90, 30, {2}});
    model.FollowNotRules.push_back({50, 40, 90, 40, {}});
    marking.DrawConnectors();
    EXPECT_EQ(At(70, 10), kBlack) << "nothing marked";
    EXPECT_EQ(At(70, 9), (Rgb{255, 255, 255})) << "connectors are 1 px wide";
    EXPECT_EQ(At(70, 30), kRed);
    EXPECT_EQ(At(70, 20), kBlack) << "empty FOLLOW list is black";
    EXPECT_EQ(At(70, 40), kRed) << "empty FOLLOW_NOT list is red";

    marking.MarkLineRegister(0);
    marking.DrawConnectors();
    EXPECT_EQ(At(70, 10), kRed) << "a register line counts for FOLLOW";
    EXPECT_EQ(At(70, 30), kBlack);
    EXPECT_EQ(At(70, 40), kRed);
}

TEST_F(MarkingTest, WithoutLinesFollowIsBlackAndFollowNotRed) {
    model.FollowRules.push_back({10, 10, 30, 10, {1}});
    model.FollowNotRules.push_back({10, 20, 30, 20, {1}});
    marking.DrawConnectors();
    EXPECT_EQ(At(20, 10), kBlack);
    EXPECT_EQ(At(20, 20), kRed);
}

} // namespace
} // namespace quorvel
