// SPDX-License-Identifier: MIT
// The window and shell tests run in one application object set up as the program sets up its
// own, on the offscreen platform unless told otherwise.
#include <gtest/gtest.h>
#include <QApplication>

#include "app/startup.h"
#include "tests/gui/expected_boxes.h"

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    nimbrel::SetUpApplication(application);
    nimbrel::testing::RefuseUnexpectedBoxes();
    return RUN_ALL_TESTS();
}
