// The index must change nothing: the rules give the same marks, values, labels and paints with
// it as without, and the painter that draws several steps at once gives the pixels of painting
// every step in turn. Both are checked on random diagrams dense with overlaps, shared
// identifiers and groups.

#include "diagram/DiagramIndex.h"
#include "diagram/Marking.h"
#include "diagram/Selection.h"

#include "ModelBuilder.h"
#include "shell/HeadlessViews.h"

#include <gtest/gtest.h>
#include <random>

namespace quorvel {
namespace {

using test::AddConfigLine;
using test::AddRegisterLine;

constexpr int kSide = 90;

// A diagram of `lines` lines on a small picture: few names, identifiers and groups, so that
// lines overlap and share them; some segments reach beyond the picture or are reversed.
Configuration RandomDiagram(std::mt19937& random, int lines) {
    Configuration state;
    TModel& model = state.Model;
    const auto pick = [&random](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    const auto coordinate = [&] { return static_cast<std::uint16_t>(pick(3, kSide + 20)); };
    for (int f = 0; f < 3; ++f) {
        TField field{"N" + std::to_string(f), "Field", 0x3, {}};
        for (std::uint32_t v = 0; v < 3; ++v)
            field.Settings.push_back({0x3, v, "S" + std::to_string(v)});
        model.ConfigWords.push_back({"CONFIG", 0, {field}});
    }
    for (int i = 0; i < lines; ++i) {
        test::LineSpec line;
        line.name = (pick(0, 5) == 0 ? "n" : "N") + std::to_string(pick(0, 4));
        line.id = static_cast<std::uint16_t>(pick(0, 12));
        line.x1 = coordinate();
        line.y1 = coordinate();
        const bool horizontal = pick(0, 1) == 0;
        line.x2 = horizontal ? static_cast<std::uint16_t>(line.x1 + pick(-2, 40)) : line.x1;
        line.y2 = horizontal ? line.y1 : static_cast<std::uint16_t>(line.y1 + pick(-2, 40));
        if (pick(0, 6) == 0) { // a slanted or wide one
            line.x2 = coordinate();
            line.y2 = coordinate();
        }
        line.alt = pick(0, 2) == 0 ? -1 : pick(-3, 4);
        line.link = pick(0, 2) == 0 ? -1 : pick(-3, 4);
        line.value = static_cast<std::uint32_t>(pick(0, 3));
        line.calcValue = pick(1, 9);
        line.comment = "//" + std::to_string(i);
        if (pick(0, 3) == 0) {
            line.name += "<1:0>";
            AddRegisterLine(model, line);
        } else {
            AddConfigLine(model, line);
        }
    }
    for (int g = 0; g < lines / 4; ++g) {
        TExcl_Groups group;
        for (int k = pick(1, 4); k > 0; --k)
            group.Ids.push_back(static_cast<std::uint16_t>(pick(0, 14)));
        model.ExclGroups.push_back(group);
    }
    for (int c = 0; c < lines / 2; ++c) {
        TFollow_ rule{coordinate(), coordinate(), coordinate(), coordinate(), {}};
        for (int k = pick(0, 3); k > 0; --k)
            rule.Ids.push_back(static_cast<std::uint16_t>(pick(0, 14)));
        (pick(0, 1) == 0 ? model.FollowRules : model.FollowNotRules).push_back(rule);
    }
    return state;
}

void ExpectSameState(const Configuration& a, const Configuration& b) {
    EXPECT_EQ(a.Model.ConfigLineMarked, b.Model.ConfigLineMarked);
    EXPECT_EQ(a.Model.RegisterLineMarked, b.Model.RegisterLineMarked);
    EXPECT_EQ(a.Captions, b.Captions);
    ASSERT_EQ(a.Model.CalcVals.size(), b.Model.CalcVals.size());
    for (std::size_t i = 0; i < a.Model.CalcVals.size(); ++i)
        EXPECT_EQ(a.Model.CalcVals[i].Value, b.Model.CalcVals[i].Value) << i;
    ASSERT_EQ(a.Model.RegVals.size(), b.Model.RegVals.size());
    for (std::size_t i = 0; i < a.Model.RegVals.size(); ++i) {
        EXPECT_EQ(a.Model.RegVals[i].Value, b.Model.RegVals[i].Value) << i;
        EXPECT_EQ(a.Model.RegVals[i].Comment, b.Model.RegVals[i].Comment) << i;
        EXPECT_EQ(a.Model.RegVals[i].Chosen, b.Model.RegVals[i].Chosen) << i;
    }
}

TEST(DiagramIndex, TheRulesDoTheSameWithTheIndexAsWithout) {
    std::mt19937 random(17);
    for (int round = 0; round < 40; ++round) {
        Configuration plain = RandomDiagram(random, 4 + round * 2);
        Configuration indexed = plain;
        IndexDiagram(indexed);
        ASSERT_NE(UsableIndex(indexed), nullptr);
        ASSERT_EQ(UsableIndex(plain), nullptr);
        for (int click = 0; click < 40; ++click) {
            const int x = std::uniform_int_distribution<int>(-2, kSide + 66)(random);
            const int y = std::uniform_int_distribution<int>(-2, kSide + 66)(random);
            const std::vector<LineRef> hits = LinesAt(plain.Model, x, y);
            ASSERT_EQ(LinesAt(indexed, x, y), hits) << round << " at " << x << ", " << y;
            Changes a, b;
            for (const LineRef line : hits) {
                ChooseLine(plain, line, a);
                ChooseLine(indexed, line, b);
            }
            ASSERT_EQ(a.Paints, b.Paints) << round << " at " << x << ", " << y;
            EXPECT_EQ(a.Captions, b.Captions);
            ExpectSameState(plain, indexed);
        }
        // Identifiers no line has, and ones only an EXCL group lists.
        for (const std::uint16_t id : {0, 7, 14, 40000}) {
            Changes a, b;
            ApplyExclGroups(plain, id, a);
            ApplyExclGroups(indexed, id, b);
            EXPECT_EQ(a.Paints, b.Paints) << id;
        }
    }
}

TEST(DiagramIndex, IsNotUsedOnTablesItWasNotBuiltFor) {
    std::mt19937 random(3);
    Configuration state = RandomDiagram(random, 10);
    IndexDiagram(state);
    Configuration copy = state;
    EXPECT_EQ(UsableIndex(copy), state.Index.get()) << "copies share the index";
    AddConfigLine(copy.Model, {.name = "NEW", .id = 1, .x1 = 200, .y1 = 200, .x2 = 220, .y2 = 200});
    EXPECT_EQ(UsableIndex(copy), nullptr);
    EXPECT_EQ(LinesAt(copy, 210, 200),
              (std::vector<LineRef>{{false, copy.Model.ConfigLines.size() - 1}}))
        << "the new line is found by walking the table";
}

std::vector<std::uint32_t> ListOf(const GroupLists& lists, std::int64_t key) {
    const GroupLists::Range r = lists.Of(key);
    return {r.begin(), r.end()};
}

TEST(GroupLists, KeepTheItemsOfEachKeyInTheOrderGivenOnceInARow) {
    using V = std::vector<std::uint32_t>;
    // Items in increasing order, as the index lists them.
    const GroupLists inOrder({{2, 0}, {1, 1}, {2, 2}, {1, 2}, {1, 2}, {-1, 3}, {7, 4}});
    EXPECT_EQ(ListOf(inOrder, 1), (V{1, 2}));
    EXPECT_EQ(ListOf(inOrder, 2), (V{0, 2}));
    EXPECT_EQ(ListOf(inOrder, 7), (V{4}));
    EXPECT_TRUE(ListOf(inOrder, -1).empty()) << "a negative key is in no list";
    EXPECT_TRUE(ListOf(inOrder, 3).empty());
    // Items in any order keep it within their key.
    const GroupLists anyOrder({{2, 5}, {1, 3}, {2, 1}, {1, 3}, {1, 0}, {2, 5}});
    EXPECT_EQ(ListOf(anyOrder, 1), (V{3, 0}));
    EXPECT_EQ(ListOf(anyOrder, 2), (V{5, 1, 5}));
    EXPECT_TRUE(ListOf(GroupLists(std::vector<GroupLists::Entry>{}), 0).empty());
}

TEST(BoxGrid, FindsEveryBoxAtAPointInOrderAndEveryBoxMeetingARectangle) {
    std::mt19937 random(5);
    const auto pick = [&random](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    std::vector<PixelBox> boxes;
    for (int i = 0; i < 300; ++i) {
        const int left = pick(-5, 500);
        const int top = pick(-5, 500);
        // Mostly small boxes, some spanning most of the area, some empty.
        const int w = pick(0, 9) == 0 ? pick(100, 500) : pick(-1, 12);
        const int h = pick(0, 9) == 0 ? pick(100, 500) : pick(-1, 12);
        boxes.push_back({left, top, left + w, top + h});
    }
    const BoxGrid grid(boxes);
    std::vector<std::uint32_t> found;
    for (int q = 0; q < 2000; ++q) {
        const int x = pick(-20, 1100);
        const int y = pick(-20, 1100);
        grid.AtPoint(x, y, found);
        ASSERT_TRUE(std::is_sorted(found.begin(), found.end()));
        ASSERT_TRUE(std::adjacent_find(found.begin(), found.end()) == found.end());
        for (std::uint32_t i = 0; i < boxes.size(); ++i)
            if (boxes[i].Contains(x, y)) {
                ASSERT_TRUE(std::binary_search(found.begin(), found.end(), i))
                    << i << " at " << x << ", " << y;
            }
        const PixelBox r{x, y, x + pick(-1, 40), y + pick(-1, 40)};
        found.clear();
        grid.Meeting(r, found);
        std::sort(found.begin(), found.end());
        for (std::uint32_t i = 0; i < boxes.size(); ++i)
            if (!r.Empty() && !boxes[i].Empty() && boxes[i].Meets(r)) {
                ASSERT_TRUE(std::binary_search(found.begin(), found.end(), i)) << i;
            }
    }
}

// Two surfaces over the same picture: one painted step by step as PaintChanges does, the
// other through a MarkPainter holding the steps that end with the connectors.
TEST(MarkPainter, DrawsThePicturePaintingEveryStepInTurnGives) {
    std::mt19937 random(11);
    for (int round = 0; round < 30; ++round) {
        Configuration state = RandomDiagram(random, 6 + round * 3);
        IndexDiagram(state);
        RasterSurface stepwise, held;
        stepwise.Picture() = Bitmap(kSide, kSide, {200, 220, 240});
        held.Picture() = stepwise.Picture();
        MarkPainter painter;
        painter.Reset();
        const auto pick = [&random](int lo, int hi) {
            return std::uniform_int_distribution<int>(lo, hi)(random);
        };
        for (int step = 0; step < 60; ++step) {
            Changes changes;
            const int what = pick(0, 19);
            const bool endsWithConnectors =
                what != 1 && (what != 2 || state.Model.ConfigLines.empty());
            // Before a step that changes marks without painting the connectors, what is held
            // is drawn, as the session never holds across such a step.
            if (!endsWithConnectors && painter.Holding()) {
                painter.Flush(state, held);
                ASSERT_TRUE(held.Picture().EncodeBmp() == stepwise.Picture().EncodeBmp())
                    << "round " << round << ", step " << step;
            }
            if (what == 0) {
                ClearChoices(state, pick(0, 1) == 0, pick(0, 1) == 0, changes);
            } else if (what == 1) {
                UnmarkAllLines(state, pick(0, 1) == 0, changes);
            } else if (what == 2 && !state.Model.ConfigLines.empty()) {
                const auto i = static_cast<std::size_t>(
                    pick(0, static_cast<int>(state.Model.ConfigLines.size()) - 1));
                SetLineMark(state, {false, i}, pick(0, 1) == 0, changes);
            } else {
                for (const LineRef line : LinesAt(state, pick(0, kSide + 30), pick(0, kSide + 30)))
                    ChooseLine(state, line, changes);
            }
            PaintChanges(state, changes.Paints, stepwise);
            painter.Hold(state, changes.Paints);
            if (!endsWithConnectors || pick(0, 3) == 0) {
                painter.Flush(state, held);
                ASSERT_TRUE(held.Picture().EncodeBmp() == stepwise.Picture().EncodeBmp())
                    << "round " << round << ", step " << step;
            }
        }
        painter.Flush(state, held);
        ASSERT_TRUE(held.Picture().EncodeBmp() == stepwise.Picture().EncodeBmp()) << round;
    }
}

} // namespace
} // namespace quorvel
