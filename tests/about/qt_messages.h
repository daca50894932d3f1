// Catches what Qt writes to its log, such as the warning of a modal loop asked to nest.
#pragma once

#include <QStringList>
#include <QtGlobal>

namespace nimbrel::testing {

/// While it lives, Qt's log messages are kept here instead of being printed; one at a time.
class QtMessagesCaught {
public:
    QtMessagesCaught();
    ~QtMessagesCaught();
    QtMessagesCaught(const QtMessagesCaught&) = delete;
    QtMessagesCaught& operator=(const QtMessagesCaught&) = delete;

    const QStringList& Messages() const { return messages_; }

private:
    static void Keep(QtMsgType type, const QMessageLogContext& context, const QString& message);

    QStringList messages_;
    QtMessageHandler previous_ = nullptr;
};

}  // namespace nimbrel::testing
