#include "shell/Document.h"
#include "SampleScenarios.h"
#include "TestSupport.h"
#include "shell/ConfigurationDiff.h"
#include "shell/HeadlessViews.h"
#include "util/TextFile.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace quorvel {
namespace {

// Everything `quorvel run --json` shows of a session, and the picture.
struct Shown {
    std::string Device;
    std::vector<std::string> Labels;
    std::vector<std::string> Boxes;
    std::vector<bool> ConfigMarked;
    std::vector<bool> RegisterMarked;
    std::vector<std::string> Code;
    std::string Clipboard;
    std::vector<std::string> Messages;
    Bitmap Picture;
};

std::string BoxText(const ValueBoxState& box) {
    return std::to_string(box.left) + "," + std::to_string(box.top) +
           (box.visible ? " shown" : "") + (box.input ? " input" : "") +
           (box.stale ? " stale" : "") + " [" + box.text + "]";
}

// A session over the shipped data with a document, as the window has one.
struct Program {
    HeadlessViews Views;
    Session Core;
    Document File;

    Program(const std::string& settings, bool undo)
        : Core({std::string(QUORVEL_SHIPPED_DATA_DIR) + "/", settings}, Views.Views()),
          File(Core, undo) {
        Core.Perform(Action::Of(Action::Kind::Start));
    }

    Shown Show() {
        Core.Perform(Action::Of(Action::Kind::Code));
        Shown s;
        s.Device = Core.State().Device;
        for (int n = 1; n <= kLabelCount; ++n)
            s.Labels.push_back(Views.Labels.Caption(n));
        for (int k = 0; k < kValueBoxCount; ++k)
            s.Boxes.push_back(BoxText(Views.Boxes.Box(k)));
        s.ConfigMarked = Core.Model().ConfigLineMarked;
        s.RegisterMarked = Core.Model().RegisterLineMarked;
        s.Code = Core.CodeLines();
        s.Clipboard = Views.Clipboard.Text();
        s.Messages = Views.Messages.Messages();
        s.Picture = Views.Surface.Picture();
        return s;
    }
};

bool SamePicture(const Bitmap& a, const Bitmap& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() &&
           std::equal(a.Data(), a.Data() + static_cast<std::size_t>(a.Width()) * a.Height(),
                      b.Data());
}

void ExpectSame(const Shown& a, const Shown& b, const std::string& what) {
    EXPECT_EQ(a.Device, b.Device) << what;
    EXPECT_EQ(a.Labels, b.Labels) << what;
    EXPECT_EQ(a.Boxes, b.Boxes) << what;
    EXPECT_EQ(a.ConfigMarked, b.ConfigMarked) << what;
    EXPECT_EQ(a.RegisterMarked, b.RegisterMarked) << what;
    EXPECT_EQ(a.Code, b.Code) << what;
    EXPECT_EQ(a.Clipboard, b.Clipboard) << what;
    EXPECT_EQ(a.Messages, b.Messages) << what;
    EXPECT_TRUE(SamePicture(a.Picture, b.Picture)) << what << ": the pictures differ";
}

class DocumentTest : public ::testing::Test {
protected:
    test::KeepCurrentDirectory keepCwd;
    test::ScratchDir dir;
    Program original{dir.File("settings.ini"), false};
    Program reopened{dir.File("settings.ini"), false};

    // Saves the original's configuration, opens it in the other program and compares.
    void ExpectRoundTrip(const std::string& what) {
        const std::string path = dir.File("round.qcfg");
        std::string error;
        ASSERT_TRUE(original.File.Save(path, error)) << what << ": " << error;
        reopened.Views.Messages.Clear();
        ASSERT_TRUE(reopened.File.Open(path)) << what << "\n" << test::ReadFile(path);
        ExpectSame(original.Show(), reopened.Show(), what + "\n" + test::ReadFile(path));
    }

