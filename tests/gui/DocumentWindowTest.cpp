#include "GuiFixture.h"

#include <QCloseEvent>
#include <QMenuBar>

namespace quorvel::gui {
namespace {

// What the window shows of a configuration: labels, value boxes and the painted segments.
struct Seen {
    std::vector<std::string> Texts;
    std::vector<Rgb> Pixels;
    std::vector<bool> Stale; // results drawn grey after a clear
    friend bool operator==(const Seen&, const Seen&) = default;
};

class DocumentWindowTest : public GuiFixture {
protected:
    std::vector<std::string> chosenFiles;
    int questions = 0;
    TForm1::UnsavedAnswer answer = TForm1::UnsavedAnswer::Cancel;

    void StartWithDevice() {
        WriteTestDevice();
        Start();
        main->SetFileChooser([this](bool) {
            if (chosenFiles.empty())
                return std::string();
            std::string path = chosenFiles.front();
            chosenFiles.erase(chosenFiles.begin());
            return path;
        });
        main->SetUnsavedQuestion([this] {
            ++questions;
            return answer;
        });
        ChooseDevice("TESTDEV");
        ASSERT_TRUE(messages.empty());
        // Shortcuts reach the active window only.
        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    }

    Seen Look() const {
        Seen s;
        for (int n = 1; n <= 8; ++n)
            s.Texts.push_back(LabelText(n));
        for (int k = 0; k < 3; ++k) {
            s.Texts.push_back(BoxText(k));
            s.Stale.push_back(main->ValueBoxAt(k)->Stale());
        }
        for (const auto& [x, y] : std::vector<std::pair<int, int>>{
                 {30, 10}, {30, 30}, {30, 50}, {30, 70}, {120, 10}, {120, 30}, {80, 10}, {80, 30}})
            s.Pixels.push_back(Pixel(x, y));
        return s;
    }

    void TypeIntoBox(int k, const QString& text) {
        QLineEdit* box = main->ValueBoxAt(k);
        box->setFocus();
        box->setText(text);
        QTest::keyClick(box, Qt::Key_Return);
    }

