#include "GuiFixture.h"

#include <QClipboard>
#include <QGuiApplication>

namespace quorvel::gui {
namespace {

class InteractionTest : public GuiFixture {};

TEST_F(InteractionTest, ChoosingADeviceFromTheListLoadsIt) {
    WriteTestDevice();
    Start();
    ChooseDevice("TESTDEV");
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(main->ListBox1()->isVisible());
    EXPECT_TRUE(main->Code1()->isVisible());
    EXPECT_TRUE(main->Reset1()->isVisible());
    EXPECT_TRUE(main->Help1()->isVisible());
    EXPECT_FALSE(main->Calculate1()->isVisible());
    EXPECT_EQ(LabelText(1), "Oscillator selection");
    EXPECT_EQ(LabelText(2), "HS crystal");
    EXPECT_EQ(Pixel(30, 10), kRed);
    EXPECT_EQ(Pixel(30, 30), kBlue);
    EXPECT_EQ(Pixel(120, 30), kLime);
    EXPECT_TRUE(main->ValueBoxAt(0)->isVisible());
    EXPECT_FALSE(main->ValueBoxAt(0)->isReadOnly());
    EXPECT_TRUE(main->ValueBoxAt(1)->isReadOnly());
    EXPECT_EQ(main->ValueBoxAt(0)->pos(), QPoint(200, 10));
    EXPECT_EQ(BoxText(0), "4 Mhz");
    EXPECT_EQ(BoxText(1), "4 Mhz");
}

TEST_F(InteractionTest, EmptyItemKeepsTheListOpen) {
    WriteTestDevice();
    Start();
    ChooseDevice("");
    EXPECT_TRUE(main->ListBox1()->isVisible());
    EXPECT_FALSE(main->Code1()->isVisible());
}

TEST_F(InteractionTest, ClicksOnTheImageSelectAndRecalculate) {
    WriteTestDevice();
    Start();
    ChooseDevice("TESTDEV");
    ClickImage(30, 70);
    EXPECT_EQ(Pixel(30, 70), kRed);
    EXPECT_EQ(Pixel(30, 50), kBlue);
    EXPECT_EQ(LabelText(4), "PLL on");
    EXPECT_EQ(BoxText(1), "16 Mhz");

    QLineEdit* input = main->ValueBoxAt(0);
    input->setFocus();
    input->setText("8 Mhz");
    QTest::keyClick(input, Qt::Key_Return);
    EXPECT_EQ(BoxText(1), "32 Mhz");
    EXPECT_EQ(BoxText(0), "8 Mhz") << "Enter is swallowed";
}

TEST_F(InteractionTest, MiddleAndRightClicksPutPointsOnTheClipboard) {
    WriteTestDevice();
    Start();
    ChooseDevice("TESTDEV");
    ClickImage(120, 45, Qt::MiddleButton);
    ClickImage(250, 45, Qt::RightButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "120, 45, 250, 45, ");
}

TEST_F(InteractionTest, MouseMoveShowsCoordinates) {
    WriteTestDevice();
    Start();
    QTest::mouseMove(main->Image1(), QPoint(215, 48));
    main->Image1MouseMove(215, 48);
    EXPECT_EQ(LabelText(41), "X: 215, Y: 48");
}

TEST_F(InteractionTest, FailedLoadShowsTheMessageAndClosesTheList) {
    WriteTestDevice();
    Start();
    ChooseDevice("GHOST");
    EXPECT_EQ(messages, std::vector<std::string>{"Defs directory not found"});
    EXPECT_FALSE(main->ListBox1()->isVisible());
    EXPECT_FALSE(main->Code1()->isVisible());
    ChooseDevice("TESTDEV");
    EXPECT_TRUE(main->Code1()->isVisible());
}

// The register code of the code window: what follows its heading.
std::string RegisterPart(TForm2* code) {
    const std::string text = code->Memo1()->toPlainText().toStdString();
    const std::string heading = "// Register initialisation";
    const std::size_t at = text.find(heading);
    if (at == std::string::npos)
        return "no heading in: " + text;
    return text.substr(std::min(text.size(), at + heading.size() + 1));
}

TEST_F(InteractionTest, CodeWindowShowsTheChosenRegisterLines) {
    WriteTestDevice();
    Start();
    ChooseDevice("TESTDEV");
    main->Code1()->trigger();
    EXPECT_TRUE(code->isVisible());
    EXPECT_EQ(code->Memo1()->toPlainText().toStdString(),
              "// Configuration bits\n"
              "// CONFIG1 at 0x300000\n"
              "//   FOSC = ?, mask 0x0F, value 0x02: HS crystal\n"
              "//   PLLEN = ?, mask 0x10, value 0x00: PLL off\n"
              "\n"
              "// Register initialisation\n"
              "OSCCON := (OSCCON and (not 112)) or 112; // IRCF = 16 MHz");

    main->ClearRegisterSettings1()->trigger();
    main->Code1()->trigger();
    EXPECT_EQ(RegisterPart(code.get()), "");
    ClickImage(120, 30);
    main->Code1()->trigger();
    EXPECT_EQ(RegisterPart(code.get()), "OSCCON := (OSCCON and (not 112)) or 96; // IRCF = 8 MHz");
}

TEST_F(InteractionTest, LanguageChoiceRemakesTheCodeAndIsRemembered) {
    WriteTestDevice();
    Start();
    ChooseDevice("TESTDEV");
    main->Code1()->trigger();
    code->LanguageBox()->setCurrentIndex(TForm2::C);
    EXPECT_EQ(RegisterPart(code.get()), "OSCCON = (OSCCON & ~0x70u) | 0x70u; // IRCF = 16 MHz");
    EXPECT_NE(
        code->Memo1()->toPlainText().toStdString().find("// FOSC = 0x02: the setting has no name"),
        std::string::npos);
    code->MergeBox()->setChecked(true);
    EXPECT_EQ(RegisterPart(code.get()), "OSCCON = (OSCCON & ~0x70u) | 0x70u; // IRCF = 16 MHz");
    const std::string settings = test::ReadFile(dir.File("Quorvel_Configuration.ini"));
    EXPECT_NE(settings.find("[Code]"), std::string::npos) << settings;
    EXPECT_NE(settings.find("Language=c"), std::string::npos) << settings;

    // A new window reads the choice back.
    TearDown();
    Start();
    EXPECT_EQ(code->LanguageBox()->currentIndex(), TForm2::C);
    ChooseDevice("TESTDEV");
    main->Code1()->trigger();
    EXPECT_EQ(RegisterPart(code.get()), "OSCCON = (OSCCON & ~0x70u) | 0x70u; // IRCF = 16 MHz");
    code->LanguageBox()->setCurrentIndex(TForm2::FollowDefinitions);
    EXPECT_EQ(RegisterPart(code.get()),
              "OSCCON := (OSCCON and (not 112)) or 112; // IRCF = 16 MHz");
}

TEST_F(InteractionTest, CtrlASelectsTheWholeCode) {
    WriteTestDevice();
    Start();
    ChooseDevice("TESTDEV");
    main->Code1()->trigger();
    QPlainTextEdit* memo = code->Memo1();
    QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
    // A selection ends its lines with paragraph separators.
    EXPECT_EQ(memo->textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n'),
              memo->toPlainText());
    EXPECT_FALSE(memo->isReadOnly()) << "the code can be edited before copying";
}

TEST_F(InteractionTest, ClearConfigBitsLeavesRegisterMarksAndCode) {
    WriteTestDevice();
    Start();
    ChooseDevice("TESTDEV");
    main->ClearConfigbits1()->trigger();
    EXPECT_EQ(Pixel(30, 10), kBlue);
    EXPECT_EQ(Pixel(120, 10), kRed);
    EXPECT_EQ(LabelText(2), "");
    EXPECT_EQ(LabelText(1), "Oscillator selection");
    main->Code1()->trigger();
    EXPECT_EQ(RegisterPart(code.get()),
              "OSCCON := (OSCCON and (not 112)) or 112; // IRCF = 16 MHz");
}

TEST_F(InteractionTest, ClearAllPaintsConnectorsAndReloadRestoresDefaults) {
    WriteTestDevice();
    Start();
    ChooseDevice("TESTDEV");
    ClickImage(30, 30);
    main->ClearAll1()->trigger();
    EXPECT_EQ(Pixel(80, 10), kBlack) << "FOLLOW with nothing marked";
    EXPECT_EQ(Pixel(80, 30), kRed) << "FOLLOW_NOT with nothing marked";
    EXPECT_EQ(Pixel(120, 10), kLime);
    main->ReloadAll1()->trigger();
    EXPECT_EQ(Pixel(30, 10), kRed);
    EXPECT_EQ(Pixel(30, 30), kBlue);
    EXPECT_EQ(LabelText(2), "HS crystal");
    EXPECT_EQ(BoxText(1), "4 Mhz");
}

TEST_F(InteractionTest, HelpIsReloadedAtEveryShowing) {
    WriteTestDevice();
    Start();
    ChooseDevice("TESTDEV");
    main->Help1()->trigger();
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(main->isVisible()) << "the help window does not block the main window";
    EXPECT_EQ(help->Memo1()->toPlainText().toStdString(), "Help text\nsecond line\n");
    help->Memo1()->setPlainText("edited");
    main->Help1()->trigger();
    EXPECT_EQ(help->Memo1()->toPlainText().toStdString(), "Help text\nsecond line\n");

    std::filesystem::remove(dir.File("program/Quorvel_Help_Generic.txt"));
    main->Help1()->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Quorvel_Help_Generic.txt"), std::string::npos);
    EXPECT_EQ(help->Memo1()->toPlainText().toStdString(), "Help text\nsecond line\n");
}

} // namespace
} // namespace quorvel::gui
