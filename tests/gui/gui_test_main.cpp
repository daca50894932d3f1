// SPDX-License-Identifier: MIT
// The window and shell tests run in one application object set up as the program sets up its
// own, on the offscreen platform unless told otherwise.
#include <gtest/gtest.h>
#include <QApplication>
#include <QTemporaryDir>

#include "app/startup.h"
#include "tests/gui/expected_boxes.h"

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The window keeps a setting: the tests keep theirs apart from the user's.
    const QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    nimbrel::setUpApplication(application);
    nimbrel::testing::refuseUnexpectedBoxes();
    return RUN_ALL_TESTS();
}
