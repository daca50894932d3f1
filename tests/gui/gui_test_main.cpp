// The window and shell tests run in one application object of the program's own kind, so that
// failures escaping handlers take the same way to the failure report as in the program.
#include <gtest/gtest.h>

#include "app/utility_application.h"
#include "tests/gui/expected_boxes.h"

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    nimbrel::UtilityApplication application(argc, argv);
    nimbrel::testing::RefuseUnexpectedBoxes();
    return RUN_ALL_TESTS();
}
