// The value boxes of the shipped devices, in the window and in `quorvel render`: every
// digit is visible, the texts are the command line's, and both draw the same pixels.

#include "CliTestSupport.h"
#include "SampleScenarios.h"
#include "TestSupport.h"
#include "gui/CodeWindow.h"
#include "gui/HelpWindow.h"
#include "gui/MainWindow.h"
#include "paint/ValueBoxPainting.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace quorvel::gui {
namespace {

// The text of box k in `quorvel run --json` output.
std::string JsonBoxText(const std::string& json, int k) {
    const std::size_t at = json.find("{\"index\":" + std::to_string(k) + ",");
    if (at == std::string::npos)
        return "(no box)";
    const std::string key = "\"text\":\"";
    const std::size_t start = json.find(key, at) + key.size();
    return json.substr(start, json.find('"', start) - start);
}

// The rightmost column inked by `text` drawn in the boxes' font from x = 0, with no clip.
int InkedRight(const QString& text) {
    QImage image(1000, paint::kValueBoxHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(paint::ValueBoxFont());
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, 0, 1000, paint::kValueBoxHeight), Qt::AlignVCenter | Qt::AlignLeft,
                     text);
    painter.end();
    int right = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                right = std::max(right, x);
    return right;
}

// A sample scenario by name, with another text typed into the input box where one is given.
struct BoxCase {
    BoxCase(const char* scenario, const char* input = nullptr) : Scenario(scenario), Input(input) {}
    const char* Scenario;
    const char* Input;
};

class ValueBoxesTest : public ::testing::TestWithParam<BoxCase> {};

TEST_P(ValueBoxesTest, EveryDigitIsVisibleAndTheRenderDrawsTheSameDiagram) {
    const test::SampleScenario* found = nullptr;
    for (const test::SampleScenario& s : test::SampleScenarios())
        if (std::string(s.Name) == GetParam().Scenario)
            found = &s;
    ASSERT_NE(found, nullptr);
    const test::SampleScenario& s = *found;
    const char* input = GetParam().Input != nullptr ? GetParam().Input : s.Input;
    test::KeepCurrentDirectory keepCwd;
    test::ScratchDir dir;

    TForm2 code;
    TForm3 help;
    TForm1 window({std::string(QUORVEL_BUILD_DIR) + "/", dir.File("Quorvel_Configuration.ini")},
                  &code, &help);
    std::vector<std::string> messages;
    window.SetMessagePresenter([&messages](const std::string& m) { messages.push_back(m); });
    window.show();
    QApplication::processEvents();
    window.PIC1()->trigger();
    const auto items = window.ListBox1()->findItems(s.Device, Qt::MatchExactly);
    ASSERT_FALSE(items.isEmpty());
    window.ListBox1()->setCurrentItem(items.first());
    QTest::keyClick(window.ListBox1(), Qt::Key_Return);
    std::vector<std::string> args = {"run", s.Device};
    for (const auto& [x, y] : s.Clicks) {
        QTest::mouseClick(window.Image1(), Qt::LeftButton, {}, QPoint(x, y));
        args.push_back("--click");
        args.push_back(std::to_string(x) + "," + std::to_string(y));
    }
    if (input != nullptr) {
        QTest::mouseClick(window.ValueBoxAt(0), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::keyClicks(window.ValueBoxAt(0), input);
        QTest::keyClick(window.ValueBoxAt(0), Qt::Key_Return);
        args.push_back("--box");
        args.push_back(std::string("0=") + input);
    }
    ASSERT_TRUE(messages.empty());
    const std::string png = dir.File("render.png");
    args.insert(args.end(), {"--json", "--png", png});
    const test::CliResult cli = test::RunQuorvel(args, "", dir.Path());
    // A set-up that breaks a limit of the diagram (7.3728 MHz below the PLL input range) ends
    // with status 2, as the window lists it.
    ASSERT_EQ(cli.ExitCode, window.Core().Violations().empty() ? 0 : 2) << cli.Err;

    const QRect diagram = window.Image1()->rect();
    for (int k = 0; k < kValueBoxCount; ++k) {
        const ValueBox* box = window.ValueBoxAt(k);
        if (!box->isVisible())
            continue;
        const std::string text = box->text().toStdString();
        EXPECT_EQ(text, JsonBoxText(cli.Out, k)) << "box " << k;
        EXPECT_TRUE(diagram.contains(box->geometry())) << "box " << k << " is cut by the edge";
        EXPECT_LT(paint::kValueBoxTextLeft + InkedRight(box->text()), box->width())
            << "box " << k << " hides the end of \"" << text << "\"";
        // A box that breaks a limit has the reason as its tooltip, every other its whole text.
        EXPECT_EQ(box->toolTip().toStdString(),
                  box->Problem().isEmpty() ? text : box->Problem().toStdString())
            << "box " << k;
    }

    // The same diagram, pixel for pixel: the text box being edited draws its cursor, so the
    // comparison is made with the focus elsewhere.
    window.ValueBoxAt(0)->clearFocus();
    QApplication::processEvents();
    const QImage shown = window.Image1()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage rendered =
        QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), rendered.size());
    int differing = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) != rendered.pixel(x, y))
                ++differing;
    EXPECT_EQ(differing, 0) << "pixels that differ between the window and the render";
}

// After loading and after the README's examples on each sample device, and with the longest
// results of the diagrams: Fvco of 147.456 and 158.455 MHz.
INSTANTIATE_TEST_SUITE_P(ShippedDevices, ValueBoxesTest,
                         ::testing::Values(BoxCase{"Pic18Defaults"}, BoxCase{"Pic18Internal64MHz"},
                                           BoxCase{"DsPicDefaults"},
                                           BoxCase{"DsPicCrystal8MHzTo80MHz"},
                                           BoxCase{"DsPicFrcWithPll"}, BoxCase{"Pic32Defaults"},
                                           BoxCase{"Pic32Crystal8MHzTo80MHz"},
                                           BoxCase{"Pic32Crystal8MHzTo80MHz", "7.3728"}));

TEST(ShippedLabels, EveryDescriptionOfEveryShippedDeviceFitsTheDefaultWindow) {
    test::KeepCurrentDirectory keepCwd;
    test::ScratchDir dir;
    TForm2 code;
    TForm3 help;
    TForm1 window({std::string(QUORVEL_BUILD_DIR) + "/", dir.File("Quorvel_Configuration.ini")},
                  &code, &help);
    std::vector<std::string> messages;
    window.SetMessagePresenter([&messages](const std::string& m) { messages.push_back(m); });
    window.show();
    QApplication::processEvents();
    int devices = 0;
    for (const TPic_Type& device : window.Core().Devices().DeviceTypes) {
        if (device.Name.empty())
            continue;
        ++devices;
        window.Core().LoadDevice(device.Name);
        ASSERT_TRUE(messages.empty()) << device.Name;
        // Every setting's text shows once its line is chosen.
        const std::vector<TLine_> lines = window.Core().Model().ConfigLines;
        for (const TLine_& line : lines) {
            window.Image1MouseDown(Qt::LeftButton, line.X1, line.Y1);
            for (int n = 1; n <= 40; ++n) {
                const auto* label = qobject_cast<const ElidedLabel*>(window.Label(n));
                ASSERT_NE(label, nullptr);
                EXPECT_FALSE(label->Elided())
                    << device.Name << ": \"" << label->text().toStdString() << "\" is cut, "
                    << label->fontMetrics().horizontalAdvance(label->text()) << " pixels wide";
            }
        }
    }
    EXPECT_GE(devices, 3);
}

} // namespace
} // namespace quorvel::gui
