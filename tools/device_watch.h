// SPDX-License-Identifier: MIT
// What changed between two searches, for nimbrel-discover --watch.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "discovery/device_view.h"

namespace nimbrel::tools {

struct DeviceChange {
    enum class Kind { Appeared, Changed, Gone };
    Kind kind;
    DeviceView device;  // the new view; for a device that is gone, the last one seen
};

const char* KindName(DeviceChange::Kind kind);

/// Remembers the devices of the last search. A device is known by its MAC address and the
/// interface it answered on; it has changed when anything that the report shows of it differs.
class DeviceWatch {
public:
    /// The changes from the previous search's devices to `devices`: appeared and changed ones
    /// in the order of `devices`, then the ones that are gone in their earlier order.
    std::vector<DeviceChange> Update(const std::vector<DeviceView>& devices);

private:
    std::vector<DeviceView> known_;
};

/// One line for a change: {"event":"appeared","device":{...}} in JSON, or for people the time
/// (UTC, ISO 8601), the event, and the device's model, address, MAC, firmware and interface.
std::string WatchLine(const DeviceChange& change, bool json, std::time_t when);

}  // namespace nimbrel::tools
