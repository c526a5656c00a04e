#include "shell/SimpleIniFile.h"

#include "TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

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
