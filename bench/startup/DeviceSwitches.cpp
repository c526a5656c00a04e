// Memory of the program's windows after switching devices: the windows of
// Quorvel_Configuration, then each device named on the command line chosen in the device list
// in turn (as many switches as asked), the window painted after each. Prints the resident
// memory in KiB after the last switch and at its peak, as "rss_kib=N peak_kib=N".
//
// usage: bench_device_switches SWITCHES DEVICE...

#include "gui/CodeWindow.h"
#include "gui/HelpWindow.h"
#include "gui/MainWindow.h"
#include "shell/KivDirectories.h"

#include <QApplication>
#include <QListWidget>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

namespace {

// A line "Key:   N kB" of /proc/self/status.
long StatusKib(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0)
            return std::strtol(line.c_str() + key.size() + 1, nullptr, 10);
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: bench_device_switches SWITCHES DEVICE...\n";
        return 2;
    }
    const int switches = std::atoi(argv[1]);
    const std::string startDir = quorvel::StartDirectory();
    QApplication app(argc, argv);
    quorvel::SessionPaths paths{quorvel::ProgramDirectory(true),
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
    QApplication::processEvents();
    for (int i = 0; i < switches; ++i) {
        const QString device = QString::fromLocal8Bit(argv[2 + i % (argc - 2)]);
        const auto found = mainWindow.ListBox1()->findItems(device, Qt::MatchExactly);
        if (found.isEmpty()) {
            std::cerr << "no device " << device.toStdString() << " in the list\n";
            return 1;
        }
        mainWindow.PIC1Click();
        mainWindow.ListBox1()->setCurrentItem(found.front());
        mainWindow.ListBox1Click();
        mainWindow.repaint();
        QApplication::processEvents();
    }
    std::printf("rss_kib=%ld peak_kib=%ld\n", StatusKib("VmRSS"), StatusKib("VmHWM"));
    return messages == 0 ? 0 : 1;
}
