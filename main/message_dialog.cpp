// SPDX-License-Identifier: MIT
#include "main/message_dialog.h"

#include <QGuiApplication>
#include <cstdio>
#include <memory>
#include <utility>

namespace nimbrel {

namespace {

MessageDialog::TestHook& installedHook() {
    static MessageDialog::TestHook hook;
    return hook;
}

bool& leaveFailuresOpen() {
    static bool open = false;
    return open;
}

bool someoneSeesTheScreen() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

std::unique_ptr<QMessageBox> makeBox(QMessageBox::Icon icon, const QString& title,
                                     const QString& text,
                                     Qt::WindowModality modality = Qt::ApplicationModal) {
    // No parent: the box belongs to the application and opens in the middle of the screen.
    auto box = std::make_unique<QMessageBox>(icon, title, text, QMessageBox::Ok);
    // The text may come from a device or from a failure that quotes one: never markup.
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(modality);
    return box;
}

QMessageBox* showBox(std::unique_ptr<QMessageBox> box) {
    QMessageBox* shown = box.release();
    QObject::connect(shown, &QDialog::finished, shown, &QObject::deleteLater);
    shown->show();
    return shown;
}

void writeToStderr(const QString& title, const QString& text) {
    const QByteArray line = (title + QStringLiteral(": ") + text + QLatin1Char('\n')).toLocal8Bit();
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
}

QMessageBox* openBox(QMessageBox::Icon icon, const QString& text, std::function<void()> closed,
                     Qt::WindowModality modality = Qt::ApplicationModal) {
    const QString title = QString::fromLatin1(ApplicationTitle);
    std::unique_ptr<QMessageBox> box = makeBox(icon, title, text, modality);
    QObject::connect(box.get(), &QDialog::finished, box.get(), [closed = std::move(closed)] {
        if (closed) {
            closed();
        }
    });
    if (const MessageDialog::TestHook hook = installedHook()) {
        hook(*box);
        if (modality == Qt::NonModal && leaveFailuresOpen()) {
            return showBox(std::move(box));
        }
        box->done(QMessageBox::Ok);
        return nullptr;
    }
    if (!someoneSeesTheScreen()) {
        // Nobody could answer the box; what it says must not be lost.
        writeToStderr(title, text);
        box->done(QMessageBox::Ok);
        return nullptr;
    }
    // Shown, not open(): open() would make it window-modal, which a box without a parent
    // window is to no window at all.
    return showBox(std::move(box));
}

}  // namespace

QMessageBox* MessageDialog::showFailure(const QString& text, std::function<void()> closed) {
    // Not modal: a failure that repeats (a search every few seconds on a network that is down)
    // must leave the menus usable, so that Auto Refresh can be switched off.
    return openBox(QMessageBox::Critical, text, std::move(closed), Qt::NonModal);
}

void MessageDialog::showNotice(const QString& text, std::function<void()> closed) {
    openBox(QMessageBox::NoIcon, text, std::move(closed));
}

void MessageDialog::showApplicationError(const QString& text) {
    std::unique_ptr<QMessageBox> box =
        makeBox(QMessageBox::Critical,
                //: The caption of the box that reports a failure ending the program.
                QCoreApplication::translate("nimbrel::MessageDialog", "Application Error"), text);
    if (const TestHook hook = installedHook()) {
        hook(*box);
        return;
    }
    // Its caller writes the text to stderr in any case. The event loop has not started, and
    // the program ends once the box is dismissed, so the box runs a loop of its own.
    if (someoneSeesTheScreen()) {
        box->exec();
    }
}

MessageDialog::TestHook MessageDialog::setTestHook(TestHook hook) {
    return std::exchange(installedHook(), std::move(hook));
}

void MessageDialog::setTestLeavesFailuresOpen(bool open) {
    leaveFailuresOpen() = open;
}

}  // namespace nimbrel
