// SPDX-License-Identifier: MIT
#include "discovery/interface_choice.h"

#include <algorithm>

namespace nimbrel {

namespace {

using platform::LocalInterface;

/// Whether two addresses belong to one interface: an address label shares its interface's index.
bool SameInterface(const LocalInterface& one, const LocalInterface& other) {
    return one.index != 0 ? one.index == other.index : one.name == other.name;
}

/// The first address of `member`'s interface that can broadcast.
const LocalInterface* FirstOf(std::span<const LocalInterface> interfaces,
                              const LocalInterface& member) {
    const auto found = std::find_if(interfaces.begin(), interfaces.end(), [&](const auto& entry) {
        return entry.broadcasts && SameInterface(entry, member);
    });
    return found == interfaces.end() ? nullptr : &*found;
}

const LocalInterface* Find(std::span<const LocalInterface> interfaces, const std::string& name) {
    const auto found = std::find_if(interfaces.begin(), interfaces.end(), [&](const auto& entry) {
        return entry.broadcasts && (entry.name == name || entry.label == name);
    });
    return found == interfaces.end() ? nullptr : FirstOf(interfaces, *found);
}

/// Adds `interface` unless it is chosen already.
void Add(std::vector<const LocalInterface*>& chosen, const LocalInterface& interface) {
    if (std::none_of(chosen.begin(), chosen.end(),
                     [&](const auto* earlier) { return SameInterface(*earlier, interface); })) {
        chosen.push_back(&interface);
    }
}

}  // namespace

Result<std::vector<SearchPath>> ChooseInterfaces(std::span<const std::string> names,
                                                 std::span<const LocalInterface> interfaces) {
    std::vector<const LocalInterface*> chosen;
    for (const std::string& name : names) {
        const LocalInterface* interface = Find(interfaces, name);
        if (interface == nullptr) {
            return OwnError("EUsage", "no interface named '" + name +
                                          "' is up with an IPv4 address that can broadcast");
        }
        Add(chosen, *interface);
    }
    if (names.empty()) {
        for (const LocalInterface& interface : interfaces) {
            if (interface.broadcasts) {
                Add(chosen, interface);
            }
        }
        if (chosen.empty()) {
            return OwnError("EUsage",
                            "no network interface is up with an IPv4 address that can broadcast");
        }
    }
    std::vector<SearchPath> paths;
    for (const LocalInterface* interface : chosen) {
        paths.push_back({interface->address, interface->name, interface->index});
    }
    return paths;
}

const LocalInterface* InterfaceHolding(const Ipv4Bytes& address,
                                       std::span<const LocalInterface> interfaces) {
    const auto found = std::find_if(interfaces.begin(), interfaces.end(),
                                    [&](const auto& entry) { return entry.address == address; });
    return found == interfaces.end() ? nullptr : &*found;
}

SearchPath PathFrom(const Ipv4Bytes& address, std::span<const LocalInterface> interfaces) {
    const LocalInterface* holding = InterfaceHolding(address, interfaces);
    if (holding == nullptr) {
        return {address, {}, 0};
    }
    return {address, holding->name, holding->index};
}

std::optional<std::vector<SearchPath>> LookedUpPath(std::span<const LocalInterface> interfaces) {
    const std::optional<Ipv4Bytes> local = LookUpLocalAddress();
    if (!local) {
        return std::nullopt;
    }
    return std::vector<SearchPath>{PathFrom(*local, interfaces)};
}

SearchPathsLookup AddressLookup(LocalAddressLookup address) {
    return [address = std::move(address)]() -> std::optional<std::vector<SearchPath>> {
        const std::optional<Ipv4Bytes> local = address ? address() : std::nullopt;
        if (!local) {
            return std::nullopt;
        }
        return std::vector<SearchPath>{PathFrom(*local, platform::LocalInterfaces())};
    };
}

SearchPathsLookup AllInterfacesLookup() {
    return []() -> std::optional<std::vector<SearchPath>> {
        const std::vector<LocalInterface> interfaces = platform::LocalInterfaces();
        if (Result<std::vector<SearchPath>> paths = ChooseInterfaces({}, interfaces); paths.ok()) {
            return std::move(paths).value();
        }
        return LookedUpPath(interfaces);
    };
}

}  // namespace nimbrel
