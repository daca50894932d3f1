// SPDX-License-Identifier: MIT
// The report of a failure that ends the program: the search's socket could not be opened
// while the main window was being created.
#pragma once

#include <QString>
#include <cstdint>

#include "discovery/error.h"

namespace nimbrel {

/// Exit status of the process after such a failure.
inline constexpr int FatalExitStatus = 1;

/// "Exception <kind> in module <module> at <offset>." CR LF, the message, "." when the message
/// is not empty and does not end in ".", CR LF; the offset as eight upper-case hex digits.
QString fatalReportText(const QString& kind, const QString& module, std::uint32_t offset,
                        const QString& message);

/// Writes the report to stderr, so that a run whose box nobody sees still says why it ended,
/// then shows it in the "Application Error" box and returns once that is dismissed.
void reportFatalFailure(const Error& error);

}  // namespace nimbrel
