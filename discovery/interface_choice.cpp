// SPDX-License-Identifier: MIT
#include "discovery/interface_choice.h"

#include <algorithm>

namespace nimbrel {

namespace {

const platform::LocalInterface* Find(std::span<const platform::LocalInterface> interfaces,
                                     const std::string& name) {
    const auto found = std::find_if(
        interfaces.begin(), interfaces.end(),
        [&](const auto& interface) { return interface.name == name && interface.broadcasts; });
    return found == interfaces.end() ? nullptr : &*found;
}

}  // namespace

Result<std::vector<SearchPath>> ChooseInterfaces(
    std::span<const std::string> names, std::span<const platform::LocalInterface> interfaces) {
    std::vector<std::string> chosen(names.begin(), names.end());
    if (chosen.empty()) {
        for (const platform::LocalInterface& interface : interfaces) {
            if (interface.broadcasts &&
                std::find(chosen.begin(), chosen.end(), interface.name) == chosen.end()) {
                chosen.push_back(interface.name);
            }
        }
        if (chosen.empty()) {
            return OwnError("EUsage",
                            "no network interface is up with an IPv4 address that can broadcast");
        }
    }
    std::vector<SearchPath> paths;
    for (const std::string& name : chosen) {
        const platform::LocalInterface* interface = Find(interfaces, name);
        if (interface == nullptr) {
            return OwnError("EUsage", "no interface named '" + name +
                                          "' is up with an IPv4 address that can broadcast");
        }
        const bool twice = std::any_of(paths.begin(), paths.end(), [&](const SearchPath& path) {
            return path.interfaceName == name;
        });
        if (!twice) {
            paths.push_back({interface->address, interface->name});
        }
    }
    return paths;
}

std::string InterfaceHolding(const Ipv4Bytes& address,
                             std::span<const platform::LocalInterface> interfaces) {
    for (const platform::LocalInterface& interface : interfaces) {
        if (interface.address == address) {
            return interface.name;
        }
    }
    return {};
}

std::optional<std::vector<SearchPath>> LookedUpPath(
    std::span<const platform::LocalInterface> interfaces) {
    const std::optional<Ipv4Bytes> local = LookUpLocalAddress();
    if (!local) {
        return std::nullopt;
    }
    return std::vector<SearchPath>{{*local, InterfaceHolding(*local, interfaces)}};
}

SearchPathsLookup AllInterfacesLookup() {
    return []() -> std::optional<std::vector<SearchPath>> {
        const std::vector<platform::LocalInterface> interfaces = platform::LocalInterfaces();
        if (Result<std::vector<SearchPath>> paths = ChooseInterfaces({}, interfaces); paths.ok()) {
            return std::move(paths).value();
        }
        return LookedUpPath(interfaces);
    };
}

}  // namespace nimbrel
