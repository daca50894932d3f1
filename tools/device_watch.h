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

const char* kindName(DeviceChange::Kind kind);

/// Remembers the devices of the last searches. A device is known by its MAC address and the
/// interface it answered on; it has changed when a field that the report shows of it differs
/// (model, IPv4 address, listed MAC, firmware, copy text, or which of them it sent), not when
/// only the address or port that it sent from did.
class DeviceWatch {
public:
    /// The changes from the devices known so far to `result`'s: appeared and changed ones in the
    /// order of `result`, then the ones that are gone in their earlier order. Devices of one
    /// identity pair up with an equal one first, then the rest in their order. A search that
    /// left devices out or lost replies is incomplete: a device missing from it is not gone,
    /// and stays known.
    std::vector<DeviceChange> update(const SearchResult& result);

private:
    std::vector<DeviceView> known_;
};

/// True when the search may have missed devices that answered.
bool incomplete(const SearchResult& result);

/// One line for a change: {"event":"appeared","device":{...}} in JSON, or for people the time
/// (UTC, ISO 8601), the event, and the device's model, address, MAC, firmware and interface.
std::string watchLine(const DeviceChange& change, bool json, std::time_t when);

}  // namespace nimbrel::tools
