#include "util/TextFile.h"

#include "TestSupport.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

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
    // Files larger than one read, and empty ones.
    std::string large(3 << 20, 'a');
    for (std::size_t i = 0; i < large.size(); i += 4093)
        large[i] = static_cast<char>(i);
    ASSERT_TRUE(ReadWholeFile(dir.Write("large", large), contents));
    EXPECT_EQ(contents, large);
    ASSERT_TRUE(ReadWholeFile(dir.Write("empty", ""), contents));
    EXPECT_EQ(contents, "");
}

TEST(ReadWholeFile, RefusesAFifoWithoutWaitingForAWriter) {
    test::ScratchDir dir;
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    std::filesystem::create_symlink(fifo, dir.File("link"));
    std::string contents = "unchanged";
    EXPECT_FALSE(ReadWholeFile(fifo, contents)); // opening it would block forever
    EXPECT_FALSE(ReadWholeFile(dir.File("link"), contents));
    EXPECT_EQ(contents, "unchanged");
    EXPECT_FALSE(FileExists(fifo));
}

TEST(ReadFileInPieces, HandsOverTheFileInOrderAndStopsWhenAsked) {
    test::ScratchDir dir;
    std::string bytes(10000, 'a');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 31 % 251);
    const std::string path = dir.Write("f.bin", bytes);
    for (const std::size_t size : {std::size_t{1}, std::size_t{3}, std::size_t{4096},
                                   std::size_t{10000}, std::size_t{1} << 20}) {
        std::string joined;
        std::size_t largest = 0;
        std::size_t lastAt = std::string::npos; // where the piece marked last ended
        ASSERT_TRUE(ReadFileInPieces(path, size, [&](std::string_view piece, bool last) {
            EXPECT_EQ(lastAt, std::string::npos) << "a piece after the last";
            joined.append(piece);
            largest = std::max(largest, piece.size());
            if (last)
                lastAt = joined.size();
            return true;
        }));
        EXPECT_EQ(joined, bytes) << size;
        EXPECT_LE(largest, size);
        EXPECT_EQ(lastAt, bytes.size()) << size;
    }
    int calls = 0;
    EXPECT_TRUE(ReadFileInPieces(path, 100, [&](std::string_view, bool) { return ++calls < 3; }));
    EXPECT_EQ(calls, 3);
    calls = 0;
    EXPECT_TRUE(ReadFileInPieces(dir.Write("empty", ""), 100, [&](std::string_view, bool) {
        ++calls;
        return true;
    }));
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(
        ReadFileInPieces(dir.File("missing"), 100, [](std::string_view, bool) { return true; }));
    EXPECT_FALSE(ReadFileInPieces(dir.Path(), 100, [](std::string_view, bool) { return true; }));
}

} // namespace
} // namespace quorvel
