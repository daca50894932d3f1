// The application's terminated flag, and the two ways it is set: a quit posted to the event
// queue (Exit, the main window's close box, the taskbar's Close) and the desktop session
// ending (log-off or shutdown).
#pragma once

#include <QObject>

namespace nimbrel {

class Termination : public QObject {
public:
    /// Listens for the session's end from here on; needs the application object.
    Termination();

    bool Terminated() const { return terminated_; }

    /// Posts a quit. Whichever event loop takes it sets the flag and ends every running loop:
    /// the About window's with Cancel, the main loop once the running handler (a search,
    /// perhaps) has returned.
    void RequestQuit();

protected:
    bool event(QEvent* event) override;

private:
    void Terminate();

    bool terminated_ = false;
};

}  // namespace nimbrel
