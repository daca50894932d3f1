// SPDX-License-Identifier: MIT
// Which of this computer's interfaces a search goes out on.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "discovery/local_address.h"
#include "discovery/result.h"
#include "discovery/search.h"
#include "discovery/socket_platform.h"

namespace nimbrel {

/// The interfaces that a search can broadcast on, one path each, sent from the interface's first
/// address and named after the interface: those named in `names` (by the interface's name or by
/// one of its address labels), in that order, or all of them when `names` is empty. Addresses
/// with the same index are one interface. Fails ("EUsage") with the reason for a name that no
/// such interface has, or when there is none at all.
Result<std::vector<SearchPath>> chooseInterfaces(
    std::span<const std::string> names, std::span<const platform::LocalInterface> interfaces);

/// The interface that holds `address`; nullptr when none does (the any-address).
const platform::LocalInterface* interfaceHolding(
    const Ipv4Bytes& address, std::span<const platform::LocalInterface> interfaces);

/// The path that sends from `address`, named after the interface that holds it, if any.
SearchPath pathFrom(const Ipv4Bytes& address, std::span<const platform::LocalInterface> interfaces);

/// The single path of the look-up rule (LookUpLocalAddress); nullopt when the host name cannot
/// be looked up.
std::optional<std::vector<SearchPath>> lookedUpPath(
    std::span<const platform::LocalInterface> interfaces);

/// One path for each search, from the address that `address` gives anew each time (PathFrom);
/// no path when it gives none. With LookUpLocalAddress, the look-up rule.
SearchPathsLookup addressLookup(LocalAddressLookup address);

/// Every interface that can broadcast, looked up anew for each search; where there is none, the
/// looked-up path.
SearchPathsLookup allInterfacesLookup();

}  // namespace nimbrel
