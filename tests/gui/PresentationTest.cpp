// What the window shows and how it answers the keyboard and the mouse around the described
// behaviour: the device list, the input boxes' notes, stale results, titles, menus and the
// secondary windows.

#include "GuiFixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

namespace quorvel::gui {
namespace {

class PresentationTest : public GuiFixture {
protected:
    void Load() {
        WriteTestDevice();
        Start();
        ChooseDevice("TESTDEV");
        ASSERT_TRUE(messages.empty());
    }

    void OpenList() {
        main->PIC1()->trigger();
        QApplication::processEvents();
        ASSERT_TRUE(main->ListBox1()->isVisible());
    }

    // Clicks into input box 0 (coming from elsewhere), types `text` and presses Enter.
    void TypeIntoBox(const QString& text) {
        ValueBox* box = main->ValueBoxAt(0);
        main->Image1()->setFocus();
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }

    // Whether some pixel of the widget is drawn in pure black.
    static bool HasBlackPixel(QWidget* widget) {
        const QImage image = widget->grab().toImage();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == qRgb(0, 0, 0))
                    return true;
        return false;
    }
};

TEST_F(PresentationTest, DeviceListClosesWithEscapeOrSelectPicWithoutLoading) {
    WriteTestDevice();
    Start();
    OpenList();
    QTest::keyClick(main->ListBox1(), Qt::Key_Escape);
    EXPECT_FALSE(main->ListBox1()->isVisible());
    EXPECT_FALSE(main->Code1()->isVisible()) << "nothing was loaded";

    OpenList();
    main->PIC1()->trigger();
    EXPECT_FALSE(main->ListBox1()->isVisible());
    EXPECT_FALSE(main->Code1()->isVisible());
    EXPECT_TRUE(messages.empty());
}

TEST_F(PresentationTest, DeviceListClosesOnAClickElsewhereThatChoosesNothing) {
    Load();
    ClickImage(30, 70);
    ASSERT_EQ(Pixel(30, 70), kRed);
    OpenList();
    ClickImage(30, 50); // would choose PLLEN off
    EXPECT_FALSE(main->ListBox1()->isVisible());
    EXPECT_EQ(Pixel(30, 70), kRed) << "the closing click reached the diagram";
    EXPECT_EQ(Pixel(30, 50), kBlue);
    EXPECT_EQ(LabelText(4), "PLL on") << "and the choices were not reloaded";
    ClickImage(30, 50);
    EXPECT_EQ(Pixel(30, 50), kRed) << "with the list closed, clicks choose again";
}

TEST_F(PresentationTest, EnterAndSpaceChooseTheHighlightedDeviceFoundByTyping) {
    WriteTestDevice();
    Start();
    OpenList();
    QListWidget* list = main->ListBox1();
    QTest::keyClicks(list, "gh");
    ASSERT_NE(list->currentItem(), nullptr);
    EXPECT_EQ(list->currentItem()->text(), "GHOST");
    QTest::keyClicks(list, "t");
    EXPECT_EQ(list->currentItem()->text(), "GHOST") << "no device starts with ght";
    list->keyboardSearch(QString()); // a pause ends the typed prefix
    list->setCurrentRow(1);          // the empty separator item
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_TRUE(list->isVisible()) << "an empty item chooses nothing";

    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(list->currentItem()->text(), "TESTDEV");
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(main->Code1()->isVisible());
    EXPECT_EQ(LabelText(1), "Oscillator selection");

    // Choosing the loaded device again reloads it: its choices are dropped.
    ClickImage(30, 70);
    ASSERT_EQ(LabelText(4), "PLL on");
    OpenList();
    EXPECT_EQ(list->currentItem()->text(), "TESTDEV") << "the loaded device is highlighted";
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(LabelText(4), "PLL off");
    EXPECT_TRUE(messages.empty());
}

TEST_F(PresentationTest, DoubleClickChoosesAndItsSecondPressDoesNotReachTheDiagram) {
    WriteTestDevice();
    Start();
    // The first click of a double click chooses and closes the list; the window system then
    // delivers the second press to what lay under the list: the diagram.
    ChooseDevice("TESTDEV");
    ASSERT_FALSE(main->ListBox1()->isVisible());
    ASSERT_EQ(LabelText(1), "Oscillator selection");
    QTest::mouseDClick(main->Image1(), Qt::LeftButton, {}, QPoint(30, 70));
    EXPECT_EQ(Pixel(30, 70), kBlue) << "the press that followed the choice chose a line";
    EXPECT_EQ(LabelText(4), "PLL off");
    ClickImage(30, 30);
    QTest::mouseDClick(main->Image1(), Qt::LeftButton, {}, QPoint(30, 70));
    EXPECT_EQ(Pixel(30, 70), kRed) << "a double click on the diagram presses twice";
}

TEST_F(PresentationTest, ClosingTheMainWindowEndsTheProgramWithCodeAndHelpOpen) {
    Load();
    main->Code1()->trigger();
    main->Help1()->trigger();
    ASSERT_TRUE(code->isVisible());
    ASSERT_TRUE(help->isVisible());
    QTimer::singleShot(0, main.get(), [this] { main->close(); });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    giveUp.start(10000);
    EXPECT_EQ(QApplication::exec(), 0) << "the application did not quit";
    EXPECT_FALSE(code->isVisible());
    EXPECT_FALSE(help->isVisible());
}

TEST_F(PresentationTest, InputBoxSelectsAllOnFocusSoTypingReplacesIt) {
    Load();
    ValueBox* box = main->ValueBoxAt(0);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(20, 5));
    EXPECT_EQ(box->selectedText(), "4 Mhz");
    QTest::keyClicks(box, "8");
    EXPECT_EQ(BoxText(0), "8");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(BoxText(1), "8 Mhz");

