#include "gui/FirstPaint.h"
#include "TestSupport.h"
#include "gui/CodeWindow.h"
#include "gui/HelpWindow.h"
#include "gui/MainWindow.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>

namespace quorvel::gui {
namespace {

// Counts the paint events of every widget.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++painted[watched];
        return false;
    }
    std::map<QObject*, int> painted;
};

TEST(FirstPaint, TheProgramEndsOnceEveryShownWidgetIsPainted) {
    test::KeepCurrentDirectory keep;
    test::ScratchDir dir;
    dir.Write("Quorvel_Configuration_PICs.txt", "PIC18F45K22 = PIC18K22\n");
    qputenv(kQuitAfterFirstPaintVariable, "1");
    PaintCounter counter;
    QApplication::instance()->installEventFilter(&counter);
    bool timedOut = false;
    {
        TForm2 code;
        TForm3 help;
        TForm1 main({dir.Path() + "/", dir.File("Quorvel_Configuration.ini")}, &code, &help);
        QuitAfterFirstPaintIfAsked(main);
        main.show();
        QTimer::singleShot(20000, [&timedOut] {
            timedOut = true;
            QCoreApplication::quit();
        });
        QApplication::exec();
        ASSERT_FALSE(timedOut) << "the program did not end after painting";
        EXPECT_GT(counter.painted[&main], 0);
        int shown = 0;
        // Every shown widget without shown children: a widget covered by its children may be
        // left unpainted.
        for (QWidget* w : main.findChildren<QWidget*>()) {
            if (!w->isVisible() || w->size().isEmpty())
                continue;
            const auto children = w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
            if (std::any_of(children.begin(), children.end(),
                            [](const QWidget* c) { return c->isVisible(); }))
                continue;
            ++shown;
            EXPECT_GT(counter.painted[w], 0)
                << w->metaObject()->className() << " " << w->objectName().toStdString();
        }
        EXPECT_GT(shown, 5);
    }
    QApplication::instance()->removeEventFilter(&counter);
    qunsetenv(kQuitAfterFirstPaintVariable);
}

TEST(FirstPaint, WithoutTheVariableNothingQuits) {
    ASSERT_TRUE(qEnvironmentVariableIsEmpty(kQuitAfterFirstPaintVariable));
    QWidget window;
    QuitAfterFirstPaintIfAsked(window);
    window.show();
    bool stillRunning = false;
    QTimer::singleShot(300, [&stillRunning] {
        stillRunning = true;
        QCoreApplication::quit();
    });
    QApplication::exec();
    EXPECT_TRUE(stillRunning);
}

} // namespace
} // namespace quorvel::gui
