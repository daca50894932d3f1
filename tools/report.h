// The two reports of nimbrel-discover, built from a device table's records 0 to count - 1.
#pragma once

#include <string>

#include "discovery/device_table.h"

namespace nimbrel::tools {

/// One JSON object and a line break: {"devices":[{"model":...,"ipv4":...,"mac":...,
/// "firmware":...,"copy_text":...},...]} in table order.
std::string JsonReport(const DeviceTable& table, int count);

/// A table with a header line and one aligned row per device, or a line saying that none
/// answered.
std::string TextReport(const DeviceTable& table, int count);

}  // namespace nimbrel::tools
