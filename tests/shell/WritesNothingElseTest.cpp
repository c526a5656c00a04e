// The program writes nothing but its settings file (and the clipboard): a whole session on
// every sample device leaves the program directory, with its definitions, diagrams and lists,
// exactly as it was, and adds only the settings file to the start directory.

#include "SampleScenarios.h"
#include "TestSupport.h"
#include "shell/HeadlessViews.h"
#include "shell/Session.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

namespace quorvel {
namespace {

namespace fs = std::filesystem;

// Every file below root, with its contents.
std::map<std::string, std::string> Snapshot(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), root).string()] =
                test::ReadFile(entry.path().string());
    return files;
}

TEST(Writes, ASessionOnEverySampleDeviceWritesOnlyTheSettingsFile) {
    test::KeepCurrentDirectory keepCwd;
    test::ScratchDir program;
    test::ScratchDir start;
    fs::copy(QUORVEL_SHIPPED_DATA_DIR, program.Path(), fs::copy_options::recursive);
    const auto programBefore = Snapshot(program.Path());
    ASSERT_FALSE(programBefore.empty());

    RasterSurface surface;
    MemoryValueBoxes boxes;
    MemoryLabels labels;
    RecordedMessages messages;
    MemoryClipboard clipboard;
    Session core{{program.Path() + "/", start.File("Quorvel_Configuration.ini")},
                 {surface, boxes, labels, messages, clipboard}};
    core.FormShow();
    for (const test::SampleScenario& s : test::SampleScenarios()) {
        ASSERT_TRUE(core.ListBox1Click(s.Device));
        for (const auto& [x, y] : s.Clicks)
            core.Image1MouseDown(MouseButton::Left, x, y);
        core.Image1MouseDown(MouseButton::Middle, 20, 20);
        core.Image1MouseDown(MouseButton::Right, 40, 40);
        core.Calculate1Click();
        core.Code1Click();
        (void)Session::ReadHelpText();
        core.ClearConfigbits1Click();
        core.ClearRegisterSettings1Click();
        core.ClearAll1Click();
        core.ReloadAll1Click();
    }
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_FALSE(clipboard.Text().empty());

    EXPECT_EQ(Snapshot(program.Path()), programBefore);
    const auto written = Snapshot(start.Path());
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written.begin()->first, "Quorvel_Configuration.ini");
}

} // namespace
} // namespace quorvel
