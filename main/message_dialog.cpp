#include "main/message_dialog.h"

#include <QGuiApplication>
#include <cstdio>
#include <utility>

namespace nimbrel {

namespace {

MessageDialog::TestHook& Hook() {
    static MessageDialog::TestHook hook;
    return hook;
}

bool SomeoneSeesTheScreen() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

}  // namespace

void MessageDialog::ShowFailure(const QString& text) {
    Show(QMessageBox::Critical, QString::fromLatin1(ApplicationTitle), text, Unseen::WriteToStderr);
}

void MessageDialog::ShowNotice(const QString& text) {
    Show(QMessageBox::NoIcon, QString::fromLatin1(ApplicationTitle), text, Unseen::WriteToStderr);
}

void MessageDialog::ShowApplicationError(const QString& text) {
    // Its caller writes the text to stderr in any case.
    Show(QMessageBox::Critical, QStringLiteral("Application Error"), text, Unseen::Drop);
}

MessageDialog::TestHook MessageDialog::SetTestHook(TestHook hook) {
    return std::exchange(Hook(), std::move(hook));
}

void MessageDialog::Show(QMessageBox::Icon icon, const QString& title, const QString& text,
                         Unseen unseen) {
    // No parent: the box belongs to the application and opens in the middle of the screen.
    QMessageBox box(icon, title, text, QMessageBox::Ok);
    // The text may come from a device or from a failure that quotes one: never markup.
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    if (const TestHook hook = Hook()) {
        hook(box);
        return;
    }
    if (SomeoneSeesTheScreen()) {
        box.exec();
    } else if (unseen == Unseen::WriteToStderr) {
        // Nobody could answer the box, so it is not run; what it says must not be lost.
        const QByteArray line =
            (title + QStringLiteral(": ") + text + QLatin1Char('\n')).toLocal8Bit();
        std::fputs(line.constData(), stderr);
        std::fflush(stderr);
    }
}

}  // namespace nimbrel
