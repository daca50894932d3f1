// SPDX-License-Identifier: MIT
// Widget tests need one QApplication for the whole run, created before any test.
#include <gtest/gtest.h>
#include <QApplication>

int main(int argc, char** argv) {
    // No display is needed: unless told otherwise the windows live on the offscreen platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
