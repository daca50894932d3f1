// SPDX-License-Identifier: MIT
#include "discovery/search.h"

#include <algorithm>

namespace nimbrel {

Search::Search(SearchSocket& socket, const Clock& clock, LocalAddressLookup lookup,
               SearchTimings timings, int capacity, Peer target)
    : sockets_{&socket},
      clock_(clock),
      lookup_(std::move(lookup)),
      timings_(timings),
      target_(target),
      table_(capacity) {}

void Search::SetPaths(SearchPathsLookup lookup, SearchSocketFactory makeSocket) {
    pathsLookup_ = std::move(lookup);
    makeSocket_ = std::move(makeSocket);
}

std::optional<std::vector<SearchPath>> Search::LookUpPaths() const {
    if (pathsLookup_) {
        return pathsLookup_();
    }
    const std::optional<Ipv4Bytes> local = lookup_ ? lookup_() : std::nullopt;
    if (!local) {
        return std::nullopt;
    }
    return std::vector<SearchPath>{{*local, {}}};
}

std::vector<platform::SocketHandle> Search::Handles() const {
    std::vector<platform::SocketHandle> handles;
    for (std::size_t path = 0; path < paths_.size(); ++path) {
        if (active_[path]) {
            handles.push_back(sockets_[path]->Handle());
        }
    }
    if (handles.empty()) {
        handles.push_back(sockets_.front()->Handle());  // before the first search
    }
    return handles;
}

bool Search::DropPath(std::size_t path, const Error& error) {
    active_[path] = false;
    if (std::find(active_.begin(), active_.end(), true) == active_.end()) {
        Fail(error);
        return false;
    }
    if (events_.pathFailed) {
        events_.pathFailed(paths_[path], error);
    }
    return true;
}

Search::StartOutcome Search::Start() {
    if (Running()) {
        return StartOutcome::AlreadyRunning;
    }
    std::optional<std::vector<SearchPath>> paths = LookUpPaths();
    if (!paths || paths->empty()) {
        return StartOutcome::LookUpFailed;
    }
    while (sockets_.size() < paths->size() && makeSocket_) {
        ownSockets_.push_back(makeSocket_());
        sockets_.push_back(ownSockets_.back().get());
    }
    // Fewer paths than before (an interface went away, or one network is searched again): the
    // sockets of the others are closed rather than left bound and unread.
    while (sockets_.size() > std::max<std::size_t>(paths->size(), 1) && !ownSockets_.empty()) {
        sockets_.pop_back();
        ownSockets_.pop_back();
    }
    paths->resize(std::min(paths->size(), sockets_.size()));
    paths_ = std::move(*paths);
    active_.assign(paths_.size(), true);
    ++searches_;
    table_.ClearTable();
    droppedDatagrams_ = 0;
    emptyDatagramSeen_ = false;
    // One interface that fails must not cost the others their devices: a path that cannot be
    // opened or sent on is dropped, and only a search with no path left fails.
    for (std::size_t path = 0; path < paths_.size(); ++path) {
        if (const Result<> reopened = sockets_[path]->Reopen(paths_[path].local); !reopened.ok()) {
            if (!DropPath(path, reopened.error())) {
                return StartOutcome::Failed;
            }
        }
    }
    if (events_.started) {
        events_.started();
    }
    for (std::size_t path = 0; path < paths_.size(); ++path) {
        if (!active_[path]) {
            continue;
        }
        if (const Result<> sent = sockets_[path]->Send(DiscoveryRequest, target_); !sent.ok()) {
            if (!DropPath(path, sent.error())) {
                return StartOutcome::Failed;
            }
        }
    }
    pauseEnd_ = clock_.Now() + timings_.pause;
    lastDatagram_ = pauseEnd_;
    phase_ = Phase::Pausing;
    return StartOutcome::Started;
}

void Search::SocketReadable() {
    // Replies that come during the pause are read at once; they count from the pause's end.
    const std::uint64_t search = searches_;
    for (std::size_t path = 0; path < paths_.size(); ++path) {
        if (!ReadFrom(path, search)) {
            return;  // this search has ended, and another may have begun
        }
    }
    TimePassed();
}

bool Search::ReadFrom(std::size_t path, std::uint64_t search) {
    for (int read = 0; read < ReadsPerCall && active_[path]; ++read) {
        if (!Running() || searches_ != search) {
            return false;
        }
        const Received received = sockets_[path]->Receive(buffer_);
        if (received.kind == Received::Kind::Nothing) {
            break;
        }
        if (received.kind == Received::Kind::Failed) {
            return DropPath(path, received.error);
        }
        const auto size = static_cast<std::size_t>(std::max(received.size, 0));
        Read(received, Datagram(buffer_).first(std::min(size, buffer_.size())),
             static_cast<int>(path), clock_.Now());
    }
    return Running() && searches_ == search;
}

void Search::Read(const Received& received, Datagram datagram, int path, Clock::TimePoint now) {
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
            Finish();
        }
        return;
    }
    if (IsDiscoveryReply(datagram)) {
        table_.AddReply(datagram, received.from, path);
    }
}

void Search::TimePassed() {
    if (!Running()) {
        return;
    }
    const Clock::TimePoint now = clock_.Now();
    if (phase_ == Phase::Pausing && now >= pauseEnd_) {
        phase_ = Phase::Receiving;
        if (emptyDatagramSeen_) {
            Finish();
            return;
        }
    }
    if (phase_ == Phase::Receiving && now >= *Deadline()) {
        Finish();
    }
}

std::optional<Clock::TimePoint> Search::Deadline() const {
    switch (phase_) {
        case Phase::Idle: return std::nullopt;
        case Phase::Pausing: return pauseEnd_;
        case Phase::Receiving:
            return std::min(lastDatagram_ + timings_.quiet, pauseEnd_ + timings_.receiveBound);
    }
    return std::nullopt;
}

void Search::Finish() {
    phase_ = Phase::Idle;
    // The socket stays open and is no longer read: a late reply waits there unread until the
    // next search replaces the socket.
    SearchResult result{ViewDevices(table_), table_.LeftOut(), droppedDatagrams_};
    for (std::size_t record = 0; record < result.devices.size(); ++record) {
        const auto path = static_cast<std::size_t>(table_.Path(static_cast<int>(record)));
        result.devices[record].interfaceName = paths_[path].interfaceName;
    }
    if (events_.finished) {
        events_.finished(result);  // may start the next search: nothing of ours is touched after
    }
}

void Search::Fail(const Error& error) {
    phase_ = Phase::Idle;
    if (events_.failed) {
        events_.failed(error);
    }
}

}  // namespace nimbrel
