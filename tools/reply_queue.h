// SPDX-License-Identifier: MIT
// The simulator's replies waiting for their time, bounded whatever the requests that arrive.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <utility>

#include "discovery/address.h"

namespace nimbrel::tools {

struct PendingReply {
    std::size_t reply = 0;  // which of the simulator's replies
    Peer to;
};

class ReplyQueue {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    explicit ReplyQueue(std::size_t capacity) : capacity_(capacity) {}

    /// Queues `reply` for `due`. When the queue is full, the reply queued first is dropped to
    /// make room, and Push returns true.
    bool push(TimePoint due, const PendingReply& reply);

    /// The earliest due time of a reply waiting; nullopt when none waits.
    std::optional<TimePoint> nextDue() const;

    /// Takes the earliest due reply out if its time has come by `now`; replies due at the same
    /// time come out in the order queued.
    std::optional<PendingReply> popDue(TimePoint now);

    std::size_t size() const { return byDue_.size(); }
    std::size_t capacity() const { return capacity_; }

private:
    using Key = std::pair<TimePoint, std::uint64_t>;  // due time, then order of queueing

    std::size_t capacity_;
    std::uint64_t queued_ = 0;
    std::map<Key, PendingReply> byDue_;
    std::map<std::uint64_t, TimePoint> byAge_;  // the same replies, oldest first
};

}  // namespace nimbrel::tools
