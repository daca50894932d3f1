// SPDX-License-Identifier: MIT
// Start-up: the main window on screen at once, the two start-up searches one after the other
// in it, the show command, and the ways the program ends. Everything after the first step is
// driven by the event loop, which is QApplication::exec() and nothing else.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "app/process_platform.h"
#include "main/search_runner.h"

class QApplication;

namespace nimbrel {

class AboutDialog;
class FailureReports;
class MainWindow;

/// The application's title, icon and desktop entry; only a quit ends the program.
void setUpApplication(QApplication& application);

class Startup : public QObject {
    Q_OBJECT

public:
    /// Creates the main window (searching with `searchRunner`) and then the About window, both
    /// hidden, and wires the About command, the failure report and the ways to quit.
    Startup(std::unique_ptr<SearchRunner> searchRunner, int showCommand = startupShowCommand());
    ~Startup() override;

    /// Shows the main window as the show command says and starts the first search in it; once
    /// that has ended (and its failure report, if any, is closed) the second runs. Each search's
    /// result is listed as it ends, and every command works meanwhile. Shown minimised, the
    /// second search waits for the window's first restore (or runs at once after the first when
    /// the window was restored during it). A command to search while a start-up search runs is
    /// ignored, as at any time; one that ran in between stands in for the second. Returns at once.
    void begin();

    MainWindow& window() const { return *window_; }
    /// The failure reports of the window's searches, one box at a time.
    FailureReports& failureReports() const { return *failureReports_; }
    AboutDialog& about() const { return *about_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void searchThen(std::function<void()> next);
    void searchEnded();
    void reportFailure(const Error& error);
    void afterFirstSearch();
    void showWindow();

    int showCommand_;
    // Shown minimised and not restored yet: the second search waits for the restore.
    bool restorePending_ = false;
    // The first search has ended while the restore was pending.
    bool secondSearchDue_ = false;
    // In creation order, so that they are destroyed the last created first.
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<AboutDialog> about_;
    std::unique_ptr<FailureReports> failureReports_;
    // The start-up step that waits for the running search to end; empty after start-up.
    std::function<void()> afterSearch_;
};

/// The program once its command line and display are known good: opens the search's socket
/// (a failure there ends the program with FatalExitStatus), starts up and runs the event loop.
int runUtility(int showCommand = startupShowCommand());

}  // namespace nimbrel
