#include "util/SafeWrite.h"

#include "TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

namespace fs = std::filesystem;

TEST(SafeWrite, ReplacesThroughLinksKeepingTheModeAndNothingElseBeside) {
    test::ScratchDir dir;
    const std::string target = dir.Write("real/a.qcfg", "old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(target, dir.File("link.qcfg"));
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(dir.File("link.qcfg"), "new", error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir.File("link.qcfg")));
    EXPECT_EQ(test::ReadFile(target), "new");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("real")), fs::directory_iterator()), 1)
        << "no temporary file stays behind";
    ASSERT_TRUE(WriteFileAtomically(dir.File("fresh.qcfg"), "", error)) << error;
    EXPECT_TRUE(fs::exists(dir.File("fresh.qcfg")));
}

TEST(SafeWrite, RefusesWhatCannotBeReplacedAndLeavesItAsItWas) {
    test::ScratchDir dir;
    std::string error;
    fs::create_directory(dir.File("sub"));
    EXPECT_FALSE(WriteFileAtomically(dir.File("sub"), "x", error));
    EXPECT_TRUE(fs::is_directory(dir.File("sub")));
    EXPECT_FALSE(WriteFileAtomically(dir.File("missing/dir/x.qcfg"), "x", error));
    EXPECT_FALSE(error.empty());
    const std::string readOnly = dir.Write("ro.qcfg", "kept");
    fs::permissions(readOnly, fs::perms::owner_read);
    EXPECT_FALSE(WriteFileAtomically(readOnly, "x", error));
    EXPECT_EQ(test::ReadFile(readOnly), "kept");
    fs::create_symlink("loop2", dir.File("loop1"));
    fs::create_symlink("loop1", dir.File("loop2"));
    EXPECT_FALSE(WriteFileAtomically(dir.File("loop1"), "x", error));
}

} // namespace
} // namespace quorvel
