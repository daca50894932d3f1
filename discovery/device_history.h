// SPDX-License-Identifier: MIT
// The devices followed across searches: when each was first and last seen, whether it answered
// the last search, and what appeared, changed or went. Shared by the window and the watch mode.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "discovery/clock.h"
#include "discovery/device_view.h"

namespace nimbrel {

/// One device as the history follows it.
struct HistoryEntry {
    enum class State {
        Present,  // answered the last search
        Missing,  // did not answer the last complete search(es), fewer than the gone limit
    };

    DeviceView device;  // as it last answered
    /// Tells this entry from every other of its history for as long as it is followed, so that
    /// a view can keep its selection on it; never reused.
    std::uint64_t id = 0;
    WallClock::TimePoint firstSeen;  // end of the search it first answered
    WallClock::TimePoint lastSeen;   // end of the last search it answered
    int missedSearches = 0;          // complete searches in a row that it did not answer
    bool isNew = false;              // first answered the last search

    State state() const { return missedSearches == 0 ? State::Present : State::Missing; }
};

/// What a search changed in the history.
struct HistoryEvent {
    enum class Kind { Appeared, Changed, Gone };

    Kind kind;
    /// The device as it answered; for one that is gone, as it last answered.
    DeviceView device;
    /// For Changed, the fields whose shown value differs, named as the keys of the JSON report
    /// name them, in that report's order: "model", "ipv4", "mac", "firmware", "copy_text". A
    /// field counts as changed also when it is sent now and was not before, or the other way.
    std::vector<std::string> changedFields;
    WallClock::TimePoint time;  // end of the search that brought the event
};

/// "appeared", "changed", "gone".
const char* eventName(HistoryEvent::Kind kind);

/// True when `result` read every device that answered on its paths: none was left out past
/// the table's capacity, and no reply was lost in a full receive buffer.
bool readEveryReply(const SearchResult& result);

/// Follows devices from one search to the next.
///
/// A device is known by its MAC address and the interface it answered on: the same device
/// reached through two interfaces is two entries. When several devices of one such identity
/// answer, they pair with the earlier ones of that identity that are equal in every shown field
/// first, then with the rest in their order. The address and port that a reply came from is no
/// shown field: a new source port alone is no change (the entry takes it all the same).
///
/// A device that does not answer a complete search is missing; once it has missed `goneAfter`
/// complete searches in a row it is gone: reported once and dropped. One that answers again
/// before that is present again, reported only if its shown fields changed. An incomplete search
/// (replies lost or devices left out) counts for nobody's absence: the devices it did not find
/// keep their state and count; so do those known on an interface that it could not search.
class DeviceHistory {
public:
    static constexpr int DefaultGoneAfter = 2;

    /// `clock` times the searches' ends and must outlive the history; a `goneAfter` below 1
    /// is taken as 1.
    explicit DeviceHistory(const WallClock& clock, int goneAfter = DefaultGoneAfter);

    /// Takes the search that has just ended, timed now by the clock, and returns what it
    /// changed: appeared and changed devices in the order of `result`, then those gone in the
    /// order of `entries()` before. `unsearched` names the interfaces of the search's paths that
    /// failed: for the devices known on them, the search is incomplete.
    std::vector<HistoryEvent> update(const SearchResult& result,
                                     const std::vector<std::string>& unsearched = {});

    /// The devices followed, present and missing: first one entry for each device of the last
    /// search, in that search's order (entry i is devices[i]'s), then those it did not find
    /// in their earlier order.
    const std::vector<HistoryEntry>& entries() const { return entries_; }

    int goneAfter() const { return goneAfter_; }

private:
    const WallClock& clock_;
    int goneAfter_;
    std::uint64_t nextId_ = 1;
    std::vector<HistoryEntry> entries_;
};

}  // namespace nimbrel
