// The default failure report: what the user sees of a failure that escaped a handler.
#pragma once

#include <string>
#include <string_view>

namespace nimbrel {

/// The message as reported: "." appended when its last byte sorts after "." (unsigned).
std::string FailureReportText(std::string_view message);

/// Shows the report modally: the application title as caption, a stop icon, one OK button.
void ShowFailureReport(std::string_view message);

}  // namespace nimbrel
