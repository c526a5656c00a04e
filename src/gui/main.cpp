// Quorvel_Configuration: the desktop program.

#include "gui/CodeWindow.h"
#include "gui/DeferredIconStyle.h"
#include "gui/FirstPaint.h"
#include "gui/HelpWindow.h"
#include "gui/MainWindow.h"
#include "shell/KivDirectories.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char** argv) {
    // The settings file lies in the directory that is current at start.
    const std::string startDir = quorvel::StartDirectory();
    QApplication app(argc, argv);
    // Qt's own style, with two icons the window may never show loaded only when drawn.
    QApplication::setStyle(new quorvel::gui::DeferredIconStyle);
    QApplication::setApplicationDisplayName(QStringLiteral("Quorvel Config"));
    const std::string exeName =
        QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
    quorvel::SessionPaths paths{quorvel::ProgramDirectory(true),
                                quorvel::JoinPath(startDir, exeName + ".ini")};
    // Created in this order; only the main window is shown.
    quorvel::gui::TForm2 codeWindow;
    quorvel::gui::TForm3 helpWindow;
    quorvel::gui::TForm1 mainWindow(paths, &codeWindow, &helpWindow);
    quorvel::gui::QuitAfterFirstPaintIfAsked(mainWindow);
    mainWindow.show();
    // A configuration file named on the command line (after Qt took its own options) opens
    // at once; a relative name is the caller's, taken against the directory of the start.
    if (argc > 1) {
        std::string file = argv[1];
        if (!file.empty() && file.front() != '/')
            file = quorvel::JoinPath(startDir, file);
        mainWindow.OpenConfiguration(file);
    }
    return QApplication::exec();
}
