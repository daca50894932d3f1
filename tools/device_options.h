// SPDX-License-Identifier: MIT
// Reading the simulator's command-line values. Each returns the value, or an Error whose message
// is fit for the user when the text does not fit.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "discovery/address.h"
#include "discovery/result.h"
#include "tools/device_simulator.h"

namespace nimbrel::tools {

/// "a.b.c.d", four decimal numbers 0 to 255.
Result<Ipv4Bytes> parseAddress(std::string_view text);

/// Six pairs of hexadecimal digits joined by '-' or ':'.
Result<MacBytes> parseMac(std::string_view text);

/// Pairs of hexadecimal digits, blanks allowed between pairs; "" is zero bytes.
Result<std::vector<std::uint8_t>> parseHex(std::string_view text);

/// "a.b.c.d:port".
Result<Peer> parseListen(std::string_view text);

/// A delay in milliseconds, 0 to one day.
Result<std::chrono::milliseconds> parseDelay(std::string_view text);

/// A positive count.
Result<int> parseCount(std::string_view text);

struct DeviceOption {
    DeviceSpec device;
    std::optional<std::chrono::milliseconds> delay;
};

/// "key=value,key=value..." with the keys model, ipv4, mac, firmware, copy and delay, each
/// at most once; texts are taken byte for byte and cannot hold ','.
Result<DeviceOption> parseDeviceOption(std::string_view text);

}  // namespace nimbrel::tools
