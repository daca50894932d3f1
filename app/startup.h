// SPDX-License-Identifier: MIT
// Start-up: the windows in their order, the two start-up searches one after the other, the
// show command, and the ways the program ends. Everything after the first step is driven by
// the event loop, which is QApplication::exec() and nothing else.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "app/process_platform.h"
#include "main/search_runner.h"

class QApplication;

namespace nimbrel {

class AboutDialog;
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

    /// Runs the first search; once it has ended (and its failure report, if any, is closed) the
    /// second; once that has ended, shows the main window. Shown minimised, the window is shown
    /// after the first search, and the second runs at its first restore. Returns at once.
    void begin();

    MainWindow& window() const { return *window_; }
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
    // In creation order, so that they are destroyed the last created first.
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<AboutDialog> about_;
    // The start-up step that waits for the running search to end; empty after start-up.
    std::function<void()> afterSearch_;
};

/// The program once its command line and display are known good: opens the search's socket
/// (a failure there ends the program with FatalExitStatus), starts up and runs the event loop.
int runUtility(int showCommand = startupShowCommand());

}  // namespace nimbrel
