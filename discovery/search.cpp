#include "discovery/search.h"

#include <algorithm>

namespace nimbrel {

Search::Search(SearchSocket& socket, const Clock& clock, LocalAddressLookup lookup,
               SearchTimings timings, int capacity, Peer target)
    : socket_(socket),
      clock_(clock),
      lookup_(std::move(lookup)),
      timings_(timings),
      target_(target),
      table_(capacity) {}

Search::StartOutcome Search::Start() {
    if (Running()) {
        return StartOutcome::AlreadyRunning;
    }
    const std::optional<Ipv4Bytes> local = lookup_ ? lookup_() : std::nullopt;
    if (!local) {
        return StartOutcome::LookUpFailed;
    }
    table_.ClearTable();
    droppedDatagrams_ = 0;
    emptyDatagramSeen_ = false;
    if (const Status reopened = socket_.Reopen(*local); !reopened) {
        Fail(reopened.GetError());
        return StartOutcome::Failed;
    }
    if (events_.started) {
        events_.started();
    }
    if (const Status sent = socket_.Send(DiscoveryRequest, target_); !sent) {
        Fail(sent.GetError());
        return StartOutcome::Failed;
    }
    pauseEnd_ = clock_.Now() + timings_.pause;
    lastDatagram_ = pauseEnd_;
    phase_ = Phase::Pausing;
    return StartOutcome::Started;
}

void Search::SocketReadable() {
    // Replies that come during the pause are read at once; they count from the pause's end.
    for (int read = 0; read < ReadsPerCall && Running(); ++read) {
        const Received received = socket_.Receive(buffer_);
        if (received.kind == Received::Kind::Nothing) {
            break;
        }
        if (received.kind == Received::Kind::Failed) {
            Fail(received.error);
            return;
        }
        const auto size = static_cast<std::size_t>(std::max(received.size, 0));
        Read(received, Datagram(buffer_).first(std::min(size, buffer_.size())), clock_.Now());
    }
    TimePassed();
}

void Search::Read(const Received& received, Datagram datagram, Clock::TimePoint now) {
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
        table_.AddReply(datagram, received.from);
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
    const SearchResult result{ViewDevices(table_), table_.LeftOut(), droppedDatagrams_};
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
