#include "app/termination.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QSessionManager>

namespace nimbrel {

namespace {

QEvent::Type QuitEventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

}  // namespace

Termination::Termination() {
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
    // Every loop running now ends once control is back in it. Outside any loop (during
    // start-up) only the flag counts: the main loop then does not start.
    QCoreApplication::exit(0);
}

}  // namespace nimbrel
