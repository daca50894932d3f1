// SPDX-License-Identifier: MIT
#include "app/startup.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QPointer>
#include <utility>

#include "about/about_dialog.h"
#include "app/failure_report.h"
#include "app/fatal_report.h"
#include "discovery/clock.h"
#include "discovery/interface_choice.h"
#include "discovery/search_socket.h"
#include "main/main_window.h"
#include "main/message_dialog.h"
#include "main/search_driver.h"

namespace nimbrel {

void setUpApplication(QApplication& application) {
    // The name, not the display name: Qt would append a display name to every window caption.
    QCoreApplication::setApplicationName(QString::fromLatin1(ApplicationTitle));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.nimbrel.utility"));
    QIcon icon;
    for (const char* path : {":/icons/app-32.png", ":/icons/app-48.png", ":/icons/app-256.png"}) {
        icon.addFile(QString::fromLatin1(path));
    }
    QApplication::setWindowIcon(icon);
    // Only a quit ends the program. Closing the last visible window must not: a failure box
    // closed while the main window is minimised, or hidden by the window system, is the last.
    application.setQuitOnLastWindowClosed(false);
}

Startup::Startup(std::unique_ptr<SearchRunner> searchRunner, int showCommand)
    : showCommand_(showCommand),
      window_(std::make_unique<MainWindow>(std::move(searchRunner))),
      about_(std::make_unique<AboutDialog>()),
      failureReports_(std::make_unique<FailureReports>()) {
    connect(window_.get(), &MainWindow::aboutRequested, about_.get(), &AboutDialog::openCentred);
    connect(window_.get(), &MainWindow::searchFinished, this, &Startup::searchEnded);
    connect(window_.get(), &MainWindow::searchFailed, this, &Startup::reportFailure);
    // Exit, the close box, the taskbar's Close and the end of the session all end the loop at
    // once; nothing is unsaved.
    const auto quit = [] { QCoreApplication::exit(0); };
    connect(window_.get(), &MainWindow::quitRequested, this, quit);
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, quit);
}

Startup::~Startup() = default;

void Startup::begin() {
    // The window first: the searches take seconds, and a user who sees nothing starts the
    // program again. show() returns as soon as the window system has been asked to map the
    // window, so the first request goes out straight after.
    showWindow();
    searchThen([this] { afterFirstSearch(); });
}

void Startup::searchThen(std::function<void()> next) {
    afterSearch_ = std::move(next);
    if (!window_->search()) {
        // The local address could not be looked up: no search, and start-up goes on.
        searchEnded();
    }
}

void Startup::searchEnded() {
    if (afterSearch_) {
        // Queued: the search that ended may still be on the stack below.
        QMetaObject::invokeMethod(this, std::exchange(afterSearch_, {}), Qt::QueuedConnection);
    }
}

void Startup::reportFailure(const Error& error) {
    // During start-up the next step waits until the report has been closed. While a report is
    // open, those that follow are counted in it (Auto Refresh on a network that is down).
    failureReports_->report(
        error, [self = QPointer<Startup>(this), next = std::exchange(afterSearch_, {})]() mutable {
            if (self && next) {
                self->afterSearch_ = std::move(next);
                self->searchEnded();
            }
        });
}

void Startup::afterFirstSearch() {
    if (restorePending_) {
        secondSearchDue_ = true;
        return;
    }
    searchThen({});
}

void Startup::showWindow() {
    if (showCommand_ == ShowMinimizedNoActive) {
        // Only the taskbar entry appears, and it takes no focus from what the user is doing.
        restorePending_ = true;
        window_->installEventFilter(this);
        window_->setAttribute(Qt::WA_ShowWithoutActivating);
        window_->setWindowState(window_->windowState() | Qt::WindowMinimized);
    } else if (showCommand_ == ShowMaximized) {
        window_->setWindowState(window_->windowState() | Qt::WindowMaximized);
    }
    window_->show();
}

bool Startup::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_.get() && event->type() == QEvent::WindowStateChange &&
        !window_->isMinimized()) {
        // Installed only while the window waits for its first restore.
        window_->removeEventFilter(this);
        restorePending_ = false;
        if (std::exchange(secondSearchDue_, false)) {
            searchThen({});
        }
    }
    return QObject::eventFilter(watched, event);
}

int runUtility(int showCommand) {
    auto socket = std::make_unique<UdpSearchSocket>();
    // The first socket is opened as the main window is created; a failure there belongs to no
    // search and ends the program.
    if (const Result<> opened = socket->open(); !opened.ok()) {
        reportFatalFailure(opened.error());
        return FatalExitStatus;
    }
    Startup startup(
        std::make_unique<SearchDriver>(std::move(socket), std::make_unique<SteadyClock>(),
                                       addressLookup(lookUpLocalAddress)),
        showCommand);
    startup.begin();
    return QApplication::exec();
}

}  // namespace nimbrel
