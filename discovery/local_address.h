// SPDX-License-Identifier: MIT
// The workstation's own address, from which a search sends its request.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "discovery/address.h"

namespace nimbrel {

/// Picks the workstation's address from the host name's list: the last entry outside
/// 127.0.0.0/8, or the any-address (0.0.0.0) when none is left. nullopt when the look-up failed.
std::optional<Ipv4Bytes> chooseLocalAddress(const std::optional<std::vector<Ipv4Bytes>>& list);

/// Looks the host name up anew; see ChooseLocalAddress.
std::optional<Ipv4Bytes> lookUpLocalAddress();

using LocalAddressLookup = std::function<std::optional<Ipv4Bytes>()>;

}  // namespace nimbrel
