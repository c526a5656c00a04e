// The yardstick for start-up: a bare Qt main window of the program's size, ended as the
// program is when QUORVEL_QUIT_AFTER_FIRST_PAINT is set: once the window is painted.

#include "gui/ClientArea.h"
#include "gui/FirstPaint.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    // The main window's size on the off-screen platform: its client area below its menu bar,
    // 18 pixels high there. A smaller yardstick would have fewer pixels to fill.
    constexpr int kMenuBarHeight = 18;
    window.resize(quorvel::gui::kClientWidth, quorvel::gui::kClientHeight + kMenuBarHeight);
    quorvel::gui::QuitAfterFirstPaintIfAsked(window);
    window.show();
    return QApplication::exec();
}
