// SPDX-License-Identifier: MIT
// The lines of nimbrel-discover --watch, one for each event of the device history.
#pragma once

#include <string>

#include "discovery/device_history.h"

namespace nimbrel::tools {

/// `time` in RFC 3339 UTC with milliseconds: "2026-12-10T07:45:12.345Z".
std::string utcTimestamp(WallClock::TimePoint time);

/// One line for an event, ending in a line break. In JSON {"event":"changed","time":"...",
/// "device":{...},"changed":["firmware",...]} ("changed" for that event only, the device as in
/// the report); for people the time, the event, the device's model, address, MAC, firmware and
/// interface, and for a change "(changed: firmware, ...)".
std::string watchLine(const HistoryEvent& event, bool json);

}  // namespace nimbrel::tools
