// Takes a picture of the main window after loading each device named on the command line,
// on the off-screen platform, for the README: screenshots OUTPUT_DIR DEVICE...

#include "gui/CodeWindow.h"
#include "gui/DeferredIconStyle.h"
#include "gui/HelpWindow.h"
#include "gui/MainWindow.h"
#include "shell/KivDirectories.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPixmap>
#include <iostream>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: screenshots OUTPUT_DIR DEVICE...\n";
        return 2;
    }
    const std::string startDir = quorvel::StartDirectory();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(new quorvel::gui::DeferredIconStyle);
    const QString outputDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    int failures = 0;
    for (int i = 2; i < argc; ++i) {
        quorvel::gui::TForm2 code;
        quorvel::gui::TForm3 help;
        quorvel::gui::TForm1 window({quorvel::ProgramDirectory(true),
                                     quorvel::JoinPath(startDir, "Quorvel_Configuration.ini")},
                                    &code, &help);
        window.SetMessagePresenter([&failures](const std::string& m) {
            std::cerr << m << "\n";
            ++failures;
        });
        window.show();
        QApplication::processEvents();
        // Chosen as a user does: "Select PIC", the device highlighted, Enter.
        window.PIC1()->trigger();
        QListWidget* list = window.ListBox1();
        list->setCurrentRow(-1);
        for (int row = 0; row < list->count(); ++row)
            if (list->item(row)->text() == QString::fromLocal8Bit(argv[i]))
                list->setCurrentRow(row);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(list, &enter);
        QApplication::processEvents();
        const QString file = outputDir + "/" + QString::fromLocal8Bit(argv[i]) + ".png";
        if (!window.grab().save(file, "PNG")) {
            std::cerr << "cannot write " << file.toStdString() << "\n";
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
