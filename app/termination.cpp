#include "app/termination.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QSessionManager>
#include <utility>

namespace nimbrel {

namespace {

QEvent::Type QuitEventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

}  // namespace

Termination::Termination(std::function<void()> onTerminate) : onTerminate_(std::move(onTerminate)) {
    // Qt 6 itself neither closes windows nor cancels the log-off here; the flag is all that
    // the session's end changes, as a quit would.
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { Terminate(); });
}

void Termination::RequestQuit() {
    QCoreApplication::postEvent(this, new QEvent(QuitEventType()));
}

bool Termination::event(QEvent* event) {
    if (event->type() == QuitEventType()) {
        Terminate();
        return true;
    }
    return QObject::event(event);
}

void Termination::Terminate() {
    terminated_ = true;
    // Not QCoreApplication::exit: that would mark the whole thread as quitting, and every
    // nested loop started from then on (a failure box raised by the search that took the quit)
    // would return at once, the box unseen.
    if (onTerminate_) {
        onTerminate_();
    }
}

}  // namespace nimbrel
