#include "qt_messages.h"

namespace nimbrel::testing {

namespace {
QtMessagesCaught* current = nullptr;
}  // namespace

QtMessagesCaught::QtMessagesCaught() {
    current = this;
    previous_ = qInstallMessageHandler(&QtMessagesCaught::Keep);
}

QtMessagesCaught::~QtMessagesCaught() {
    qInstallMessageHandler(previous_);
    current = nullptr;
}

void QtMessagesCaught::Keep(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (current != nullptr) {
        current->messages_ << message;
    }
}

}  // namespace nimbrel::testing
