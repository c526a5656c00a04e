#include "shell/DefsDirectory.h"

#include "TestSupport.h"
#include "shell/HeadlessViews.h"
#include "shell/KivDirectories.h"
#include "shell/SimpleIniFile.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

class DefsDirectoryTest : public ::testing::Test {
protected:
    test::KeepCurrentDirectory keepCwd;
    test::ScratchDir dir;
    RecordedMessages messages;
    std::string programDir = dir.Path() + "/program";
    std::string settings = dir.Path() + "/start/" + kSettingsFileName;

    void SetUp() override {
        std::filesystem::create_directories(programDir + "/Defs");
        std::filesystem::create_directories(dir.Path() + "/start");
    }
};

TEST_F(DefsDirectoryTest, WritesTheNineDefaultsInSlotOrder) {
    dir.Write("program/Defs/DEV.vlk", "");
    const DefsResolution r = ResolveDefsDir("DEV", programDir, settings, messages);
    EXPECT_TRUE(r.Ok);
    EXPECT_TRUE(messages.Messages().empty());
    const std::string defs = programDir + "/Defs";
    std::string expected;
    for (const char* section : {"PIC", "dsPIC", "PIC32"})
        expected += std::string(expected.empty() ? "" : "\n") + "[" + section + "]\nvP=" + defs +
                    "\nvB=" + defs + "\nvC=" + defs + "\n";
    EXPECT_EQ(test::ReadFile(settings), expected);
    const TSimpleIniFile ini(settings);
    for (const DefsSlot& slot : kDefsSlots)
        EXPECT_EQ(ini.ReadString(slot.Section, slot.Key, "?"), defs);
    EXPECT_EQ(r.DefsDir, defs);
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(defs));
}

TEST_F(DefsDirectoryTest, KeepsExistingKeysEvenWhenEmptyAndLowestSlotWins) {
    dir.Write("basic-dspic/DEV.vlk", "");
    dir.Write("c-pic/DEV.vlk", "");
    dir.Write("start/" + std::string(kSettingsFileName), "[PIC]\nvP=\nvC=" + dir.Path() +
                                                             "/c-pic\n[dsPIC]\nvB=" + dir.Path() +
                                                             "/basic-dspic\n");
    const DefsResolution r = ResolveDefsDir("DEV", programDir, settings, messages);
    ASSERT_TRUE(r.Ok);
    EXPECT_EQ(r.DefsDir, dir.Path() + "/basic-dspic") << "slot 4 comes before slot 6";
    EXPECT_EQ(r.Paths[0], "") << "an existing empty key is kept";
    EXPECT_EQ(r.Paths[1], programDir + "/Defs") << "a missing key gets its default";
}

TEST_F(DefsDirectoryTest, TellsTheCodeLanguageTheSettingsStore) {
    dir.Write("program/Defs/DEV.vlk", "");
    EXPECT_EQ(ResolveDefsDir("DEV", programDir, settings, messages).StoredLanguage, std::nullopt)
        << "no key: the slot decides";
    dir.Write("start/" + std::string(kSettingsFileName), "[code]\nlanguage = Basic\n");
    EXPECT_EQ(ResolveDefsDir("DEV", programDir, settings, messages).StoredLanguage,
              CodeLanguage::Basic);
    dir.Write("start/" + std::string(kSettingsFileName), "[Code]\nLanguage=auto\n");
    EXPECT_EQ(ResolveDefsDir("DEV", programDir, settings, messages).StoredLanguage, std::nullopt);
}

TEST_F(DefsDirectoryTest, ReportsAMissingDefinition) {
    const DefsResolution r = ResolveDefsDir("NOPE", programDir, settings, messages);
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Defs directory not found"});
    // The details name the settings file and every directory searched, in slot order.
    const std::string& details = messages.Details().at(0);
    EXPECT_NE(details.find("settings file: " + settings + "\n"), std::string::npos) << details;
    EXPECT_NE(details.find("NOPE.vlk"), std::string::npos) << details;
    EXPECT_NE(details.find("\n[PIC] vP=" + programDir + "/Defs\n[dsPIC] vP="), std::string::npos)
        << details;
    EXPECT_TRUE(details.ends_with("\n[PIC32] vC=" + programDir + "/Defs")) << details;
}

TEST(DefsDirectoryMessages, DirectoryMessageHasItsLineBreak) {
    EXPECT_EQ(DirectoryMissingMessage("/x/Defs"),
              "Directory \"/x/Defs\" does not exist,\r\nPlease edit the "
              "\"Quorvel_Configuration.ini\" file to correct it.");
}

TEST_F(DefsDirectoryTest, ReportsAnUnwritableSettingsFileAndStillSearches) {
    dir.Write("program/Defs/DEV.vlk", "");
    const std::string unwritable = dir.Path() + "/missing-dir/" + kSettingsFileName;
    const DefsResolution r = ResolveDefsDir("DEV", programDir, unwritable, messages);
    EXPECT_FALSE(r.Ok) << "no key could be stored, so every slot is empty";
    ASSERT_EQ(messages.Messages().size(), 2u);
    EXPECT_NE(messages.Messages()[0].find("could not be written"), std::string::npos);
    EXPECT_EQ(messages.Messages()[1], "Defs directory not found");
}

} // namespace
} // namespace quorvel
