#include "util/KivLists.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(TIntegerList, StartsEmptyAndReadsZeroOutside) {
    TIntegerList list;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 10);
    EXPECT_EQ(list.Get(0), 0);
    EXPECT_EQ(list.Get(-1), 0);
    EXPECT_EQ(list.Get(1000000), 0);
}

TEST(TIntegerList, GrowsWhenTheTenthEntryIsAppended) {
    TIntegerList list;
    for (int i = 1; i <= 9; ++i)
        list.Add(i * 11);
    EXPECT_EQ(list.Capacity(), 10);
    list.Add(110);
    EXPECT_EQ(list.Count(), 10);
    EXPECT_EQ(list.Capacity(), 12);
    EXPECT_EQ(list.Get(9), 110);
    EXPECT_EQ(list.Get(10), 0);
    EXPECT_EQ(list.Get(11), 0);
}

TEST(TIntegerList, CapacityRunsByQuarters) {
    TIntegerList list;
    std::vector<int> capacities{list.Capacity()};
    for (int i = 0; i < 70; ++i) {
        list.Add(i);
        if (list.Capacity() != capacities.back())
            capacities.push_back(list.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{10, 12, 15, 18, 22, 27, 33, 41, 51, 63, 78}));
    for (int i = 0; i < 70; ++i)
        EXPECT_EQ(list.Get(i), i);
}

TEST(TIntegerList, KeepsDuplicatesInOrder) {
    TIntegerList list;
    list.Add(7);
    list.Add(7);
    list.Add(-3);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Get(0), 7);
    EXPECT_EQ(list.Get(1), 7);
    EXPECT_EQ(list.Get(2), -3);
}

} // namespace
} // namespace quorvel
