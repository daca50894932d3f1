// SPDX-License-Identifier: MIT
#include "app/fatal_report.h"

#include <cstdio>

#include "app/process_platform.h"
#include "main/message_dialog.h"
#include "main/text.h"

namespace nimbrel {

QString fatalReportText(const QString& kind, const QString& module, std::uint32_t offset,
                        const QString& message) {
    // A plainer test than the failure report's: only a missing full stop is added.
    const bool addFullStop = !message.isEmpty() && !message.endsWith(QLatin1Char('.'));
    return QStringLiteral("Exception ") + kind + QStringLiteral(" in module ") + module +
           QStringLiteral(" at ") +
           QStringLiteral("%1").arg(offset, 8, 16, QLatin1Char('0')).toUpper() +
           QStringLiteral(".\r\n") + message + (addFullStop ? QStringLiteral(".") : QString()) +
           QStringLiteral("\r\n");
}

void reportFatalFailure(const Error& error) {
    const CodeLocation location = locateCode(error.raisedAt);
    const QString text =
        fatalReportText(QString::fromStdString(error.kind), QString::fromLocal8Bit(location.module),
                        location.offset, fromDeviceBytes(error.message));
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    MessageDialog::showApplicationError(text);
}

}  // namespace nimbrel
