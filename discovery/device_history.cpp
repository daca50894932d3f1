// SPDX-License-Identifier: MIT
#include "discovery/device_history.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <utility>

namespace nimbrel {

namespace {

bool sameIdentity(const DeviceView& a, const DeviceView& b) {
    return a.mac == b.mac && a.interfaceName == b.interfaceName;
}

// The shown fields with their names; a field is the flag that it was sent and its value, which
// reads as zeros when it was not. The MAC that a device sent is its identity and is what the
// reports print, so only whether it was sent can change; the listed MAC follows the device's
// place in the list and is no change of the device.
std::vector<std::string> changedFields(const DeviceView& was, const DeviceView& is) {
    std::vector<std::string> names;
    const auto check = [&names](const char* name, const auto& before, const auto& after) {
        if (before != after) {
            names.emplace_back(name);
        }
    };
    check("model", std::tie(was.hasModel, was.model), std::tie(is.hasModel, is.model));
    check("ipv4", std::tie(was.hasAddress, was.ipv4), std::tie(is.hasAddress, is.ipv4));
    check("mac", was.hasAddress, is.hasAddress);
    check("firmware", std::tie(was.hasFirmware, was.firmware),
          std::tie(is.hasFirmware, is.firmware));
    check("copy_text", std::tie(was.hasCopyText, was.copyText),
          std::tie(is.hasCopyText, is.copyText));
    return names;
}

bool sameShown(const DeviceView& a, const DeviceView& b) {
    return changedFields(a, b).empty();
}

/// For each device of a search, the index of the entry that it pairs with, if any.
class Pairing {
public:
    Pairing(const std::vector<HistoryEntry>& entries, const std::vector<DeviceView>& devices)
        : entries_(entries), taken_(entries.size(), false), pairs_(devices.size()) {
        // Equal devices first, so that of two devices of one identity the one that changed is
        // the one reported, whatever their order.
        pass(devices, [](const DeviceView& a, const DeviceView& b) { return sameShown(a, b); });
        pass(devices, [](const DeviceView&, const DeviceView&) { return true; });
    }

    std::optional<std::size_t> pairOf(std::size_t device) const { return pairs_[device]; }
    bool taken(std::size_t entry) const { return taken_[entry]; }

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
        for (std::size_t entry = 0; entry < entries_.size(); ++entry) {
            const DeviceView& known = entries_[entry].device;
            if (!taken_[entry] && sameIdentity(known, device) && fits(known, device)) {
                taken_[entry] = true;
                return entry;
            }
        }
        return std::nullopt;
    }

    const std::vector<HistoryEntry>& entries_;
    std::vector<bool> taken_;
    std::vector<std::optional<std::size_t>> pairs_;
};

}  // namespace

const char* eventName(HistoryEvent::Kind kind) {
    switch (kind) {
        case HistoryEvent::Kind::Appeared: return "appeared";
        case HistoryEvent::Kind::Changed: return "changed";
        case HistoryEvent::Kind::Gone: return "gone";
    }
    return "";
}

bool readEveryReply(const SearchResult& result) {
    return result.leftOut == 0 && result.lostReplies == 0;
}

DeviceHistory::DeviceHistory(const WallClock& clock, int goneAfter)
    : clock_(clock), goneAfter_(std::max(goneAfter, 1)) {}

std::vector<HistoryEvent> DeviceHistory::update(const SearchResult& result,
                                                const std::vector<std::string>& unsearched) {
    const WallClock::TimePoint now = clock_.now();
    const bool complete = readEveryReply(result);
    const std::vector<DeviceView>& devices = result.devices;
    const Pairing pairing(entries_, devices);
    std::vector<HistoryEvent> events;
    std::vector<HistoryEntry> kept;
    kept.reserve(devices.size() + entries_.size());
    for (std::size_t device = 0; device < devices.size(); ++device) {
        const std::optional<std::size_t> old = pairing.pairOf(device);
        if (!old) {
            events.push_back({HistoryEvent::Kind::Appeared, devices[device], {}, now});
            kept.push_back({devices[device], nextId_++, now, now, 0, true});
            continue;
        }
        HistoryEntry entry = entries_[*old];
        if (std::vector<std::string> fields = changedFields(entry.device, devices[device]);
            !fields.empty()) {
            events.push_back(
                {HistoryEvent::Kind::Changed, devices[device], std::move(fields), now});
        }
        entry.device = devices[device];
        entry.lastSeen = now;
        entry.missedSearches = 0;
        entry.isNew = false;
        kept.push_back(std::move(entry));
    }
    for (std::size_t old = 0; old < entries_.size(); ++old) {
        if (pairing.taken(old)) {
            continue;
        }
        HistoryEntry entry = entries_[old];
        entry.isNew = false;
        // An incomplete search may have missed it among the replies that it did not read.
        const bool absent = complete && std::find(unsearched.begin(), unsearched.end(),
                                                  entry.device.interfaceName) == unsearched.end();
        entry.missedSearches += absent ? 1 : 0;
        if (entry.missedSearches >= goneAfter_) {
            events.push_back({HistoryEvent::Kind::Gone, entry.device, {}, now});
        } else {
            kept.push_back(std::move(entry));
        }
    }
    entries_ = std::move(kept);
    return events;
}

}  // namespace nimbrel
