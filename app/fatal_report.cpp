#include "app/fatal_report.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <typeinfo>

#if __has_include(<cxxabi.h>)
#include <cxxabi.h>
#endif

#include "app/process_platform.h"
#include "discovery/failure.h"
#include "main/message_dialog.h"
#include "main/text.h"

namespace nimbrel {

namespace {

std::string TypeName(const std::type_info& type) {
#if __has_include(<cxxabi.h>)
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> readable(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
    if (status == 0 && readable) {
        return readable.get();
    }
#endif
    return type.name();
}

}  // namespace

QString FatalReportText(const QString& kind, const QString& module, std::uint32_t offset,
                        const QString& message) {
    // A plainer test than the default report's: only a missing full stop is added.
    const bool addFullStop = !message.isEmpty() && !message.endsWith(QLatin1Char('.'));
    return QStringLiteral("Exception ") + kind + QStringLiteral(" in module ") + module +
           QStringLiteral(" at ") +
           QStringLiteral("%1").arg(offset, 8, 16, QLatin1Char('0')).toUpper() +
           QStringLiteral(".\r\n") + message + (addFullStop ? QStringLiteral(".") : QString()) +
           QStringLiteral("\r\n");
}

std::string FailureKind(const std::exception& failure) {
    if (const auto* known = dynamic_cast<const Failure*>(&failure)) {
        return known->Kind();
    }
    return TypeName(typeid(failure));
}

void ReportFatalFailure(const std::exception& failure) {
    const auto* known = dynamic_cast<const Failure*>(&failure);
    const CodeLocation location = LocateCode(known != nullptr ? known->RaisedAt() : nullptr);
    const QString text = FatalReportText(QString::fromStdString(FailureKind(failure)),
                                         QString::fromLocal8Bit(location.module), location.offset,
                                         FromDeviceBytes(failure.what()));
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    MessageDialog::ShowApplicationError(text);
}

}  // namespace nimbrel
