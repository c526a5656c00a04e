#include "shell/SimpleIniFile.h"

#include "TestSupport.h"

#include <array>
#include <atomic>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace quorvel {
namespace {

std::set<std::string> Entries(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(TSimpleIniFile, ReadsLikeTheProfileFunctions) {
    test::ScratchDir dir;
    const std::string path = dir.Write("a.ini", "junk line without equals\r\n"
                                                "[pic]\r\n"
                                                "  VP =  C:\\Defs\\Pascal  \r\n"
                                                "vp=second value loses\r\n"
                                                "vB=\r\n"
                                                "vC=\"quoted path\"\r\n"
                                                "[PIC]\r\n"
                                                "other=later section with the same name\r\n");
    const TSimpleIniFile ini(path);
    EXPECT_EQ(ini.ReadString("PIC", "vP", "default"), "C:\\Defs\\Pascal");
    EXPECT_TRUE(ini.ValueExists("Pic", "vb"));
    EXPECT_EQ(ini.ReadString("PIC", "vB", "default"), "") << "an empty value stays empty";
    EXPECT_EQ(ini.ReadString("PIC", "vC", ""), "quoted path");
    EXPECT_FALSE(ini.ValueExists("PIC", "other")) << "the first section of a name wins";
    EXPECT_FALSE(ini.ValueExists("dsPIC", "vP"));
    EXPECT_EQ(ini.ReadString("dsPIC", "vP", "fallback"), "fallback");
}

TEST(TSimpleIniFile, WritesNewKeysIntoTheirSections) {
    test::ScratchDir dir;
    const std::string path = dir.Write("b.ini", "[PIC]\nvP=/a\n\n[dsPIC]\nvP=/b\n");
    {
        TSimpleIniFile ini(path);
        ini.WriteString("PIC", "vB", "/c");
        ini.WriteString("dsPIC", "VP", "/d");
        ini.WriteString("PIC32", "vC", "/e");
        std::string error;
        ASSERT_TRUE(ini.UpdateFile(error)) << error;
    }
    EXPECT_EQ(test::ReadFile(path), "[PIC]\nvP=/a\nvB=/c\n\n[dsPIC]\nVP=/d\n\n[PIC32]\nvC=/e\n");
    const TSimpleIniFile again(path);
    EXPECT_EQ(again.ReadString("pic", "vb", ""), "/c");
    EXPECT_EQ(again.ReadString("PIC32", "vC", ""), "/e");
}

TEST(TSimpleIniFile, ReadsAfterWritesThatMoveTheSectionsBehind) {
    // Sections once found are remembered; a write that moves them must not leave a reader
    // at their old places.
    TSimpleIniFile ini = TSimpleIniFile::FromText("[PIC]\nvP=/a\n[dsPIC]\nvP=/b\n[PIC32]\nvP=/c\n");
    EXPECT_EQ(ini.ReadString("dsPIC", "vP", ""), "/b");
    EXPECT_EQ(ini.ReadString("PIC32", "vP", ""), "/c");
    ini.WriteString("PIC", "vB", "/longer value that moves everything after it");
    EXPECT_EQ(ini.ReadString("dsPIC", "vP", ""), "/b");
    ini.WriteDefault("dsPIC", "vB", "/d");
    ini.WriteString("pic32", "VP", "/e");
    EXPECT_EQ(ini.ReadString("PIC32", "vP", ""), "/e");
    EXPECT_EQ(ini.ReadString("dsPIC", "vB", ""), "/d");
    EXPECT_EQ(ini.Text(), "[PIC]\nvP=/a\nvB=/longer value that moves everything after it\n"
                          "[dsPIC]\nvP=/b\nvB=/d\n[PIC32]\nVP=/e\n");
}

// The file text after writing `writes` (section, key, value) into a file holding `before`.
std::string AfterWrites(const std::string& before,
                        const std::vector<std::array<const char*, 3>>& writes) {
    test::ScratchDir dir;
    const std::string path = dir.Write("w.ini", before);
    TSimpleIniFile ini(path);
    for (const auto& [section, key, value] : writes)
        ini.WriteString(section, key, value);
    std::string error;
    EXPECT_TRUE(ini.UpdateFile(error)) << error;
    return test::ReadFile(path);
}

TEST(TSimpleIniFile, WritesKeepEveryOtherLine) {
    struct Case {
        const char* before;
        std::vector<std::array<const char*, 3>> writes;
        const char* after;
    };
    const Case cases[] = {
        // A replaced line keeps its line end; a lone CR is no line end.
        {"a\r\n[S]\r\nk=1\rx\n\n", {{"S", "k", "2"}}, "a\r\n[S]\r\nk=2\n\n"},
        {"[S]\nk=1", {{"S", "K", "2"}}, "[S]\nK=2"},
        // Added lines end as the file's first line does; a last line gets its line end only
        // when a line follows it.
        {"[S]\r\nk=1", {{"S", "n", "v"}}, "[S]\r\nk=1\r\nn=v\r\n"},
        {"; comment\r\n[S]\r\nk=1\r\n",
         {{"T", "n", "v"}},
         "; comment\r\n[S]\r\nk=1\r\n\r\n[T]\r\nn=v\r\n"},
        // A byte-order mark before the first section does not hide it, and stays.
        {"\xEF\xBB\xBF[S]\nk=1\n", {{"s", "n", "v"}}, "\xEF\xBB\xBF[S]\nk=1\nn=v\n"},
        // A new key goes after the section's last non-blank line, before blank lines and
        // before the next section.
        {"[S]\nk=1\n\n  \n[T]\n", {{"S", "n", "v"}}, "[S]\nk=1\nn=v\n\n  \n[T]\n"},
        {"[S]\n[T]\nk=1\n", {{"s", "n", "v"}}, "[S]\nn=v\n[T]\nk=1\n"},
        {"[S]\njunk\n", {{"S", "n", "v"}}, "[S]\njunk\nn=v\n"},
        // A new section follows a blank line unless the file ends with one (or is empty).
        {"", {{"S", "k", "v"}}, "[S]\nk=v\n"},
        {"x=1\n", {{"S", "k", "v"}}, "x=1\n\n[S]\nk=v\n"},
        {"x=1\n \t\n", {{"S", "k", "v"}}, "x=1\n \t\n[S]\nk=v\n"},
        // Replacing rewrites the first line of the key in its place, spelled as written.
        {"[S]\nk=1\nK=2\n", {{"S", "k", "3"}, {"S", "K", "4"}}, "[S]\nK=4\nK=2\n"},
        // Bytes of any value pass through.
        {"[S]\nk=\x01\xff\n", {{"S", "n", "\xfe"}}, "[S]\nk=\x01\xff\nn=\xfe\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AfterWrites(c.before, c.writes), c.after) << c.before;
}

TEST(TSimpleIniFile, ReadsLinesOfAnyEnding) {
    const TSimpleIniFile ini = TSimpleIniFile::FromText("[A]\rk=cr\r\n[B]\r\nk=crlf\n[C]\nk=last");
    EXPECT_EQ(ini.ReadString("A", "k", "none"), "none") << "a lone CR joins the lines";
    EXPECT_EQ(ini.ReadString("B", "k", ""), "crlf");
    EXPECT_EQ(ini.ReadString("C", "k", ""), "last");
}

TEST(TSimpleIniFile, SectionLinesMayStartWithBlanksAndTheFileWithAByteOrderMark) {
    const TSimpleIniFile ini = TSimpleIniFile::FromText(
        "\xEF\xBB\xBF [A]\nk=bom\n \t\r[B]\r\nk=blanks\n x[C]\nk=no section\n"
        "\t\xEF\xBB\xBF[D]\nk=no mark after a blank\n[E]\nk=last");
    EXPECT_EQ(ini.ReadString("A", "k", ""), "bom");
    EXPECT_EQ(ini.ReadString("B", "k", ""), "blanks");
    EXPECT_EQ(ini.ReadString("C", "k", "none"), "none");
    EXPECT_EQ(ini.ReadString("D", "k", "none"), "none");
    EXPECT_EQ(ini.ReadString("E", "k", ""), "last");
}

TEST(TSimpleIniFile, FailedWriteLeavesTheOldFileWhole) {
    test::ScratchDir dir;
    const std::string path = dir.Write("c.ini", "[PIC]\nvP=/old\n");
    // A file size limit makes the write of the temporary file fail, even for the superuser.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    TSimpleIniFile ini(path);
    ini.WriteString("PIC", "vP", "/new");
    std::string error;
    const bool written = ini.UpdateFile(error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(test::ReadFile(path), "[PIC]\nvP=/old\n");
    EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"c.ini"}) << "no temporary file stays";
}

TEST(TSimpleIniFile, WriteKeepsModeAndWritesThroughALink) {
    namespace fs = std::filesystem;
    test::ScratchDir dir;
    const std::string target = dir.Write("real/settings.ini", "[PIC]\r\nvP=/a\r\n");
    ::chmod(target.c_str(), 0600);
    fs::create_symlink("real/settings.ini", dir.File("link.ini"));
    TSimpleIniFile ini(dir.File("link.ini"));
    ini.WriteDefault("PIC", "vB", "/b");
    std::string error;
    ASSERT_TRUE(ini.UpdateFile(error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir.File("link.ini"))) << "the link stays a link";
    EXPECT_EQ(test::ReadFile(target), "[PIC]\r\nvP=/a\r\nvB=/b\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u) << "a private file stays private";
    EXPECT_EQ(Entries(dir.File("real")), std::set<std::string>{"settings.ini"});
}

TEST(TSimpleIniFile, PlantedLinkUnderTheOldTemporaryNameIsNotFollowed) {
    namespace fs = std::filesystem;
    test::ScratchDir dir;
    const std::string victim = dir.Write("victim.txt", "keep me\n");
    const std::string path = dir.Write("s.ini", "[PIC]\n");
    fs::create_symlink(victim, path + ".tmp");
    TSimpleIniFile ini(path);
    ini.WriteDefault("PIC", "vP", "/x");
    std::string error;
    ASSERT_TRUE(ini.UpdateFile(error)) << error;
    EXPECT_EQ(test::ReadFile(victim), "keep me\n");
    EXPECT_EQ(test::ReadFile(path), "[PIC]\nvP=/x\n");
}

TEST(TSimpleIniFile, ReadOnlyFileIsOnlyRead) {
    test::ScratchDir dir;
    const std::string path = dir.Write("r.ini", "[PIC]\nvP=/a\n");
    ::chmod(path.c_str(), 0444);
    {
        TSimpleIniFile ini(path);
        ini.WriteDefault("PIC", "vP", "/other");
        EXPECT_FALSE(ini.Modified()) << "an existing key needs no write";
        ini.WriteString("PIC", "vP", "/a");
        std::string error;
        EXPECT_TRUE(ini.UpdateFile(error)) << "rewriting a value as it is changes nothing";
    }
    TSimpleIniFile ini(path);
    ini.WriteDefault("PIC", "vB", "/b");
    std::string error;
    EXPECT_FALSE(ini.UpdateFile(error)) << "a read-only file is not replaced";
    EXPECT_EQ(error, std::strerror(EACCES));
    EXPECT_EQ(test::ReadFile(path), "[PIC]\nvP=/a\n");
}

TEST(TSimpleIniFile, FifoIsNeitherWaitedForNorReplaced) {
    test::ScratchDir dir;
    const std::string path = dir.File("fifo.ini");
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    TSimpleIniFile ini(path); // would block in open without a writer
    EXPECT_FALSE(ini.ValueExists("PIC", "vP"));
    ini.WriteDefault("PIC", "vP", "/x");
    std::string error;
    EXPECT_FALSE(ini.UpdateFile(error));
    EXPECT_EQ(error, "not a regular file");
    struct stat st {};
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(TSimpleIniFile, ConcurrentWritersLoseNoKey) {
    test::ScratchDir dir;
    const std::string path = dir.File("shared.ini");
    constexpr int kWriters = 12;
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int w = 0; w < kWriters; ++w)
        threads.emplace_back([&, w] {
            // Each reads before any writes, as parallel programs started together do.
            TSimpleIniFile ini(path);
            ini.WriteDefault("PIC", "k" + std::to_string(w), std::to_string(w));
            std::string error;
            if (!ini.UpdateFile(error))
                ++failures;
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(failures, 0);
    const TSimpleIniFile ini(path);
    for (int w = 0; w < kWriters; ++w)
        EXPECT_EQ(ini.ReadString("PIC", "k" + std::to_string(w), ""), std::to_string(w));
    EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"shared.ini"});
}

TEST(TSimpleIniFile, WritesIntoAMissingDirectoryFail) {
    test::ScratchDir dir;
    TSimpleIniFile ini(dir.File("no/such/dir/d.ini"));
    ini.WriteString("PIC", "vP", "/x");
    std::string error;
    EXPECT_FALSE(ini.UpdateFile(error));
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace quorvel
