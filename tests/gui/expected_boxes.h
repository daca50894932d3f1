// SPDX-License-Identifier: MIT
// Answers the message boxes that a test expects, and fails the test when their number differs.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>
#include <ostream>
#include <vector>

#include "main/message_dialog.h"

QT_BEGIN_NAMESPACE
/// Failed expectations print texts as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace nimbrel::testing {

/// What a box looked like when it would have opened.
struct ShownBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    int buttonCount = 0;
    Qt::TextFormat textFormat = Qt::AutoText;
    bool hasParent = false;
};

/// While it lives, the next `count` boxes are recorded and answered with OK; `whileOpen` runs
/// for each of them while it is open, as if the user looked at the screen before pressing OK.
class ExpectBoxes {
public:
    explicit ExpectBoxes(int count = 1, std::function<void(const ShownBox&)> whileOpen = {});
    ~ExpectBoxes();
    ExpectBoxes(const ExpectBoxes&) = delete;
    ExpectBoxes& operator=(const ExpectBoxes&) = delete;

    int count() const { return static_cast<int>(shown_.size()); }
    /// The box shown `index`-th; the test fails (and gets an empty record) when there is none.
    ShownBox box(int index = 0) const;

private:
    int expected_;
    std::function<void(const ShownBox&)> whileOpen_;
    std::vector<ShownBox> shown_;
    MessageDialog::TestHook previous_;
};

/// Installed for the whole run: a box that no test expects fails the test instead of blocking.
void refuseUnexpectedBoxes();

}  // namespace nimbrel::testing
