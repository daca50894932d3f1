// SPDX-License-Identifier: MIT
// Reading the simulator's command-line values; every parser throws std::invalid_argument with
// a message fit for the user when the text does not fit.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "discovery/address.h"
#include "tools/device_simulator.h"

namespace nimbrel::tools {

/// "a.b.c.d", four decimal numbers 0 to 255.
Ipv4Bytes ParseAddress(std::string_view text);

/// Six pairs of hexadecimal digits joined by '-' or ':'.
MacBytes ParseMac(std::string_view text);

/// Pairs of hexadecimal digits, blanks allowed between pairs; "" is zero bytes.
std::vector<std::uint8_t> ParseHex(std::string_view text);

/// "a.b.c.d:port".
Peer ParseListen(std::string_view text);

/// A delay in milliseconds, 0 to one day.
std::chrono::milliseconds ParseDelay(std::string_view text);

/// A positive count.
int ParseCount(std::string_view text);

struct DeviceOption {
    DeviceSpec device;
    std::optional<std::chrono::milliseconds> delay;
};

/// "key=value,key=value..." with the keys model, ipv4, mac, firmware, copy and delay, each
/// at most once; texts are taken byte for byte and cannot hold ','.
DeviceOption ParseDeviceOption(std::string_view text);

}  // namespace nimbrel::tools
