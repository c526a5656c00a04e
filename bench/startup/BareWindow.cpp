// The yardstick for start-up: a bare Qt main window of the program's size, ended as the
// program is when QUORVEL_QUIT_AFTER_FIRST_PAINT is set: once the window is painted.

#include "gui/FirstPaint.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(1114, 890);
    quorvel::gui::QuitAfterFirstPaintIfAsked(window);
    window.show();
    return QApplication::exec();
}
