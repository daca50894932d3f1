// SPDX-License-Identifier: MIT
#include "main/message_dialog.h"

#include <QGuiApplication>
#include <cstdio>
#include <memory>
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

std::unique_ptr<QMessageBox> MakeBox(QMessageBox::Icon icon, const QString& title,
                                     const QString& text) {
    // No parent: the box belongs to the application and opens in the middle of the screen.
    auto box = std::make_unique<QMessageBox>(icon, title, text, QMessageBox::Ok);
    // The text may come from a device or from a failure that quotes one: never markup.
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::ApplicationModal);
    return box;
}

void WriteToStderr(const QString& title, const QString& text) {
    const QByteArray line = (title + QStringLiteral(": ") + text + QLatin1Char('\n')).toLocal8Bit();
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
}

void Open(QMessageBox::Icon icon, const QString& text, std::function<void()> closed) {
    const QString title = QString::fromLatin1(ApplicationTitle);
    std::unique_ptr<QMessageBox> box = MakeBox(icon, title, text);
    QObject::connect(box.get(), &QDialog::finished, box.get(), [closed = std::move(closed)] {
        if (closed) {
            closed();
        }
    });
    if (const MessageDialog::TestHook hook = Hook()) {
        hook(*box);
        box->done(QMessageBox::Ok);
        return;
    }
    if (!SomeoneSeesTheScreen()) {
        // Nobody could answer the box; what it says must not be lost.
        WriteToStderr(title, text);
        box->done(QMessageBox::Ok);
        return;
    }
    // Application-modal and shown, not open(): open() would make it window-modal, which a box
    // without a parent window is to no window at all.
    QMessageBox* shown = box.release();
    QObject::connect(shown, &QDialog::finished, shown, &QObject::deleteLater);
    shown->show();
}

}  // namespace

void MessageDialog::ShowFailure(const QString& text, std::function<void()> closed) {
    Open(QMessageBox::Critical, text, std::move(closed));
}

void MessageDialog::ShowNotice(const QString& text, std::function<void()> closed) {
    Open(QMessageBox::NoIcon, text, std::move(closed));
}

void MessageDialog::ShowApplicationError(const QString& text) {
    std::unique_ptr<QMessageBox> box =
        MakeBox(QMessageBox::Critical, QStringLiteral("Application Error"), text);
    if (const TestHook hook = Hook()) {
        hook(*box);
        return;
    }
    // Its caller writes the text to stderr in any case. The event loop has not started, and
    // the program ends once the box is dismissed, so the box runs a loop of its own.
    if (SomeoneSeesTheScreen()) {
        box->exec();
    }
}

MessageDialog::TestHook MessageDialog::SetTestHook(TestHook hook) {
    return std::exchange(Hook(), std::move(hook));
}

}  // namespace nimbrel
