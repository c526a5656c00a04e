#include "TestSupport.h"
#include "gui/CodeWindow.h"
#include "gui/HelpWindow.h"
#include "gui/MainWindow.h"
#include "gui/QtViews.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace quorvel::gui {
namespace {

struct Windows {
    TForm2 code;
    TForm3 help;
    TForm1 main;
    std::vector<std::string> messages;

    explicit Windows(const SessionPaths& paths) : main(paths, &code, &help) {
        main.SetMessagePresenter([this](const std::string& m) { messages.push_back(m); });
        main.show();
        QApplication::processEvents();
    }
};

TEST(Startup, ShowsTheMainWindowWithOnlySelectPic) {
    test::KeepCurrentDirectory keep;
    test::ScratchDir dir;
    dir.Write("Quorvel_Configuration_PICs.txt", "PIC18F45K22 = PIC18K22\n-\n- = x\nB = Y\n");
    Windows w({dir.Path() + "/", dir.File("Quorvel_Configuration.ini")});

    EXPECT_EQ(w.main.windowTitle(), "Quorvel Config");
    EXPECT_EQ(w.main.centralWidget()->size(), QSize(1310, 890));
    EXPECT_TRUE(w.messages.empty());
    EXPECT_TRUE(w.main.PIC1()->isVisible());
    for (QAction* hidden : {w.main.Code1(), w.main.Calculate1(), w.main.Reset1(), w.main.Help1()})
        EXPECT_FALSE(hidden->isVisible()) << hidden->text().toStdString();
    EXPECT_FALSE(w.code.isVisible());
    EXPECT_FALSE(w.help.isVisible());
    EXPECT_EQ(w.main.ScrollBox1()->geometry(), QRect(0, 0, 745, 890));
    EXPECT_EQ(w.main.Label(1)->pos(), QPoint(760, 40));
    EXPECT_EQ(w.main.Label(8)->pos(), QPoint(760, 160));
    EXPECT_EQ(w.main.Label(9)->pos(), QPoint(760, 177));
    EXPECT_EQ(w.main.Label(40)->pos(), QPoint(760, 672));
    EXPECT_TRUE(w.main.Label(1)->font().bold());
    EXPECT_FALSE(w.main.Label(2)->font().bold());
    for (int i = 0; i < kValueBoxCount; ++i)
        EXPECT_FALSE(w.main.ValueBoxAt(i)->isVisible());

    QListWidget* list = w.main.ListBox1();
    EXPECT_FALSE(list->isVisible());
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->item(0)->text(), "PIC18F45K22");
    EXPECT_EQ(list->item(1)->text(), "");
    EXPECT_EQ(list->item(2)->text(), "-");
    w.main.PIC1()->trigger();
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->geometry(), QRect(8, 8, 129, 873));
}

// The device list's rows and the limits' red text, as drawn: row height and colour are what
// the user sees, whatever mechanism sets them.
TEST(Startup, DeviceRowsAreThirteenPixelsAndLimitTextIsRed) {
    test::KeepCurrentDirectory keep;
    test::ScratchDir dir;
    dir.Write("Quorvel_Configuration_PICs.txt", "PIC18F45K22 = PIC18K22\n-\nB = Y\n");
    Windows w({dir.Path() + "/", dir.File("Quorvel_Configuration.ini")});
    w.main.PIC1()->trigger();
    QApplication::processEvents();

    QListWidget* list = w.main.ListBox1();
    ASSERT_EQ(list->count(), 3);
    // The height holds whatever the font: a larger one would give taller rows of its own.
    for (const int pixels : {11, 24}) {
        QFont font = list->font();
        font.setPixelSize(pixels);
        list->setFont(font);
        QApplication::processEvents();
        for (int row = 0; row < list->count(); ++row)
            EXPECT_EQ(list->visualItemRect(list->item(row)).height(), 13) << pixels << " " << row;
        EXPECT_EQ(list->visualItemRect(list->item(2)).top(), 26) << pixels;
    }

    QLabel* violations = w.main.Violations();
    violations->setText(QStringLiteral("SYSCLK above 80 MHz"));
    QImage shot(violations->size(), QImage::Format_RGB32);
    shot.fill(Qt::white);
    violations->render(&shot);
    const QColor background = violations->palette().color(QPalette::Window);
    int red = 0;
    int other = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (c == Qt::white || c == background)
                continue;
            // Anti-aliased edges blend the red into the background: no green or blue
            // beyond the blend, and red always the strongest.
            if (c.red() > c.green() && c.green() == c.blue())
                ++red;
            else
                ++other;
        }
    EXPECT_GT(red, 20);
    EXPECT_EQ(other, 0);
}

