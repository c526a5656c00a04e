// Runs the window tests inside one QApplication on the off-screen platform.

#include "gui/DeferredIconStyle.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setStyle(new quorvel::gui::DeferredIconStyle);
    return RUN_ALL_TESTS();
}
