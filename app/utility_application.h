// The application object: its title, and the one place where failures of handlers end up.
#pragma once

#include <QApplication>

namespace nimbrel {

class UtilityApplication : public QApplication {
public:
    UtilityApplication(int& argc, char** argv);

    /// Delivers the event; a failure that escapes its handler is reported and the program goes
    /// on with the next event.
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace nimbrel
