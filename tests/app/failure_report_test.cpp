// The default failure report as the application shell shows it; the "." rule itself is tested
// with the window's parts.
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QTimer>
#include <stdexcept>

#include "tests/gui/expected_boxes.h"

namespace nimbrel::testing {
namespace {

TEST(FailureReport, EmptyMessageShowsAnEmptyBoxCaptionedWithTheTitle) {
    ExpectBoxes box;
    QTimer::singleShot(0, [] { throw std::runtime_error(""); });

    QCoreApplication::processEvents();

    EXPECT_EQ(box.Box().text, "");
    EXPECT_EQ(box.Box().title, "NIMBREL AP/BRIDGE/CloudAP");
    EXPECT_EQ(box.Box().icon, QMessageBox::Critical);
    EXPECT_EQ(box.Box().buttonCount, 1);
}

}  // namespace
}  // namespace nimbrel::testing
