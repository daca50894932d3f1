// SPDX-License-Identifier: MIT
#include "discovery/interface_choice.h"

#include <algorithm>

namespace nimbrel {

namespace {

using platform::LocalInterface;

/// Whether two addresses belong to one interface: an address label shares its interface's index.
bool sameInterface(const LocalInterface& one, const LocalInterface& other) {
    return one.index != 0 ? one.index == other.index : one.name == other.name;
}

/// The first address of `member`'s interface that can broadcast.
const LocalInterface* firstOf(std::span<const LocalInterface> interfaces,
                              const LocalInterface& member) {
    const auto found = std::find_if(interfaces.begin(), interfaces.end(), [&](const auto& entry) {
        return entry.broadcasts && sameInterface(entry, member);
    });
    return found == interfaces.end() ? nullptr : &*found;
}

const LocalInterface* find(std::span<const LocalInterface> interfaces, const std::string& name) {
    const auto found = std::find_if(interfaces.begin(), interfaces.end(), [&](const auto& entry) {
        return entry.broadcasts && (entry.name == name || entry.label == name);
    });
    return found == interfaces.end() ? nullptr : firstOf(interfaces, *found);
}

/// Adds `interface` unless it is chosen already.
void add(std::vector<const LocalInterface*>& chosen, const LocalInterface& interface) {
    if (std::none_of(chosen.begin(), chosen.end(),
                     [&](const auto* earlier) { return sameInterface(*earlier, interface); })) {
        chosen.push_back(&interface);
    }
}

}  // namespace

Result<std::vector<SearchPath>> chooseInterfaces(std::span<const std::string> names,
                                                 std::span<const LocalInterface> interfaces) {
    std::vector<const LocalInterface*> chosen;
    for (const std::string& name : names) {
        const LocalInterface* interface = find(interfaces, name);
        if (interface == nullptr) {
            return ownError("EUsage", "no interface named '" + name +
                                          "' is up with an IPv4 address that can broadcast");
        }
        add(chosen, *interface);
    }
    if (names.empty()) {
        for (const LocalInterface& interface : interfaces) {
            if (interface.broadcasts) {
                add(chosen, interface);
            }
        }
        if (chosen.empty()) {
            return ownError("EUsage",
                            "no network interface is up with an IPv4 address that can broadcast");
        }
    }
    std::vector<SearchPath> paths;
    for (const LocalInterface* interface : chosen) {
        paths.push_back({interface->address, interface->name, interface->index});
    }
    return paths;
}

const LocalInterface* interfaceHolding(const Ipv4Bytes& address,
                                       std::span<const LocalInterface> interfaces) {
    const auto found = std::find_if(interfaces.begin(), interfaces.end(),
                                    [&](const auto& entry) { return entry.address == address; });
    return found == interfaces.end() ? nullptr : &*found;
}

SearchPath pathFrom(const Ipv4Bytes& address, std::span<const LocalInterface> interfaces) {
    const LocalInterface* holding = interfaceHolding(address, interfaces);
    if (holding == nullptr) {
        return {address, {}, 0};
    }
    return {address, holding->name, holding->index};
}

std::optional<std::vector<SearchPath>> lookedUpPath(std::span<const LocalInterface> interfaces) {
    const std::optional<Ipv4Bytes> local = lookUpLocalAddress();
    if (!local) {
        return std::nullopt;
    }
    return std::vector<SearchPath>{pathFrom(*local, interfaces)};
}

SearchPathsLookup addressLookup(LocalAddressLookup address) {
    return [address = std::move(address)]() -> std::optional<std::vector<SearchPath>> {
        const std::optional<Ipv4Bytes> local = address ? address() : std::nullopt;
        if (!local) {
            return std::nullopt;
        }
        return std::vector<SearchPath>{pathFrom(*local, platform::localInterfaces())};
    };
}

SearchPathsLookup allInterfacesLookup() {
    return []() -> std::optional<std::vector<SearchPath>> {
        const std::vector<LocalInterface> interfaces = platform::localInterfaces();
        if (Result<std::vector<SearchPath>> paths = chooseInterfaces({}, interfaces); paths.ok()) {
            return std::move(paths).value();
        }
        return lookedUpPath(interfaces);
    };
}

}  // namespace nimbrel
