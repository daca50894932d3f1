// SPDX-License-Identifier: MIT
#include "tests/gui/expected_boxes.h"

#include <gtest/gtest.h>
#include <QAbstractButton>

namespace nimbrel::testing {

namespace {

ShownBox Record(const QMessageBox& box) {
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
    previous_ = MessageDialog::SetTestHook([this](QMessageBox& box) {
        shown_.push_back(Record(box));
        if (Count() > expected_) {
            ADD_FAILURE() << "one message box more than expected: " << box.text().toStdString();
        }
        if (whileOpen_) {
            whileOpen_(shown_.back());
        }
    });
}

ExpectBoxes::~ExpectBoxes() {
    MessageDialog::SetTestHook(std::move(previous_));
    if (Count() < expected_) {
        ADD_FAILURE() << "expected " << expected_ << " message box(es), " << Count() << " appeared";
    }
}

ShownBox ExpectBoxes::Box(int index) const {
    if (index < 0 || index >= Count()) {
        ADD_FAILURE() << "no message box number " << index;
        return {};
    }
    return shown_[static_cast<std::size_t>(index)];
}

void RefuseUnexpectedBoxes() {
    MessageDialog::SetTestHook([](QMessageBox& box) {
        ADD_FAILURE() << "unexpected message box: " << box.text().toStdString();
    });
}

}  // namespace nimbrel::testing
