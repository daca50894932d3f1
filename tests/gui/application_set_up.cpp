// SPDX-License-Identifier: MIT
// The window and shell tests run in an application object set up as the program sets up its own.
#include <gtest/gtest.h>
#include <QApplication>

#include "app/startup.h"
#include "tests/gui/expected_boxes.h"

namespace {

class ApplicationSetUp : public ::testing::Environment {
public:
    void SetUp() override {
        nimbrel::setUpApplication(*qApp);
        nimbrel::testing::refuseUnexpectedBoxes();
    }
};

// Registered before main() runs; set up once the application object exists.
[[maybe_unused]] ::testing::Environment* const applicationSetUp =
    ::testing::AddGlobalTestEnvironment(new ApplicationSetUp);

}  // namespace