    box->clearFocus();
    box->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(box->selectedText(), "8");

    // A drag selects what it spans, not everything.
    box->setText("12.5 Mhz");
    box->clearFocus();
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(4, 10));
    QTest::mouseMove(box, QPoint(14, 10));
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(14, 10),
                        box->mapToGlobal(QPointF(14, 10)), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(box, &release);
    EXPECT_NE(box->selectedText(), "12.5 Mhz");
}

TEST_F(PresentationTest, InputTextsThatAreNotPlainNumbersAreMarkedAndReadAsDescribed) {
    Load();
    ValueBox* box = main->ValueBoxAt(0);
    EXPECT_FALSE(box->Marked());
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"8,5", "read as 85 Mhz", "85 Mhz"},
        {"12e6", "read as 126 Mhz", "126 Mhz"},
        {"-4", "read as 4 Mhz", "4 Mhz"},
        {"Mhz 4", "read as 4 Mhz", "4 Mhz"},
    };
    for (const auto& [text, note, result] : cases) {
        TypeIntoBox(text);
        EXPECT_TRUE(box->Marked()) << text;
        EXPECT_FALSE(box->Failed()) << text;
        EXPECT_EQ(box->toolTip().toStdString(), note);
        EXPECT_EQ(BoxText(1), result) << text;
    }
    // Typing after the text without selecting it appends, and the note tells.
    box->setText("4 Mhz");
    box->setFocus(Qt::OtherFocusReason);
    box->end(false);
    QTest::keyClicks(box, "8");
    EXPECT_EQ(box->toolTip().toStdString(), "read as 48 Mhz");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(BoxText(1), "48 Mhz");

    TypeIntoBox("7.5 Mhz");
    EXPECT_FALSE(box->Marked());
    EXPECT_EQ(box->toolTip(), "7.5 Mhz");
    EXPECT_TRUE(messages.empty());
}

TEST_F(PresentationTest, TheBoxThatStoppedTheCalculationStaysMarkedUntilCorrected) {
    Load();
    ValueBox* box = main->ValueBoxAt(0);
    TypeIntoBox("1.2.3");
    EXPECT_EQ(messages, std::vector<std::string>{"'1.2.3' is not a valid floating point value"});
    EXPECT_TRUE(box->Failed());
    EXPECT_EQ(BoxText(1), "4 Mhz") << "the calculation stopped before any formula";
    ClickImage(30, 70);
    EXPECT_TRUE(box->Failed()) << "still marked at the next calculation";
    EXPECT_EQ(box->toolTip().toStdString(),
              "cannot be read: '1.2.3' is not a valid floating point value");
    TypeIntoBox("2");
    EXPECT_FALSE(box->Failed());
    EXPECT_FALSE(box->Marked());
    EXPECT_EQ(BoxText(1), "8 Mhz");
}

TEST_F(PresentationTest, ResultsAreGreyAfterAClearUntilTheNextCalculation) {
    Load();
    ValueBox* result = main->ValueBoxAt(1);
    QApplication::processEvents();
    EXPECT_FALSE(result->Stale());
    EXPECT_TRUE(HasBlackPixel(result));
    EXPECT_EQ(result->toolTip(), "4 Mhz");

    for (QAction* clear :
         {main->ClearAll1(), main->ClearConfigbits1(), main->ClearRegisterSettings1()}) {
        const std::string before = BoxText(1);
        clear->trigger();
        EXPECT_TRUE(result->Stale()) << clear->text().toStdString();
        EXPECT_FALSE(HasBlackPixel(result)) << "the text is drawn grey";
        EXPECT_EQ(BoxText(1), before) << "the text stays";
        EXPECT_FALSE(main->ValueBoxAt(0)->Stale()) << "an input is never stale";
        ClickImage(30, 70);
        EXPECT_FALSE(result->Stale());
        EXPECT_TRUE(HasBlackPixel(result));
    }
}

