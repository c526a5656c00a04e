#include "diagram/Model.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(NameList, LooksUpWithoutRegardToCase) {
    NameList names;
    names.Add("FOSC");
    names.Add("PLLEN");
    EXPECT_EQ(names.IndexOf("fosc"), 0);
    EXPECT_EQ(names.IndexOf("PllEn"), 1);
    EXPECT_EQ(names.IndexOf("FCMEN"), -1);
    names.Clear();
    EXPECT_EQ(names.IndexOf("FOSC"), -1);
    EXPECT_EQ(names.Count(), 0u);
}

} // namespace
} // namespace quorvel
