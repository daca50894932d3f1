// SPDX-License-Identifier: MIT
// One search as a state machine driven by the socket and the clock: its driver tells it when
// the socket is readable and when its deadline has passed, and it hands out what it found.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "discovery/clock.h"
#include "discovery/device_table.h"
#include "discovery/device_view.h"
#include "discovery/error.h"
#include "discovery/search_socket.h"
#include "discovery/wire.h"

namespace nimbrel {

struct SearchTimings {
    /// After the request, before the quiet time starts counting.
    std::chrono::milliseconds pause{1000};
    /// The search ends once this long has passed without a datagram...
    std::chrono::milliseconds quiet{1500};
    /// ...or at the latest this long after the pause: a device that never stops sending must
    /// not keep the search going.
    std::chrono::milliseconds receiveBound{10000};
};

/// One way out of the workstation: the address a request leaves from and the interface that
/// holds it. Each path has a socket of its own; a device belongs to the path of the interface
/// that its reply arrived on, and is listed once for each path that it answered on.
struct SearchPath {
    Ipv4Bytes local{};            // 0.0.0.0: the system chooses
    std::string interfaceName;    // empty when the address is no one interface's
    unsigned interfaceIndex = 0;  // the system's number of that interface; 0 when not known
};

using SearchPathsLookup = std::function<std::optional<std::vector<SearchPath>>()>;
/// A socket for a path; nullptr when none can be made (the path then fails).
using SearchSocketFactory = std::function<std::unique_ptr<SearchSocket>()>;

/// Hands out `first` (a socket opened beforehand), then what `then` makes.
SearchSocketFactory firstThen(std::unique_ptr<SearchSocket> first, SearchSocketFactory then);

/// What a search tells its owner; each may be empty.
struct SearchEvents {
    std::function<void()> started;  // the request is about to leave
    std::function<void(const SearchResult&)> finished;
    std::function<void(const Error&)> failed;
    std::function<void(const Peer& from)> datagramDropped;  // longer than any reply
    /// One of several paths failed and the search goes on without it; when the last one fails,
    /// `failed` tells that instead.
    std::function<void(const SearchPath& path, const Error& error)> pathFailed;
};

class Search {
public:
    enum class StartOutcome {
        Started,
        AlreadyRunning,  // nothing changes: one search at a time
        LookUpFailed,    // nothing changes and nothing is reported
        Failed,          // `failed` has been told why
    };

    /// Datagrams read in one SocketReadable call at most, so that a stream of them cannot
    /// hold the caller's thread; the socket stays readable and the driver calls again.
    static constexpr int ReadsPerCall = 64;

    /// Each search looks its paths up with `lookup` and sends one request on each, all sharing
    /// one pause and one quiet time. A path keeps its socket from one search to the next (each
    /// search reopens it); `makeSocket` makes the sockets of paths that have none yet, and the
    /// sockets of paths that a search no longer has are closed.
    Search(const Clock& clock, SearchPathsLookup lookup, SearchSocketFactory makeSocket,
           SearchTimings timings = {}, int capacity = DeviceTable::DefaultCapacity,
           Peer target = {{255, 255, 255, 255}, DiscoveryPort});
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;

    void setEvents(SearchEvents events) { events_ = std::move(events); }

    /// From the next search on, looks the paths up with `lookup` instead.
    void setPathsLookup(SearchPathsLookup lookup) { lookup_ = std::move(lookup); }

    /// Looks the paths up, empties the table, reopens the sockets and sends the requests. Any
    /// event may be delivered before it returns.
    StartOutcome start();

    /// A socket is readable: reads what waits on each, up to ReadsPerCall datagrams a socket.
    /// Stops as soon as the search ends, even when its `finished` starts the next one; nothing
    /// is read once the search's deadline has passed.
    void socketReadable();

    /// Time has passed: ends the pause or the search when their time has come.
    void timePassed();

    /// Ends a running search at once, handing nothing out (its owner is going away).
    void cancel() { phase_ = Phase::Idle; }

    /// When TimePassed is next due; nullopt while no search runs.
    std::optional<Clock::TimePoint> deadline() const;

    bool running() const { return phase_ != Phase::Idle; }

    /// What to watch for readability: one handle per path of the running or last search that
    /// has not failed; none before the first search.
    std::vector<platform::SocketHandle> handles() const;

private:
    enum class Phase { Idle, Pausing, Receiving };

    /// One path of the search with its socket.
    struct Path {
        SearchPath path;
        std::unique_ptr<SearchSocket> socket;
        bool active = false;      // opened and sent on, and not failed since
        std::uint32_t drops = 0;  // the most the system told dropped on its socket this search
    };

    void takePaths(std::vector<SearchPath> looked);
    bool openPaths();
    bool sendRequests();
    bool readFrom(std::size_t path, std::uint64_t search);
    /// The path that a datagram read on `socketPath`'s socket belongs to: the one of the
    /// interface it arrived on, where the system tells and the search has it.
    std::size_t arrivalPath(unsigned interfaceIndex, std::size_t socketPath) const;
    /// Takes a failed path out of the search; false when none is left (the search has failed).
    bool dropPath(std::size_t path, const Error& error);
    /// Ends the pause or the search when `now` is past their time; false when the search ended.
    bool advance(Clock::TimePoint now);
    void takeDatagram(const Received& received, Datagram datagram, std::size_t path,
                      Clock::TimePoint now);
    int lostReplies() const;
    void finish();
    void fail(const Error& error);

    const Clock& clock_;
    SearchPathsLookup lookup_;
    SearchSocketFactory makeSocket_;
    std::vector<Path> paths_;     // those of the running or last search
    std::uint64_t searches_ = 0;  // counts searches, so that a read loop notices a new one
    SearchTimings timings_;
    Peer target_;
    SearchEvents events_;
    DeviceTable table_;
    ReceiveBuffer buffer_{};

    Phase phase_ = Phase::Idle;
    Clock::TimePoint pauseEnd_{};
    Clock::TimePoint lastDatagram_{};
    bool emptyDatagramSeen_ = false;  // a datagram of length 0 ends the receiving
    int droppedDatagrams_ = 0;
};

}  // namespace nimbrel
