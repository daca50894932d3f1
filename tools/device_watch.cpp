// SPDX-License-Identifier: MIT
#include "tools/device_watch.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "tools/report.h"
#include "tools/text_output.h"

namespace nimbrel::tools {

namespace {

bool SameIdentity(const DeviceView& a, const DeviceView& b) {
    return a.mac == b.mac && a.interfaceName == b.interfaceName;
}

// The sender's port may differ from one search to the next without anything being different.
auto Shown(const DeviceView& view) {
    return std::tie(view.model, view.ipv4, view.listedMac, view.firmware, view.copyText,
                    view.hasAddress, view.hasFirmware, view.hasModel, view.hasCopyText,
                    view.source.address);
}

}  // namespace

const char* KindName(DeviceChange::Kind kind) {
    switch (kind) {
        case DeviceChange::Kind::Appeared: return "appeared";
        case DeviceChange::Kind::Changed: return "changed";
        case DeviceChange::Kind::Gone: return "gone";
    }
    return "";
}

std::vector<DeviceChange> DeviceWatch::Update(const std::vector<DeviceView>& devices) {
    std::vector<DeviceChange> changes;
    // Devices of the same identity (several that sent no address, say) pair up in their order.
    std::vector<bool> matched(known_.size(), false);
    for (const DeviceView& device : devices) {
        std::size_t before = 0;
        while (before < known_.size() &&
               (matched[before] || !SameIdentity(known_[before], device))) {
            ++before;
        }
        if (before == known_.size()) {
            changes.push_back({DeviceChange::Kind::Appeared, device});
            continue;
        }
        matched[before] = true;
        if (Shown(known_[before]) != Shown(device)) {
            changes.push_back({DeviceChange::Kind::Changed, device});
        }
    }
    for (std::size_t old = 0; old < known_.size(); ++old) {
        if (!matched[old]) {
            changes.push_back({DeviceChange::Kind::Gone, known_[old]});
        }
    }
    known_ = devices;
    return changes;
}

std::string WatchLine(const DeviceChange& change, bool json, std::time_t when) {
    const char* kind = KindName(change.kind);
    if (json) {
        return std::string("{\"event\":\"") + kind + "\",\"device\":" + JsonDevice(change.device) +
               "}\n";
    }
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &when);
#else
    gmtime_r(&when, &utc);
#endif
    std::array<char, 32> stamp{};
    std::strftime(stamp.data(), stamp.size(), "%Y-%m-%dT%H:%M:%SZ", &utc);
    const DeviceView& device = change.device;
    std::string line = std::string(stamp.data()) + ' ' + kind + ' ' +
                       (device.hasModel ? TerminalText(device.model) : "-") + ' ' +
                       (device.hasAddress ? FormatIpv4(device.ipv4) : "-") + ' ' +
                       (device.hasAddress ? FormatMac(device.mac) : "-") + ' ' +
                       (device.hasFirmware ? TerminalText(device.firmware) : "-");
    if (!device.interfaceName.empty()) {
        line += " on " + TerminalSystemText(device.interfaceName);
    }
    return line + '\n';
}

}  // namespace nimbrel::tools
