// SPDX-License-Identifier: MIT
// The failure report: what the user sees of a search that failed.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "discovery/error.h"

namespace nimbrel {

/// The message as reported: "." appended when its last byte sorts after "." (unsigned).
std::string failureReportText(std::string_view message);

/// Opens the report: the application title as caption, a stop icon, one OK button. `closed`
/// runs once the user has closed it.
void showFailureReport(const Error& error, std::function<void()> closed = {});

}  // namespace nimbrel
