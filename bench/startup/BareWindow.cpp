// The yardstick for start-up: a bare Qt main window of the program's size, ended as the
// program is when QUORVEL_QUIT_AFTER_FIRST_PAINT is set: once the window is painted.

#include "gui/FirstPaint.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    // The main window's size on the off-screen platform: its 1310 x 890 client area below an
    // 18-pixel menu bar. A smaller yardstick would have fewer pixels to fill.
    window.resize(1310, 908);
    quorvel::gui::QuitAfterFirstPaintIfAsked(window);
    window.show();
    return QApplication::exec();
}
