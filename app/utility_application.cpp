#include "app/utility_application.h"

#include <QIcon>
#include <exception>

#include "app/failure_report.h"
#include "main/message_dialog.h"

namespace nimbrel {

UtilityApplication::UtilityApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The name, not the display name: Qt would append a display name to every window caption.
    setApplicationName(QString::fromLatin1(ApplicationTitle));
    QIcon icon;
    for (const char* path : {":/icons/app-32.png", ":/icons/app-48.png", ":/icons/app-256.png"}) {
        icon.addFile(QString::fromLatin1(path));
    }
    setWindowIcon(icon);
    // Only a quit ends the program. Closing the last visible window must not: the About window
    // or a failure box can be the last one while the main window is not shown yet.
    setQuitOnLastWindowClosed(false);
}

bool UtilityApplication::notify(QObject* receiver, QEvent* event) {
    // Handlers catch nothing: whatever they throw, failures of the socket layer included,
    // abandons that handler here and nothing else.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        ShowFailureReport(failure.what());
    }
    return false;
}

}  // namespace nimbrel
