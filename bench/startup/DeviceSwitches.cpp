// Start-up of the real program up to its first shown main window: the same windows and core
// as Quorvel_Configuration, then the program ends. With a device name as argument the device
// is loaded first, for measuring the memory a loaded device takes.

#include "gui/CodeWindow.h"
#include "gui/HelpWindow.h"
#include "gui/MainWindow.h"
#include "shell/KivDirectories.h"

#include <QApplication>
#include <QTimer>
#include <iostream>

int main(int argc, char** argv) {
    const std::string startDir = quorvel::StartDirectory();
    QApplication app(argc, argv);
    quorvel::ConfiguratorPaths paths{quorvel::ProgramDirectory(true),
                                     quorvel::JoinPath(startDir, "Quorvel_Configuration.ini")};
    quorvel::gui::TForm2 codeWindow;
    quorvel::gui::TForm3 helpWindow;
    quorvel::gui::TForm1 mainWindow(paths, &codeWindow, &helpWindow);
    int messages = 0;
    mainWindow.SetMessagePresenter([&messages](const std::string& m) {
        std::cerr << m << "\n";
        ++messages;
    });
    mainWindow.show();
    if (argc > 1) {
        QTimer::singleShot(0, &app, [&] {
            try {
                mainWindow.Core().ListBox1Click(argv[1]);
            } catch (const std::exception& e) {
                std::cerr << e.what() << "\n";
                ++messages;
            }
        });
    }
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    const int rc = QApplication::exec();
    return messages == 0 ? rc : 1;
}
