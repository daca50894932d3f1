// SPDX-License-Identifier: MIT
#include "app/failure_report.h"

#include <QMessageBox>
#include <QWidget>

#include "main/message_dialog.h"
#include "main/text.h"

namespace nimbrel {

namespace {

QMessageBox* openReport(const Error& error, std::function<void()> closed) {
    // A widget that holds the mouse would keep it across the box and miss the release.
    if (QWidget* grabber = QWidget::mouseGrabber()) {
        grabber->releaseMouse();
    }
    return MessageDialog::showFailure(fromDeviceBytes(failureReportText(error.message)),
                                      std::move(closed));
}

}  // namespace

std::string failureReportText(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') {
        text += '.';
    }
    return text;
}

void showFailureReport(const Error& error, std::function<void()> closed) {
    openReport(error, std::move(closed));
}

void FailureReports::report(const Error& error, std::function<void()> closed) {
    if (open_) {
        ++followed_;
        //: Below a failure box's message while it is open: one more failure came.
        const QString one = tr("1 more failure followed.");
        //: Below a failure box's message while it is open; %1 (more than one) failures
        //: followed the one shown.
        const QString more = tr("%1 more failures followed.").arg(followed_);
        open_->setInformativeText(followed_ == 1 ? one : more);
        if (closed) {
            waiting_.push_back(std::move(closed));
        }
        return;
    }
    followed_ = 0;
    open_ = openReport(error, [self = QPointer<FailureReports>(this), closed = std::move(closed)] {
        if (closed) {
            closed();
        }
        if (self) {
            self->boxClosed();
        }
    });
}

void FailureReports::boxClosed() {
    open_ = nullptr;
    followed_ = 0;
    for (const std::function<void()>& closed : std::exchange(waiting_, {})) {
        closed();
    }
}

}  // namespace nimbrel
