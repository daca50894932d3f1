#include "main/message_dialog.h"

#include <utility>

namespace nimbrel {

namespace {

MessageDialog::TestHook& Hook() {
    static MessageDialog::TestHook hook;
    return hook;
}

}  // namespace

void MessageDialog::ShowFailure(const QString& text) {
    Show(QMessageBox::Critical, text);
}

void MessageDialog::ShowNotice(const QString& text) {
    Show(QMessageBox::NoIcon, text);
}

MessageDialog::TestHook MessageDialog::SetTestHook(TestHook hook) {
    return std::exchange(Hook(), std::move(hook));
}

void MessageDialog::Show(QMessageBox::Icon icon, const QString& text) {
    // No parent: the box belongs to the application and opens in the middle of the screen.
    QMessageBox box(icon, QString::fromLatin1(ApplicationTitle), text, QMessageBox::Ok);
    // The text may come from a device or from a failure that quotes one: never markup.
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    if (const TestHook hook = Hook()) {
        hook(box);
        return;
    }
    box.exec();
}

}  // namespace nimbrel
