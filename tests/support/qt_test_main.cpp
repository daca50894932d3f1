// SPDX-License-Identifier: MIT
// The main of the widget tests: one application object for the whole run, created before any
// test. Tests that need more of the application set up register a ::testing::Environment.
#include <gtest/gtest.h>
#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv) {
#ifndef _WIN32
    // No display is needed: unless told otherwise the windows live on the offscreen platform.
    // Qt for Windows is built with its own platform only, which needs no display either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#endif
    // The window keeps settings: the tests keep theirs apart from the user's.
    const QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
