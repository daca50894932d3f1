// SPDX-License-Identifier: MIT
// The value of nimbrel-discover's --from: a unicast IPv4 address that a search can send from.
#pragma once

#include <span>
#include <string_view>

#include "discovery/address.h"
#include "discovery/result.h"
#include "discovery/socket_platform.h"

namespace nimbrel::tools {

/// Reads `text` as an address to send from: dotted decimal without leading zeros (which some
/// programs read as octal), and neither in 0.0.0.0/8, nor multicast, nor reserved (240.0.0.0
/// and up, the limited broadcast included), nor the subnet broadcast address of one of
/// `interfaces`. Otherwise an Error whose message is the reason, the option's name not included.
Result<Ipv4Bytes> parseFromAddress(std::string_view text,
                                   std::span<const platform::LocalInterface> interfaces);

}  // namespace nimbrel::tools