    // Makes a change, then checks that Undo shows exactly the state before and Redo the
    // state after, through the Edit menu's actions.
    template <typename F> void ExpectUndoable(const char* what, F&& change) {
        const Seen before = Look();
        const Configuration stateBefore = main->Core().State();
        change();
        QApplication::processEvents();
        const Seen after = Look();
        ASSERT_FALSE(after == before) << what << " changed nothing";
        ASSERT_TRUE(main->Undo1()->isEnabled()) << what;
        main->Undo1()->trigger();
        EXPECT_TRUE(Look() == before) << what << ": undo";
        EXPECT_TRUE(SameConfiguration(main->Core().State(), stateBefore)) << what << ": undo";
        ASSERT_TRUE(main->Redo1()->isEnabled()) << what;
        main->Redo1()->trigger();
        EXPECT_TRUE(Look() == after) << what << ": redo";
    }
};

TEST_F(DocumentWindowTest, UndoAndRedoCoverEveryKindOfChange) {
    StartWithDevice();
    answer = TForm1::UnsavedAnswer::Discard;
    EXPECT_FALSE(main->Undo1()->isEnabled()) << "the first load has nothing before it";
    ExpectUndoable("a click", [this] { ClickImage(30, 70); });
    ExpectUndoable("a click that excludes a register line", [this] { ClickImage(120, 30); });
    ExpectUndoable("a typed input", [this] { TypeIntoBox(0, "8 Mhz"); });
    ExpectUndoable("Clear Config bits", [this] { main->ClearConfigbits1()->trigger(); });
    ExpectUndoable("Clear Register Settings",
                   [this] { main->ClearRegisterSettings1()->trigger(); });
    ClickImage(30, 30);
    ExpectUndoable("Clear All", [this] { main->ClearAll1()->trigger(); });
    ExpectUndoable("Reload All", [this] { main->ReloadAll1()->trigger(); });
    ClickImage(30, 70);
    answer = TForm1::UnsavedAnswer::Discard;
    ExpectUndoable("loading a device", [this] { ChooseDevice("TESTDEV"); });
    // An opened file: save this state, change it, and open the file again.
    const std::string path = dir.File("undo.qcfg");
    chosenFiles = {path};
    main->SaveAs1()->trigger();
    ClickImage(30, 30);
    answer = TForm1::UnsavedAnswer::Discard;
    ExpectUndoable("opening a file", [&] { ASSERT_TRUE(main->OpenConfiguration(path)); });
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(DocumentWindowTest, UndoGoesBackStepByStepAndANewChangeDropsRedo) {
    StartWithDevice();
    const Seen start = Look();
    ClickImage(30, 70);
    const Seen one = Look();
    ClickImage(30, 30);
    ClickImage(30, 30); // chooses what is chosen already: no step
    QTest::keyClick(main.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(Look() == one);
    QTest::keyClick(main.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(Look() == start);
    EXPECT_FALSE(main->Undo1()->isEnabled());
    QTest::keyClick(main.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(Look() == one);
    ClickImage(120, 30);
    EXPECT_FALSE(main->Redo1()->isEnabled());
}

TEST_F(DocumentWindowTest, TheTitleNamesTheFileAndMarksUnsavedChanges) {
    StartWithDevice();
    const QString base = main->windowTitle();
    ClickImage(30, 70);
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Untitled* \u2014 ") + base);
    chosenFiles = {dir.File("a")};
    QTest::keyClick(main.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(test::ReadFile(dir.File("a.qcfg")).rfind("Quorvel configuration 1\n", 0), 0u)
        << "a new file gets the suffix";
    EXPECT_EQ(main->windowTitle(), QStringLiteral("a.qcfg \u2014 ") + base);
    ClickImage(30, 50);
    EXPECT_EQ(main->windowTitle(), QStringLiteral("a.qcfg* \u2014 ") + base);
    main->Undo1()->trigger();
    EXPECT_EQ(main->windowTitle(), QStringLiteral("a.qcfg \u2014 ") + base)
        << "undone back to the saved state";
    ClickImage(30, 50);
    main->Save1()->trigger(); // saves to the file without asking
    EXPECT_TRUE(chosenFiles.empty());
    EXPECT_EQ(main->windowTitle(), QStringLiteral("a.qcfg \u2014 ") + base);
    EXPECT_NE(test::ReadFile(dir.File("a.qcfg")).find("PLLEN = "), std::string::npos);
}

TEST_F(DocumentWindowTest, UnsavedChangesAreAskedAboutBeforeTheyAreLost) {
    StartWithDevice();
    ChooseDevice("TESTDEV");
    EXPECT_EQ(questions, 0) << "nothing changed yet";
    ClickImage(30, 70);
    const Seen changed = Look();

    answer = TForm1::UnsavedAnswer::Cancel;
    ChooseDevice("TESTDEV");
    main->ReloadAll1()->trigger();
    EXPECT_FALSE(main->OpenConfiguration(test::TestData("configuration/hand_edited.qcfg")));
    QCloseEvent close;
    QApplication::sendEvent(main.get(), &close);
    EXPECT_FALSE(close.isAccepted());
    EXPECT_EQ(questions, 4);
    EXPECT_TRUE(Look() == changed) << "Cancel keeps the changes";
    EXPECT_FALSE(main->ListBox1()->isVisible());

    // Save: asks for a file (none given: nothing happens), then saves and goes on.
    answer = TForm1::UnsavedAnswer::Save;
    main->ReloadAll1()->trigger();
    EXPECT_TRUE(Look() == changed) << "the save was cancelled, so was the reload";
    chosenFiles = {dir.File("kept.qcfg")};
    main->ReloadAll1()->trigger();
    EXPECT_FALSE(Look() == changed);
    EXPECT_NE(test::ReadFile(dir.File("kept.qcfg")).find("PLLEN = 16"), std::string::npos);

    answer = TForm1::UnsavedAnswer::Discard;
    ClickImage(30, 70);
    QCloseEvent again;
    QApplication::sendEvent(main.get(), &again);
    EXPECT_TRUE(again.isAccepted());
    EXPECT_EQ(questions, 7);
}

TEST_F(DocumentWindowTest, FileMenuComesFirstAndKeepsRecentFiles) {
    StartWithDevice();
    const QList<QAction*> menus = main->menuBar()->actions();
    ASSERT_GE(menus.size(), 3);
    EXPECT_EQ(menus[0]->text(), "&File");
    EXPECT_EQ(menus[1]->text(), "&Edit");
    EXPECT_EQ(menus[2], main->PIC1());
    EXPECT_EQ(main->Open1()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(main->Save1()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(main->SaveAs1()->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    EXPECT_EQ(main->Redo1()->shortcuts(),
              (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                   QKeySequence(Qt::CTRL | Qt::Key_Y)}));
    chosenFiles = {dir.File("one.qcfg"), dir.File("two.qcfg")};
    main->SaveAs1()->trigger();
    main->SaveAs1()->trigger();
    const QList<QAction*> recent = main->Recent1()->actions();
    ASSERT_EQ(recent.size(), 2);
    EXPECT_TRUE(recent[0]->text().endsWith("two.qcfg"));
    const std::string settings = test::ReadFile(dir.File("Quorvel_Configuration.ini"));
    EXPECT_NE(settings.find("[Recent]"), std::string::npos);
    EXPECT_NE(settings.find("[PIC]"), std::string::npos) << "the other sections stay";
    ClickImage(30, 70);
    answer = TForm1::UnsavedAnswer::Discard;
    recent[1]->trigger();
    EXPECT_EQ(main->windowTitle().left(8), "one.qcfg");
    EXPECT_TRUE(messages.empty()) << messages.front();
}

} // namespace
} // namespace quorvel::gui