TEST_F(PresentationTest, TitleNamesTheDeviceOnScreen) {
    WriteTestDevice();
    Start();
    EXPECT_EQ(main->windowTitle(), "Quorvel Config");
    ChooseDevice("TESTDEV");
    EXPECT_EQ(main->windowTitle(), "TESTDEV \u2014 Quorvel Config");
    ChooseDevice("GHOST");
    ASSERT_EQ(messages, std::vector<std::string>{"Defs directory not found"});
    EXPECT_EQ(main->windowTitle(), "TESTDEV \u2014 Quorvel Config")
        << "the previous diagram stays on screen";
}

TEST_F(PresentationTest, MenusHaveMnemonicsAndSecondaryWindowsCloseWithEscape) {
    Load();
    EXPECT_EQ(main->PIC1()->text(), "&Select PIC");
    EXPECT_EQ(main->Code1()->text(), "&Code");
    EXPECT_EQ(main->Reset1()->text(), "C&lear");
    EXPECT_EQ(main->Help1()->text(), "&Help");
    main->menuBar()->actionGeometry(main->Code1()); // lays out the menu bar as showing it does
    QTest::keyClick(main.get(), Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(code->isVisible()) << "Alt+C runs Code";
    EXPECT_EQ(BoxText(0), "4 Mhz");

    ASSERT_TRUE(QTest::qWaitForWindowActive(code.get()));
    QTest::keyClick(code->Memo1(), Qt::Key_Escape);
    EXPECT_FALSE(code->isVisible());
    main->Help1()->trigger();
    ASSERT_TRUE(help->isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowActive(help.get()));
    QTest::keyClick(help->Memo1(), Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
}

TEST_F(PresentationTest, CodeWindowCopiesTheWholeCodeByButtonOrCtrlC) {
    Load();
    main->Code1()->trigger();
    const QString all = code->Memo1()->toPlainText();
    ASSERT_FALSE(all.isEmpty());
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("before");
    QTest::mouseClick(code->CopyButton(), Qt::LeftButton);
    EXPECT_EQ(clipboard->text(), all);

    clipboard->setText("before");
    QTest::keyClick(code->Memo1(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), all) << "nothing selected: everything is copied";

    QTextCursor cursor = code->Memo1()->textCursor();
    cursor.setPosition(0);
    cursor.setPosition(6, QTextCursor::KeepAnchor);
    code->Memo1()->setTextCursor(cursor);
    QTest::keyClick(code->Memo1(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), all.left(6)) << "a selection is copied as it is";
}

TEST_F(PresentationTest, CutLabelsShowTheirWholeTextInTheTooltip) {
    Load();
    const auto* label = qobject_cast<ElidedLabel*>(main->Label(2));
    ASSERT_NE(label, nullptr);
    EXPECT_FALSE(label->Elided());
    EXPECT_TRUE(label->toolTip().isEmpty());
    main->resize(800, main->height());
    QApplication::processEvents();
    EXPECT_TRUE(label->Elided());
    EXPECT_EQ(label->toolTip(), "HS crystal");
    EXPECT_EQ(LabelText(2), "HS crystal") << "the caption itself is whole";
}

TEST_F(PresentationTest, ClicksMapToTheBitmapPixelUnderThePointer) {
    // On a high-density screen a pointer position falls between device pixels; the bitmap
    // pixel is the one whose block holds the point.
    EXPECT_EQ(DiagramImage::BitmapPixel(QPointF(30.75, 73.5)), QPoint(30, 73));
    EXPECT_EQ(DiagramImage::BitmapPixel(QPointF(0.5, 0.99)), QPoint(0, 0));
    Load();
    const auto press = [this](QPointF at) {
        QMouseEvent event(QEvent::MouseButtonPress, at, main->Image1()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(main->Image1(), &event);
    };
    press(QPointF(30, 73.6));
    EXPECT_EQ(Pixel(30, 70), kRed) << "y 73.6 lies in pixel 73, inside the reach of y 70";
    press(QPointF(30, 46.9));
    EXPECT_EQ(Pixel(30, 50), kBlue) << "y 46.9 lies in pixel 46, outside the reach of y 50";
}

} // namespace
} // namespace quorvel::gui
