// Start-up, the event loop and the shutdown of the program, in their fixed order.
#pragma once

#include <memory>
#include <optional>

#include "app/process_platform.h"
#include "main/main_window.h"

class QEventLoop;

namespace nimbrel {

class TAboutBox;
class Termination;

class Startup {
public:
    /// The application object must exist. Its quit hook is the startup's own whatever
    /// `dependencies` say; the rest goes to the main window as given.
    explicit Startup(FormDependencies dependencies = {}, int showCommand = StartupShowCommand());
    ~Startup();
    Startup(const Startup&) = delete;
    Startup& operator=(const Startup&) = delete;

    /// The whole run; returns the process's exit status: 0, or FatalExitStatus when creating a
    /// window failed outside every guard (that failure has been reported by then).
    int Run();

    /// Creates the main window (its first search runs inside) and then the About window, both
    /// hidden; false after a fatal failure, with no window left.
    bool Start();

    /// Applies the show command, shows the main window (its second search runs first) and runs
    /// the event loop until the terminated flag is on: it ends as soon as control is back in it
    /// after the flag was set, wherever the quit was taken.
    void RunEventLoop();

    /// Destroys the windows, the last created first; the main window closes the endpoint.
    void ShutDown();

    TForm1* Form1() const;
    TAboutBox* AboutBox() const;
    bool Terminated() const;
    void RequestQuit();

private:
    // Members in creation order, so that they are destroyed the last created first.
    struct Windows {
        std::unique_ptr<TForm1> form1;
        std::unique_ptr<TAboutBox> aboutBox;
    };

    void ShowMainWindow();
    void ShowAbout();
    /// Ends the loops that end on the terminated flag: the main loop and the About window's.
    void EndLoopsOnTermination();

    FormDependencies dependencies_;
    int showCommand_;
    // A loop of its own rather than QApplication::exec, so that ending it leaves the loops
    // nested in it (a message box's, raised by the search that took the quit) free to run on.
    std::unique_ptr<QEventLoop> mainLoop_;
    // Outlives the windows: the main window's quit hook points at it.
    std::unique_ptr<Termination> termination_;
    std::optional<Windows> windows_;
};

}  // namespace nimbrel