    void Choose(Program& p, const std::string& device) {
        p.Views.Messages.Clear();
        p.Core.Perform(Action::WithText(Action::Kind::ChooseDevice, device));
    }
};

TEST_F(DocumentTest, EveryShippedDeviceRoundTripsItsDefaults) {
    for (const TPic_Type& device : original.Core.Devices().DeviceTypes) {
        Choose(original, device.Name);
        ExpectRoundTrip(device.Name);
    }
}

TEST_F(DocumentTest, TheWorkedExamplesRoundTrip) {
    for (const test::SampleScenario& s : test::SampleScenarios()) {
        Choose(original, s.Device);
        for (const auto& [x, y] : s.Clicks)
            original.File.Perform(Action::At(Action::Kind::Click, x, y));
        if (s.Input != nullptr) {
            Action type = Action::WithText(Action::Kind::Box, s.Input);
            original.File.Perform(type);
        }
        ExpectRoundTrip(s.Name);
    }
}

TEST_F(DocumentTest, RandomClickSequencesRoundTrip) {
    std::mt19937 random(20261208);
    const auto& devices = original.Core.Devices().DeviceTypes;
    for (int sequence = 0; sequence < 200; ++sequence) {
        const std::string device =
            devices[static_cast<std::size_t>(sequence) % devices.size()].Name;
        Choose(original, device);
        const TModel& model = original.Core.Model();
        std::string what = device;
        const int clicks = 1 + static_cast<int>(random() % 12);
        for (int c = 0; c < clicks; ++c) {
            // Mostly on a line (anywhere along it), sometimes anywhere on the picture.
            const std::size_t pick =
                random() % (model.ConfigLines.size() + model.RegisterLines.size() + 2);
            int x = static_cast<int>(random() % 800);
            int y = static_cast<int>(random() % 900);
            if (pick < model.ConfigLines.size() + model.RegisterLines.size()) {
                const TLine_& line = pick < model.ConfigLines.size()
                                         ? model.ConfigLines[pick]
                                         : model.RegisterLines[pick - model.ConfigLines.size()];
                x = line.X1 + static_cast<int>(random() % (line.X2 - line.X1 + 1u));
                y = line.Y1 + static_cast<int>(random() % (line.Y2 - line.Y1 + 1u));
            }
            what += " " + std::to_string(x) + "," + std::to_string(y);
            original.File.Perform(Action::At(Action::Kind::Click, x, y));
        }
        if (random() % 4 == 0) {
            Action type = Action::WithText(Action::Kind::Box, std::to_string(random() % 40) + ".5");
            original.File.Perform(type);
            what += " box " + type.Text;
        }
        ExpectRoundTrip(what);
        if (HasFailure())
            return;
    }
}

TEST_F(DocumentTest, ClearedChoicesRoundTripAsNothingChosen) {
    Choose(original, "dsPIC33FJ128GP802");
    original.File.Perform(Action::Of(Action::Kind::ClearRegisters));
    original.File.Perform(Action::Of(Action::Kind::Calculate));
    ExpectRoundTrip("registers cleared");
    original.File.Perform(Action::Of(Action::Kind::ClearAll));
    original.File.Perform(Action::Of(Action::Kind::Calculate));
    ExpectRoundTrip("all cleared");
}

TEST_F(DocumentTest, AHandEditedFileOpensWithOneMessageNamingTheBadLine) {
    ASSERT_TRUE(reopened.File.Open(test::TestData("configuration/hand_edited.qcfg")));
    ASSERT_EQ(reopened.Views.Messages.Messages().size(), 1u);
    const std::string message = reopened.Views.Messages.Messages()[0];
    EXPECT_NE(message.find("line 10: "), std::string::npos) << message;
    EXPECT_NE(message.find("XTT"), std::string::npos) << message;
    int named = 0;
    for (const std::string& line : SplitLines(message))
        named += line.rfind("line ", 0) == 0 ? 1 : 0;
    EXPECT_EQ(named, 1) << "only the bad line is named: " << message;
    // The same choices made by name, the misspelt one left out.
    Choose(original, "dsPIC33FJ128GP802");
    for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
             {"FNOSC", "PRIPLL"}, {"PLLFBD<8:0>", "38"}, {"CLKDIV<7:6>", "0"}}) {
        Action set = Action::WithText(Action::Kind::Set, name);
        set.Value = value;
        original.File.Perform(set);
    }
    Action type = Action::WithText(Action::Kind::Box, "8");
    original.File.Perform(type);
    Shown expected = original.Show();
    Shown actual = reopened.Show();
    actual.Messages.clear();
    ExpectSame(expected, actual, "hand-edited file");
}

TEST_F(DocumentTest, TwoFilesDifferingInOnePllSettingDifferInItAndItsFrequencies) {
    // The README's 80 MHz example, then N2 = 4 instead of 2.
    Choose(original, "dsPIC33FJ128GP802");
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{588, 370}, {29, 191}})
        original.File.Perform(Action::At(Action::Kind::Click, x, y));
    original.File.Perform(Action::WithText(Action::Kind::Box, "8"));
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{516, 119}, {614, 250}})
        original.File.Perform(Action::At(Action::Kind::Click, x, y));
    const ConfigurationDocument before = original.File.Capture();
    original.File.Perform(Action::At(Action::Kind::Click, 614, 263));
    std::vector<std::string> lines;
    for (const ConfigurationDifference& d : CompareConfigurations(before, original.File.Capture()))
        lines.push_back(DifferenceText(d));
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "setting CLKDIV<7:6>: 0 -> 1",
                         "frequency Fpll: 80 Mhz -> 40 Mhz",
                         "frequency Fosc: 80 Mhz -> 40 Mhz",
                         "frequency Fcy: 40 Mhz -> 20 Mhz",
                         "frequency Fcpu: 40 Mhz -> 20 Mhz",
                     }));
}

