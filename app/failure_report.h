// SPDX-License-Identifier: MIT
// The failure report: what the user sees of a search that failed.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/error.h"

namespace nimbrel {

/// The message as reported: "." appended when its last byte sorts after "." (unsigned).
std::string failureReportText(std::string_view message);

/// Opens the report: the application title as caption, a stop icon, one OK button, not modal.
/// `closed` runs once the user has closed it.
void showFailureReport(const Error& error, std::function<void()> closed = {});

/// Shows failure reports one at a time. While a report is open, the failures that follow open
/// no box of their own: the open box counts them ("2 more failures followed."), so that a
/// failure that repeats every few seconds cannot pile boxes up. The next failure after the box
/// is closed opens one again.
class FailureReports : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    /// Reports `error`: in a box of its own, or counted in the one open. `closed` runs once
    /// the box that showed or counted it has been closed.
    void report(const Error& error, std::function<void()> closed = {});

    /// The box open now, or nullptr.
    QMessageBox* openBox() const { return open_; }

private:
    void boxClosed();

    QPointer<QMessageBox> open_;
    int followed_ = 0;
    std::vector<std::function<void()>> waiting_;  // the `closed` of the failures counted
};

}  // namespace nimbrel
