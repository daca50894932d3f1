// SPDX-License-Identifier: MIT
#include "discovery/search.h"

#include <algorithm>
#include <limits>

namespace nimbrel {

SearchSocketFactory firstThen(std::unique_ptr<SearchSocket> first, SearchSocketFactory then) {
    // Shared, since a std::function must be copyable; only one copy is ever called.
    auto held = std::make_shared<std::unique_ptr<SearchSocket>>(std::move(first));
    return [held, then = std::move(then)]() -> std::unique_ptr<SearchSocket> {
        if (*held) {
            return std::move(*held);
        }
        return then ? then() : nullptr;
    };
}

Search::Search(const Clock& clock, SearchPathsLookup lookup, SearchSocketFactory makeSocket,
               SearchTimings timings, int capacity, Peer target)
    : clock_(clock),
      lookup_(std::move(lookup)),
      makeSocket_(std::move(makeSocket)),
      timings_(timings),
      target_(target),
      table_(capacity) {}

std::vector<platform::SocketHandle> Search::handles() const {
    std::vector<platform::SocketHandle> handles;
    for (const Path& path : paths_) {
        if (path.active && path.socket) {
            handles.push_back(path.socket->handle());
        }
    }
    return handles;
}

bool Search::dropPath(std::size_t path, const Error& error) {
    paths_[path].active = false;
    if (std::none_of(paths_.begin(), paths_.end(),
                     [](const Path& other) { return other.active; })) {
        fail(error);
        return false;
    }
    if (events_.pathFailed) {
        events_.pathFailed(paths_[path].path, error);
    }
    return true;
}

void Search::takePaths(std::vector<SearchPath> looked) {
    // Fewer paths than before (an interface went away, or one network is searched again): the
    // sockets of the others are closed rather than left bound and unread.
    paths_.resize(looked.size());
    for (std::size_t index = 0; index < looked.size(); ++index) {
        Path& path = paths_[index];
        path.path = std::move(looked[index]);
        path.active = true;
        path.drops = 0;
        if (!path.socket && makeSocket_) {
            path.socket = makeSocket_();
        }
    }
}

bool Search::openPaths() {
    // One interface that fails must not cost the others their devices: a path that cannot be
    // opened or sent on is dropped, and only a search with no path left fails.
    for (std::size_t index = 0; index < paths_.size(); ++index) {
        Path& path = paths_[index];
        const Result<> reopened =
            path.socket ? path.socket->reopen(path.path.local, path.path.interfaceIndex)
                        : Result<>(ownError("ESocketAllocation", "Cannot allocate socket."));
        if (!reopened.ok() && !dropPath(index, reopened.error())) {
            return false;
        }
    }
    return true;
}

bool Search::sendRequests() {
    for (std::size_t index = 0; index < paths_.size(); ++index) {
        if (!paths_[index].active) {
            continue;
        }
        const Result<> sent = paths_[index].socket->send(DiscoveryRequest, target_);
        if (!sent.ok() && !dropPath(index, sent.error())) {
            return false;
        }
    }
    return true;
}

Search::StartOutcome Search::start() {
    if (running()) {
        return StartOutcome::AlreadyRunning;
    }
    std::optional<std::vector<SearchPath>> looked = lookup_ ? lookup_() : std::nullopt;
    if (!looked || looked->empty()) {
        return StartOutcome::LookUpFailed;
    }
    takePaths(std::move(*looked));
    ++searches_;
    table_.clearTable();
    droppedDatagrams_ = 0;
    emptyDatagramSeen_ = false;
    if (!openPaths()) {
        return StartOutcome::Failed;
    }
    if (events_.started) {
        events_.started();
    }
    if (!sendRequests()) {
        return StartOutcome::Failed;
    }
    pauseEnd_ = clock_.now() + timings_.pause;
    lastDatagram_ = pauseEnd_;
    phase_ = Phase::Pausing;
    return StartOutcome::Started;
}

void Search::socketReadable() {
    // Replies that come during the pause are read at once; they count from the pause's end.
    const std::uint64_t search = searches_;
    for (std::size_t path = 0; path < paths_.size(); ++path) {
        if (!readFrom(path, search)) {
            return;  // this search has ended, and another may have begun
        }
    }
    timePassed();
}

bool Search::readFrom(std::size_t path, std::uint64_t search) {
    for (int read = 0; read < ReadsPerCall; ++read) {
        // The deadline comes first: a datagram read after it, however long it waited, is not
        // part of the search.
        const Clock::TimePoint now = clock_.now();
        if (searches_ != search || !advance(now)) {
            return false;
        }
        if (!paths_[path].active) {
            break;
        }
        const Received received = paths_[path].socket->receive(buffer_);
        if (received.kind == Received::Kind::Nothing) {
            break;
        }
        if (received.kind == Received::Kind::Failed) {
            return dropPath(path, received.error);
        }
        paths_[path].drops = std::max(paths_[path].drops, received.dropsBefore.value_or(0));
        const auto size = static_cast<std::size_t>(std::max(received.size, 0));
        takeDatagram(received, Datagram(buffer_).first(std::min(size, buffer_.size())),
                     arrivalPath(received.interfaceIndex, path), now);
    }
    return running() && searches_ == search;
}

std::size_t Search::arrivalPath(unsigned interfaceIndex, std::size_t socketPath) const {
    if (interfaceIndex == 0 || paths_[socketPath].path.interfaceIndex == interfaceIndex) {
        return socketPath;
    }
    // A device may answer a request from one interface through another (a broadcast reply, or
    // two interfaces on one network): it is listed where it is reachable.
    const auto found = std::find_if(paths_.begin(), paths_.end(), [&](const Path& path) {
        return path.path.interfaceIndex == interfaceIndex;
    });
    return found == paths_.end() ? socketPath : static_cast<std::size_t>(found - paths_.begin());
}

void Search::takeDatagram(const Received& received, Datagram datagram, std::size_t path,
                          Clock::TimePoint now) {
    if (emptyDatagramSeen_) {
        return;  // the receiving has ended; what follows is read only to empty the queue
    }
    lastDatagram_ = std::max(now, pauseEnd_);
    if (received.kind == Received::Kind::Overlong) {
        // No reply is that long; the search goes on as after any datagram that is no reply.
        ++droppedDatagrams_;
        if (events_.datagramDropped) {
            events_.datagramDropped(received.from);
        }
        return;
    }
    if (datagram.empty()) {
        emptyDatagramSeen_ = true;
        if (phase_ == Phase::Receiving) {
            finish();
        }
        return;
    }
    if (isDiscoveryReply(datagram)) {
        table_.addReply(datagram, received.from, static_cast<int>(path));
    }
}

void Search::timePassed() {
    if (running()) {
        advance(clock_.now());
    }
}

bool Search::advance(Clock::TimePoint now) {
    if (phase_ == Phase::Pausing && now >= pauseEnd_) {
        phase_ = Phase::Receiving;
        if (emptyDatagramSeen_) {
            finish();
            return false;
        }
    }
    if (phase_ == Phase::Receiving && now >= *deadline()) {
        finish();
        return false;
    }
    return running();
}

std::optional<Clock::TimePoint> Search::deadline() const {
    switch (phase_) {
        case Phase::Idle: return std::nullopt;
        case Phase::Pausing: return pauseEnd_;
        case Phase::Receiving:
            return std::min(lastDatagram_ + timings_.quiet, pauseEnd_ + timings_.receiveBound);
    }
    return std::nullopt;
}

int Search::lostReplies() const {
    // A datagram tells the drops before it; those after the last one read only the socket's own
    // count tells, where the system keeps one. Each socket is new to this search.
    std::uint64_t lost = 0;
    for (const Path& path : paths_) {
        std::uint32_t drops = path.drops;
        if (path.socket) {
            drops = std::max(drops, path.socket->droppedDatagrams().value_or(0));
        }
        lost += drops;
    }
    return static_cast<int>(std::min<std::uint64_t>(lost, std::numeric_limits<int>::max()));
}

void Search::finish() {
    phase_ = Phase::Idle;
    // The sockets stay open and are no longer read: a late reply waits there unread until the
    // next search replaces the socket.
    SearchResult result{viewDevices(table_), table_.leftOut(), droppedDatagrams_, lostReplies()};
    for (std::size_t record = 0; record < result.devices.size(); ++record) {
        const auto path = static_cast<std::size_t>(table_.path(static_cast<int>(record)));
        result.devices[record].interfaceName = paths_[path].path.interfaceName;
    }
    if (events_.finished) {
        events_.finished(result);  // may start the next search: nothing of ours is touched after
    }
}

void Search::fail(const Error& error) {
    phase_ = Phase::Idle;
    if (events_.failed) {
        events_.failed(error);
    }
}

}  // namespace nimbrel
