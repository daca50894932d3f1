// SPDX-License-Identifier: MIT
#include "tools/device_watch.h"

#include <algorithm>
#include <array>
#include <optional>
#include <tuple>

#include "tools/report.h"
#include "tools/text_output.h"

namespace nimbrel::tools {

namespace {

bool sameIdentity(const DeviceView& a, const DeviceView& b) {
    return a.mac == b.mac && a.interfaceName == b.interfaceName;
}

// What the report and the watch lines show of a device. The sender's address and port are left
// out: a port may differ from one search to the next without anything being different.
auto shown(const DeviceView& view) {
    return std::tie(view.model, view.ipv4, view.listedMac, view.firmware, view.copyText,
                    view.hasAddress, view.hasFirmware, view.hasModel, view.hasCopyText);
}

/// For each new device, the index of the known device that it pairs with, if any.
class Pairing {
public:
    Pairing(const std::vector<DeviceView>& known, const std::vector<DeviceView>& devices)
        : known_(known), taken_(known.size(), false), pairs_(devices.size()) {
        // Equal devices first, so that of two devices of one identity the one that changed is
        // the one reported, whatever their order.
        pass(devices,
             [](const DeviceView& a, const DeviceView& b) { return shown(a) == shown(b); });
        pass(devices, [](const DeviceView&, const DeviceView&) { return true; });
    }

    std::optional<std::size_t> pairOf(std::size_t device) const { return pairs_[device]; }
    bool taken(std::size_t known) const { return taken_[known]; }

private:
    template <typename Fits>
    void pass(const std::vector<DeviceView>& devices, Fits fits) {
        for (std::size_t device = 0; device < devices.size(); ++device) {
            if (!pairs_[device]) {
                pairs_[device] = free(devices[device], fits);
            }
        }
    }

    template <typename Fits>
    std::optional<std::size_t> free(const DeviceView& device, Fits fits) {
        for (std::size_t old = 0; old < known_.size(); ++old) {
            if (!taken_[old] && sameIdentity(known_[old], device) && fits(known_[old], device)) {
                taken_[old] = true;
                return old;
            }
        }
        return std::nullopt;
    }

    const std::vector<DeviceView>& known_;
    std::vector<bool> taken_;
    std::vector<std::optional<std::size_t>> pairs_;
};

}  // namespace

const char* kindName(DeviceChange::Kind kind) {
    switch (kind) {
        case DeviceChange::Kind::Appeared: return "appeared";
        case DeviceChange::Kind::Changed: return "changed";
        case DeviceChange::Kind::Gone: return "gone";
    }
    return "";
}

bool incomplete(const SearchResult& result) {
    return result.leftOut > 0 || result.lostReplies > 0;
}

std::vector<DeviceChange> DeviceWatch::update(const SearchResult& result) {
    const std::vector<DeviceView>& devices = result.devices;
    const Pairing pairing(known_, devices);
    std::vector<DeviceChange> changes;
    for (std::size_t device = 0; device < devices.size(); ++device) {
        const std::optional<std::size_t> old = pairing.pairOf(device);
        if (!old) {
            changes.push_back({DeviceChange::Kind::Appeared, devices[device]});
        } else if (shown(known_[*old]) != shown(devices[device])) {
            changes.push_back({DeviceChange::Kind::Changed, devices[device]});
        }
    }
    std::vector<DeviceView> kept = devices;
    for (std::size_t old = 0; old < known_.size(); ++old) {
        if (pairing.taken(old)) {
            continue;
        }
        if (incomplete(result)) {
            kept.push_back(known_[old]);  // perhaps among those that were not read
        } else {
            changes.push_back({DeviceChange::Kind::Gone, known_[old]});
        }
    }
    known_ = std::move(kept);
    return changes;
}

std::string watchLine(const DeviceChange& change, bool json, std::time_t when) {
    const char* kind = kindName(change.kind);
    if (json) {
        const nlohmann::ordered_json line = {{"event", kind},
                                             {"device", jsonDevice(change.device)}};
        return jsonLine(line) + '\n';
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
                       (device.hasModel ? terminalText(device.model) : "-") + ' ' +
                       (device.hasAddress ? formatIpv4(device.ipv4) : "-") + ' ' +
                       (device.hasAddress ? formatMac(device.mac) : "-") + ' ' +
                       (device.hasFirmware ? terminalText(device.firmware) : "-");
    if (!device.interfaceName.empty()) {
        line += " on " + terminalSystemText(device.interfaceName);
    }
    return line + '\n';
}

}  // namespace nimbrel::tools
