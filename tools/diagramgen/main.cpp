// diagramgen OUTPUT_DIR: draws every shipped clock diagram and writes its bitmap and its
// description file into OUTPUT_DIR.

#include "Generator.h"

#include <QGuiApplication>

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    // Nothing is shown: the off-screen platform serves fonts without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::cerr << "Usage: diagramgen OUTPUT_DIR\n";
        return 2;
    }
    try {
        const auto files = quorvel::diagramgen::GenerateAll();
        quorvel::diagramgen::WriteFiles(files, argv[1]);
        for (const auto& file : files)
            std::cout << file.name << "\n";
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
