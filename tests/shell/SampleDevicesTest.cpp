#include "SampleScenarios.h"
#include "TestSupport.h"
#include "shell/HeadlessViews.h"
#include "shell/Session.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

// The shipped data as the program directory, with a fresh settings file (whose defaults
// point at the shipped definitions).
struct ShippedProgram {
    test::KeepCurrentDirectory keepCwd;
    test::ScratchDir dir;
    RasterSurface surface;
    MemoryValueBoxes boxes;
    MemoryLabels labels;
    RecordedMessages messages;
    MemoryClipboard clipboard;
    Session core{{std::string(QUORVEL_SHIPPED_DATA_DIR) + "/", dir.File("settings.ini")},
                 {surface, boxes, labels, messages, clipboard}};
};

class SampleDevicesTest : public ::testing::TestWithParam<test::SampleScenario>,
                          protected ShippedProgram {};

TEST_P(SampleDevicesTest, ReproducesTheWorkedExample) {
    const test::SampleScenario& s = GetParam();
    core.FormShow();
    ASSERT_TRUE(core.ListBox1Click(s.Device));
    ASSERT_TRUE(messages.Messages().empty()) << messages.Messages().front();
    for (const auto& [x, y] : s.Clicks)
        core.Image1MouseDown(MouseButton::Left, x, y);
    if (s.Input != nullptr) {
        boxes.SetText(0, s.Input);
        core.BoxEdited(0, s.Input);
        core.Calculate1Click();
    }
    std::vector<std::string> shown;
    for (int k = 0; k < kValueBoxCount; ++k)
        if (boxes.Box(k).visible)
            shown.push_back(boxes.Text(k));
    EXPECT_EQ(shown, s.Boxes);
    core.Code1Click();
    EXPECT_EQ(core.CodeLines(), s.Code);
    EXPECT_TRUE(messages.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Shipped, SampleDevicesTest, ::testing::ValuesIn(test::SampleScenarios()),
                         [](const auto& info) { return std::string(info.param.Name); });

class SampleDeviceList : public ::testing::Test, protected ShippedProgram {};

TEST_F(SampleDeviceList, EveryListedDeviceLoadsWithoutAMessage) {
    core.FormShow();
    ASSERT_GE(core.Devices().DeviceTypes.size(), 3u);
    for (const TPic_Type& device : core.Devices().DeviceTypes) {
        core.LoadDevice(device.Name);
        EXPECT_TRUE(messages.Messages().empty()) << device.Name;
        EXPECT_TRUE(core.CommandsVisible()) << device.Name;
        EXPECT_FALSE(core.Model().Formulas.empty()) << device.Name;
    }
}

} // namespace
} // namespace quorvel
