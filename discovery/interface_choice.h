// SPDX-License-Identifier: MIT
// Which of this computer's interfaces a search goes out on.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "discovery/result.h"
#include "discovery/search.h"
#include "discovery/socket_platform.h"

namespace nimbrel {

/// The interfaces that a search can broadcast on, one path each (an interface's first address):
/// those named in `names`, in that order, or all of them when `names` is empty. Fails ("EUsage")
/// with the reason for a name that no such interface has, or when there is none at all.
Result<std::vector<SearchPath>> ChooseInterfaces(
    std::span<const std::string> names, std::span<const platform::LocalInterface> interfaces);

/// The single path of the look-up rule (LookUpLocalAddress), named after the interface that
/// holds its address; nullopt when the host name cannot be looked up.
std::optional<std::vector<SearchPath>> LookedUpPath(
    std::span<const platform::LocalInterface> interfaces);

/// Every interface that can broadcast, looked up anew for each search; where there is none, the
/// looked-up path.
SearchPathsLookup AllInterfacesLookup();

/// The name of the interface that holds `address`; empty when none does (the any-address).
std::string InterfaceHolding(const Ipv4Bytes& address,
                             std::span<const platform::LocalInterface> interfaces);

}  // namespace nimbrel
