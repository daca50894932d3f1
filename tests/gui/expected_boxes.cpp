// SPDX-License-Identifier: MIT
#include "tests/gui/expected_boxes.h"

#include <gtest/gtest.h>
#include <QAbstractButton>

namespace nimbrel::testing {

namespace {

ShownBox record(const QMessageBox& box) {
    ShownBox shown;
    shown.title = box.windowTitle();
    shown.text = box.text();
    shown.icon = box.icon();
    shown.buttons = box.standardButtons();
    shown.buttonCount = static_cast<int>(box.buttons().size());
    shown.textFormat = box.textFormat();
    shown.hasParent = box.parentWidget() != nullptr;
    return shown;
}

}  // namespace

ExpectBoxes::ExpectBoxes(int count, std::function<void(const ShownBox&)> whileOpen)
    : expected_(count), whileOpen_(std::move(whileOpen)) {
    previous_ = MessageDialog::setTestHook([this](QMessageBox& box) {
        shown_.push_back(record(box));
        if (this->count() > expected_) {
            ADD_FAILURE() << "one message box more than expected: " << box.text().toStdString();
        }
        if (whileOpen_) {
            whileOpen_(shown_.back());
        }
    });
}

ExpectBoxes::~ExpectBoxes() {
    MessageDialog::setTestHook(std::move(previous_));
    if (count() < expected_) {
        ADD_FAILURE() << "expected " << expected_ << " message box(es), " << count() << " appeared";
    }
}

ShownBox ExpectBoxes::box(int index) const {
    if (index < 0 || index >= count()) {
        ADD_FAILURE() << "no message box number " << index;
        return {};
    }
    return shown_[static_cast<std::size_t>(index)];
}

void refuseUnexpectedBoxes() {
    MessageDialog::setTestHook([](QMessageBox& box) {
        ADD_FAILURE() << "unexpected message box: " << box.text().toStdString();
    });
}

}  // namespace nimbrel::testing
