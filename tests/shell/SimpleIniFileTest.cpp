#include "shell/SimpleIniFile.h"

#include "TestSupport.h"

#include <array>
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

namespace quorvel {
namespace {

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
        // Line ends become LF, a lone CR goes, a last line without line end gets one.
        {"a\r\n[S]\r\nk=1\rx\n\n", {{"S", "k", "2"}}, "a\n[S]\nk=2\n\n"},
        {"[S]\nk=1", {{"S", "K", "2"}}, "[S]\nK=2\n"},
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

TEST(TSimpleIniFile, FailedWriteLeavesTheOldFileWhole) {
    test::ScratchDir dir;
    const std::string path = dir.Write("c.ini", "[PIC]\nvP=/old\n");
    // A directory where the temporary file would go makes the write fail, even for root.
    std::filesystem::create_directory(path + ".tmp");
    TSimpleIniFile ini(path);
    ini.WriteString("PIC", "vP", "/new");
    std::string error;
    EXPECT_FALSE(ini.UpdateFile(error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(test::ReadFile(path), "[PIC]\nvP=/old\n");
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