TEST_F(DocumentTest, UndoAndRedoPutBackEveryStateAndItsPicture) {
    Program p(dir.File("settings.ini"), true);
    p.File.Perform(Action::WithText(Action::Kind::ChooseDevice, "dsPIC33FJ128GP802"));
    Action set = Action::WithText(Action::Kind::Set, "FNOSC");
    set.Value = "PRIPLL";
    Action pll = Action::WithText(Action::Kind::Set, "PLLFBD<8:0>");
    pll.Value = "38";
    Action fosc = Action::WithText(Action::Kind::Set, "FOSC");
    fosc.Value = "XT";
    const std::vector<Action> actions = {
        Action::At(Action::Kind::Click, 588, 370),
        set,
        Action::WithText(Action::Kind::Box, "8"),
        pll,
        Action::Of(Action::Kind::ClearRegisters), // results stale, register choices gone
        Action::Of(Action::Kind::Calculate),
        Action::Of(Action::Kind::ClearAll),
        Action::Of(Action::Kind::Reload),
        Action::WithText(Action::Kind::ChooseDevice, "PIC18F45K22"),
        fosc,
    };
    std::vector<Shown> shown{p.Show()};
    std::vector<Configuration> states{p.Core.State()};
    bool sawStale = false;
    for (const Action& action : actions) {
        p.File.Perform(action);
        // An action that changes nothing makes no step.
        if (SameConfiguration(p.Core.State(), states.back()))
            continue;
        shown.push_back(p.Show());
        states.push_back(p.Core.State());
        for (const ValueBoxState& box : states.back().Boxes)
            sawStale = sawStale || box.stale;
    }
    ASSERT_TRUE(p.Views.Messages.Messages().empty()) << p.Views.Messages.Messages().front();
    ASSERT_GE(states.size(), 9u);
    EXPECT_TRUE(sawStale) << "a clear leaves stale results";
    for (std::size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_TRUE(p.File.CanUndo()) << i;
        p.File.Undo();
        ExpectSame(p.Show(), shown[i - 1], "undo to step " + std::to_string(i - 1));
        EXPECT_TRUE(SameConfiguration(p.Core.State(), states[i - 1])) << i - 1;
        EXPECT_TRUE(p.Core.State().Model == states[i - 1].Model) << i - 1;
    }
    EXPECT_FALSE(p.File.CanUndo()) << "the first device load has nothing before it";
    for (std::size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(p.File.CanRedo()) << i;
        p.File.Redo();
        ExpectSame(p.Show(), shown[i], "redo to step " + std::to_string(i));
        EXPECT_TRUE(SameConfiguration(p.Core.State(), states[i])) << i;
        // Loading a device starts a new, unchanged document.
        if (states[i].Device != states[i - 1].Device) {
            EXPECT_FALSE(p.File.Modified()) << i;
        }
    }
    EXPECT_FALSE(p.File.CanRedo());
    // A click after undoing drops what could be redone.
    p.File.Undo();
    fosc.Value = "HSHP";
    p.File.Perform(fosc);
    EXPECT_FALSE(p.File.CanRedo());
}

TEST_F(DocumentTest, UndoingAFailedLoadMakesTheDeviceSavableAgain) {
    Program p(dir.File("settings.ini"), true);
    p.File.Perform(Action::WithText(Action::Kind::ChooseDevice, "PIC18F45K22"));
    Action set = Action::WithText(Action::Kind::Set, "PLLCFG");
    set.Value = "ON";
    p.File.Perform(set);
    const Shown loaded = p.Show();
    // Not in the device list: the previous diagram stays.
    p.File.Perform(Action::WithText(Action::Kind::ChooseDevice, "GHOST"));
    ASSERT_FALSE(p.Views.Messages.Messages().empty());
    EXPECT_FALSE(p.File.HasDevice());
    p.File.Undo();
    p.Views.Messages.Clear();
    EXPECT_TRUE(p.File.HasDevice());
    ExpectSame(p.Show(), loaded, "undo of a failed load");
    std::string error;
    EXPECT_TRUE(p.File.Save(dir.File("after.qcfg"), error)) << error;
    p.File.Redo();
    EXPECT_FALSE(p.File.HasDevice()) << "redo brings the failed load back";
}

TEST_F(DocumentTest, AFileThatCannotBeUsedChangesNothing) {
    Choose(reopened, "PIC18F45K22");
    const Shown before = reopened.Show();
    const std::string path = dir.Write("bad.qcfg", "Quorvel configuration 7\ndevice = X\n");
    EXPECT_FALSE(reopened.File.Open(path));
    ASSERT_EQ(reopened.Views.Messages.Messages().size(), 1u);
    EXPECT_NE(reopened.Views.Messages.Messages()[0].find("version 7"), std::string::npos);
    reopened.Views.Messages.Clear();
    ExpectSame(before, reopened.Show(), "after a refused file");
    EXPECT_FALSE(reopened.File.Open(dir.File("missing.qcfg")));
    const std::string other = dir.Write("other.qcfg", "Quorvel configuration 1\ndevice = PIC99\n");
    reopened.Views.Messages.Clear();
    EXPECT_FALSE(reopened.File.Open(other));
    ASSERT_FALSE(reopened.Views.Messages.Messages().empty());
}

} // namespace
} // namespace quorvel
