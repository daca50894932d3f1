// SPDX-License-Identifier: MIT
#include "app/failure_report.h"

#include <QWidget>

#include "main/message_dialog.h"
#include "main/text.h"

namespace nimbrel {

std::string failureReportText(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') {
        text += '.';
    }
    return text;
}

void showFailureReport(const Error& error, std::function<void()> closed) {
    // A widget that holds the mouse would keep it across the box and miss the release.
    if (QWidget* grabber = QWidget::mouseGrabber()) {
        grabber->releaseMouse();
    }
    MessageDialog::showFailure(fromDeviceBytes(failureReportText(error.message)),
                               std::move(closed));
}

}  // namespace nimbrel
