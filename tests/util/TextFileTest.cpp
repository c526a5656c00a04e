#include "util/TextFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(SplitLines, HandlesEveryLineEnd) {
    EXPECT_EQ(SplitLines("a\nb\r\nc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(SplitLines("a\n"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(SplitLines("a\n\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(SplitLines("a\rb\n"), (std::vector<std::string>{"ab"})) << "lone CR dropped";
    EXPECT_EQ(SplitLines(""), std::vector<std::string>{});
    EXPECT_EQ(SplitLines(std::string("a\0b\n", 4)),
              (std::vector<std::string>{std::string("a\0b", 3)}));
}

TEST(ReadWholeFile, ReadsBytesAndReportsMissingFiles) {
    test::ScratchDir dir;
    const std::string path = dir.Write("f.bin", std::string("x\0y\xFF", 4));
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(path, contents));
    EXPECT_EQ(contents, std::string("x\0y\xFF", 4));
    EXPECT_FALSE(ReadWholeFile(dir.File("missing"), contents));
    EXPECT_FALSE(ReadWholeFile(dir.Path(), contents)) << "a directory is no file to read";
    EXPECT_TRUE(FileExists(path));
    EXPECT_FALSE(FileExists(dir.Path())) << "a directory is not a file";
}

} // namespace
} // namespace quorvel
