// The window and the command line run the same core: the same actions on a shipped device
// give the same labels, boxes, marks and code in both.

#include "CliTestSupport.h"
#include "SampleScenarios.h"
#include "TestSupport.h"
#include "gui/CodeWindow.h"
#include "gui/HelpWindow.h"
#include "gui/MainWindow.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace quorvel::gui {
namespace {

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (const char c : s) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string JsonBools(const std::vector<bool>& flags) {
    std::string out = "[";
    for (std::size_t i = 0; i < flags.size(); ++i)
        out += std::string(i ? "," : "") + (flags[i] ? "true" : "false");
    return out + "]";
}

TEST(FrontEndsAgree, RunJsonMatchesTheWindow) {
    test::KeepCurrentDirectory keepCwd;
    test::ScratchDir dir;
    const test::SampleScenario& s = test::SampleScenarios()[7];
    ASSERT_STREQ(s.Name, "DsPicCrystal8MHzTo80MHz");

    // The window, on the program directory the command line uses too.
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
    QTest::mouseClick(window.ListBox1()->viewport(), Qt::LeftButton, {},
                      window.ListBox1()->visualItemRect(items.first()).center());
    std::vector<std::string> args = {"run", s.Device};
    for (const auto& [x, y] : s.Clicks) {
        QTest::mouseClick(window.Image1(), Qt::LeftButton, {}, QPoint(x, y));
        args.push_back("--click");
        args.push_back(std::to_string(x) + "," + std::to_string(y));
    }
    window.ValueBoxAt(0)->setText(s.Input);
    QTest::keyClick(window.ValueBoxAt(0), Qt::Key_Return);
    args.push_back("--box");
    args.push_back(std::string("0=") + s.Input);
    window.Code1()->trigger();
    args.push_back("--code");
    args.push_back("--json");
    ASSERT_TRUE(messages.empty());

    const test::CliResult cli = test::RunQuorvel(args, "", dir.Path());
    ASSERT_EQ(cli.ExitCode, 0) << cli.Err;
    const std::string& json = cli.Out;

    std::string labels = "\"labels\":[";
    for (int n = 1; n <= kLabelCount; ++n) {
        const std::string caption = n == 41 ? "" : window.Label(n)->text().toStdString();
        labels += (n > 1 ? "," : "") + JsonString(caption);
    }
    EXPECT_NE(json.find(labels + "]"), std::string::npos) << labels << "\n" << json;
    for (int k = 0; k < kValueBoxCount; ++k) {
        const QLineEdit* box = window.ValueBoxAt(k);
        const std::string expected = "{\"index\":" + std::to_string(k) +
                                     ",\"x\":" + std::to_string(box->x()) +
                                     ",\"y\":" + std::to_string(box->y()) +
                                     ",\"text\":" + JsonString(box->text().toStdString()) +
                                     ",\"visible\":" + (box->isVisible() ? "true" : "false") +
                                     ",\"input\":" + (box->isReadOnly() ? "false" : "true") + "}";
        EXPECT_NE(json.find(expected), std::string::npos) << expected;
    }
    const TModel& model = window.Core().Model();
    EXPECT_NE(json.find("\"configMarked\":" + JsonBools(model.ConfigLineMarked)),
              std::string::npos);
    EXPECT_NE(json.find("\"registerMarked\":" + JsonBools(model.RegisterLineMarked)),
              std::string::npos);

    // `quorvel config` and `quorvel code` print exactly the two parts of the code window.
    args.erase(args.begin());
    args.pop_back();
    args.insert(args.begin(), "code");
    const test::CliResult codeOnly = test::RunQuorvel(args, "", dir.Path());
    args.front() = "config";
    const test::CliResult configOnly = test::RunQuorvel(args, "", dir.Path());
    EXPECT_EQ("// Configuration bits\n" + configOnly.Out + "\n// Register initialisation\n" +
                  codeOnly.Out,
              code.Memo1()->toPlainText().toStdString() + "\n");
}

} // namespace
} // namespace quorvel::gui