TEST(Startup, MissingDeviceListIsReportedAndTheWindowStaysUsable) {
    test::KeepCurrentDirectory keep;
    test::ScratchDir dir;
    Windows w({dir.Path() + "/", dir.File("Quorvel_Configuration.ini")});
    EXPECT_EQ(w.messages,
              std::vector<std::string>{"File \"Quorvel_Configuration_PICs.txt\" not found"});
    EXPECT_EQ(w.main.ListBox1()->count(), 0);
    w.main.PIC1()->trigger();
    EXPECT_TRUE(w.main.ListBox1()->isVisible());
}

TEST(Startup, CodeAndHelpWindowsHaveTheirPlaces) {
    TForm2 code;
    TForm3 help;
    EXPECT_EQ(code.windowTitle(), "Initialisation code");
    EXPECT_EQ(code.geometry(), QRect(309, 144, 870, 640));
    EXPECT_EQ(help.windowTitle(), "Help");
    EXPECT_EQ(help.geometry(), QRect(193, 123, 870, 640));
    EXPECT_EQ(code.Memo1()->font().pixelSize(), 13);
}

TEST(Startup, TextBoxesMadeAtFirstUseAreThereWhenTheWindowsShow) {
    // The code and help windows make their text box when it is first needed; a window shown
    // without it having been asked for must still fill its area with the box.
    TForm2 code;
    TForm3 help;
    for (QWidget* window : {static_cast<QWidget*>(&code), static_cast<QWidget*>(&help)}) {
        window->show();
        QApplication::processEvents();
        const auto* memo = window->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
        ASSERT_NE(memo, nullptr);
        EXPECT_TRUE(memo->isVisible());
        // The code window keeps a bar for the language choice above its text box.
        const QRect area = memo->geometry();
        EXPECT_EQ(area.bottomRight(), window->rect().bottomRight());
        EXPECT_EQ(area.left(), 0);
        EXPECT_LE(area.top(), window == &code ? 40 : 0);
        EXPECT_EQ(memo->font().pixelSize(), 13);
    }
    EXPECT_EQ(code.Memo1(), code.findChild<QPlainTextEdit*>(QStringLiteral("Memo1")));
    EXPECT_EQ(code.Memo1()->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(help.findChildren<QPlainTextEdit*>().size(), 1);
}

TEST(Startup, ValueBoxesAreMadeAllAtOnceInIndexOrder) {
    // The boxes are made at their first use; asking for any one makes all 31, hidden, on the
    // diagram, named by their index.
    test::KeepCurrentDirectory keep;
    test::ScratchDir dir;
    dir.Write("Quorvel_Configuration_PICs.txt", "X = Y\n");
    Windows w({dir.Path() + "/", dir.File("Quorvel_Configuration.ini")});
    const ValueBox* last = w.main.ValueBoxAt(kValueBoxCount - 1);
    EXPECT_EQ(last->parentWidget(), w.main.Image1());
    const QList<ValueBox*> boxes = w.main.Image1()->findChildren<ValueBox*>();
    ASSERT_EQ(boxes.size(), kValueBoxCount);
    for (int i = 0; i < kValueBoxCount; ++i) {
        EXPECT_EQ(boxes[i], w.main.ValueBoxAt(i));
        EXPECT_EQ(boxes[i]->objectName().toStdString(), "ValueBox" + std::to_string(i));
        EXPECT_FALSE(boxes[i]->isVisible());
    }
}

} // namespace
} // namespace quorvel::gui
