#pragma once
// The three real windows over a scratch program directory holding the test device; messages
// are recorded instead of opening modal boxes.

#include "TestSupport.h"
#include "diagram/Bitmap.h"
#include "gui/CodeWindow.h"
#include "gui/HelpWindow.h"
#include "gui/MainWindow.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace quorvel::gui {

class GuiFixture : public ::testing::Test {
protected:
    test::KeepCurrentDirectory keepCwd;
    test::ScratchDir dir;
    std::unique_ptr<TForm2> code;
    std::unique_ptr<TForm3> help;
    std::unique_ptr<TForm1> main;
    std::vector<std::string> messages;

    void WriteTestDevice() {
        dir.Write("program/Quorvel_Configuration_PICs.txt", "TESTDEV = T\n-\nGHOST = T\n");
        dir.Write("program/Defs/TESTDEV.vlk", test::ReadFile(test::TestData("device/TESTDEV.vlk")));
        dir.Write("program/Quorvel_T_lines.txt",
                  test::ReadFile(test::TestData("device/Quorvel_T_lines.txt")));
        dir.Write("program/Quorvel_T.bmp", Bitmap(300, 100).EncodeBmp());
        dir.Write("program/Quorvel_Help_Generic.txt", "Help text\nsecond line\n");
    }

    void Start() {
        code = std::make_unique<TForm2>();
        help = std::make_unique<TForm3>();
        main = std::make_unique<TForm1>(
            SessionPaths{dir.Path() + "/program/", dir.File("Quorvel_Configuration.ini")},
            code.get(), help.get());
        main->SetMessagePresenter([this](const std::string& m) { messages.push_back(m); });
        // Unsaved changes are discarded without a modal question, unless a test asks.
        main->SetUnsavedQuestion([] { return TForm1::UnsavedAnswer::Discard; });
        main->show();
        QApplication::processEvents();
    }

    void TearDown() override {
        main.reset();
        help.reset();
        code.reset();
    }

    // Chooses a device through the real list box.
    void ChooseDevice(const QString& name) {
        main->PIC1()->trigger();
        QListWidget* list = main->ListBox1();
        const auto items = list->findItems(name, Qt::MatchExactly);
        ASSERT_FALSE(items.isEmpty());
        list->setCurrentItem(items.first());
        const QRect r = list->visualItemRect(items.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
        QApplication::processEvents();
    }

    void ClickImage(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(main->Image1(), button, {}, QPoint(x, y));
    }

    Rgb Pixel(int x, int y) const { return main->Image1()->Picture().Pixel(x, y); }
    std::string LabelText(int n) const { return main->Label(n)->text().toStdString(); }
    std::string BoxText(int i) const { return main->ValueBoxAt(i)->text().toStdString(); }
};

} // namespace quorvel::gui
