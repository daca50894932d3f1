// SPDX-License-Identifier: MIT
// Before the application object exists: is there a display that the window could open on?
// Qt aborts with a message of its own when its window system cannot be reached, so the plain
// reason is given first.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace nimbrel {

/// Reads one environment variable; empty when it is not set.
using EnvironmentReader = std::function<std::string(const char* name)>;

/// What to tell the user when the environment names no display that the window system
/// platform chosen by QT_QPA_PLATFORM could reach (naming the platforms asked for and the
/// variables that they lack); nullopt when there may be one.
std::optional<std::string> missingDisplayMessage(const EnvironmentReader& environment);

/// The same for this process; always nullopt where the windowing system needs no display
/// name (Windows, macOS).
std::optional<std::string> missingDisplayMessage();

}  // namespace nimbrel
