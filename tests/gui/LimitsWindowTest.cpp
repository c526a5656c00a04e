// The limits and the settings finder in the real window, off-screen: red boxes with their
// reason, the list of violations, and "Find settings..." applied to a result.

#include "TestSupport.h"
#include "gui/CodeWindow.h"
#include "gui/FindSettingsDialog.h"
#include "gui/HelpWindow.h"
#include "gui/MainWindow.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace quorvel::gui {
namespace {

class LimitsWindowTest : public ::testing::Test {
protected:
    test::KeepCurrentDirectory keepCwd;
    test::ScratchDir dir;
    TForm2 code;
    TForm3 help;
    std::unique_ptr<TForm1> window;
    std::vector<std::string> messages;

    void SetUp() override {
        window = std::make_unique<TForm1>(SessionPaths{std::string(QUORVEL_BUILD_DIR) + "/",
                                                       dir.File("Quorvel_Configuration.ini")},
                                          &code, &help);
        window->SetMessagePresenter([this](const std::string& m) { messages.push_back(m); });
        window->show();
        QApplication::processEvents();
        window->PIC1()->trigger();
        const auto items = window->ListBox1()->findItems("dsPIC33FJ128GP802", Qt::MatchExactly);
        ASSERT_FALSE(items.isEmpty());
        window->ListBox1()->setCurrentItem(items.first());
        QTest::mouseClick(window->ListBox1()->viewport(), Qt::LeftButton, {},
                          window->ListBox1()->visualItemRect(items.first()).center());
        QApplication::processEvents();
        ASSERT_TRUE(messages.empty());
    }

    void TearDown() override { window.reset(); }

    void Click(int x, int y) {
        QTest::mouseClick(window->Image1(), Qt::LeftButton, {}, QPoint(x, y));
    }

    void Type(int box, const QString& text) {
        ValueBox* b = window->ValueBoxAt(box);
        b->setFocus();
        b->selectAll();
        QTest::keyClicks(b, text);
        QTest::keyClick(b, Qt::Key_Return);
        QApplication::processEvents();
    }

    std::string BoxText(int i) const { return window->ValueBoxAt(i)->text().toStdString(); }
    std::string Violations() const { return window->Violations()->text().toStdString(); }
};

TEST_F(LimitsWindowTest, ABrokenLimitTurnsItsBoxRedWithTheReason) {
    EXPECT_EQ(Violations(), "");
    // Without a problem the tooltip is the box's whole text.
    EXPECT_EQ(window->ValueBoxAt(4)->toolTip(), window->ValueBoxAt(4)->text());
    Click(588, 370); // FNOSC: primary oscillator with PLL
    Click(29, 204);  // POSCMD: HS crystal
    Type(0, QStringLiteral("20"));
    EXPECT_EQ(BoxText(4), "500 Mhz"); // the number is still shown
    const std::string fvco =
        "Fvco = 500 Mhz is above its maximum of 200 Mhz (PLL output range 100 to 200 MHz)";
    EXPECT_EQ(window->ValueBoxAt(4)->toolTip().toStdString(), fvco);
    EXPECT_NE(Violations().find(fvco), std::string::npos);
    // Red: the box's own pixels.
    const QImage red = window->ValueBoxAt(4)->grab().toImage();
    const QColor inside = red.pixelColor(2, red.height() / 2);
    EXPECT_GT(inside.red(), 200);
    EXPECT_LT(inside.green(), 150);
    // Back within the limits, the box and the list are clear again.
    Type(0, QStringLiteral("8"));
    Click(516, 119); // M = 40
    Click(614, 250); // N2 = 2
    EXPECT_EQ(BoxText(6), "80 Mhz");
    EXPECT_EQ(window->ValueBoxAt(4)->toolTip(), window->ValueBoxAt(4)->text());
    EXPECT_EQ(Violations(), "");
    EXPECT_TRUE(messages.empty());
}

TEST_F(LimitsWindowTest, TypedMultiplierReachesAValueNoLineOffers) {
    EXPECT_EQ(BoxText(9), "50"); // the default line's M
    Click(588, 370);
    Click(29, 191);
    Type(0, QStringLiteral("8"));
    Type(9, QStringLiteral("39"));
    EXPECT_EQ(BoxText(4), "156 Mhz");
    window->Code1()->trigger();
    QApplication::processEvents();
    EXPECT_NE(code.Memo1()->toPlainText().toStdString().find(
                  "PLLFBD := (PLLFBD and (not 511)) or 37; // PLLDIV: M = 39"),
              std::string::npos);
    Click(516, 119); // the line M = 40 shows its number in the box
    EXPECT_EQ(BoxText(9), "40");
}

TEST_F(LimitsWindowTest, FindSettingsAppliesTheChosenResult) {
    Click(29, 191); // XT crystal
    Type(0, QStringLiteral("8"));
    window->FindSettings1()->trigger();
    QApplication::processEvents();
    FindSettingsDialog* dialog = window->FindSettings();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->isVisible());
    const int fosc = dialog->BoxChooser()->findText(QStringLiteral("Fosc"));
    ASSERT_GE(fosc, 0);
    dialog->BoxChooser()->setCurrentIndex(fosc);
    dialog->Target()->setText(QStringLiteral("80"));
    QTest::mouseClick(dialog->FindButton(), Qt::LeftButton);
    ASSERT_GT(dialog->Results()->count(), 0) << dialog->Status()->text().toStdString();
    dialog->Results()->setCurrentRow(0);
    QTest::mouseClick(dialog->ApplyButton(), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(BoxText(6), "80 Mhz");
    EXPECT_EQ(BoxText(7), "40 Mhz");
    EXPECT_EQ(Violations(), "");
    EXPECT_TRUE(messages.empty());
    // The choices are ordinary ones: the label shows the chosen oscillator mode.
    EXPECT_NE(window->Label(2)->text().toStdString().find("PLL"), std::string::npos);
}

} // namespace
} // namespace quorvel::gui
