// The application's terminated flag, and the two ways it is set: a quit posted to the event
// queue (Exit, the main window's close box, the taskbar's Close) and the desktop session
// ending (log-off or shutdown).
#pragma once

#include <QObject>
#include <functional>

namespace nimbrel {

class Termination : public QObject {
public:
    /// Listens for the session's end from here on; needs the application object. `onTerminate`
    /// runs each time the flag is set, to end the loops that end on it.
    explicit Termination(std::function<void()> onTerminate);

    bool Terminated() const { return terminated_; }

    /// Posts a quit. Whichever event loop takes it sets the flag; the loops that end on it are
    /// the main loop and the About window's, not a search's nor a message box's.
    void RequestQuit();

protected:
    bool event(QEvent* event) override;

private:
    void Terminate();

    std::function<void()> onTerminate_;
    bool terminated_ = false;
};

}  // namespace nimbrel
