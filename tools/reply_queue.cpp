// SPDX-License-Identifier: MIT
#include "tools/reply_queue.h"

namespace nimbrel::tools {

bool ReplyQueue::push(TimePoint due, const PendingReply& reply) {
    if (capacity_ == 0) {
        return true;
    }
    bool dropped = false;
    if (byDue_.size() >= capacity_) {
        const auto oldest = byAge_.begin();
        byDue_.erase(Key{oldest->second, oldest->first});
        byAge_.erase(oldest);
        dropped = true;
    }
    const std::uint64_t order = queued_++;
    byDue_.emplace(Key{due, order}, reply);
    byAge_.emplace(order, due);
    return dropped;
}

std::optional<ReplyQueue::TimePoint> ReplyQueue::nextDue() const {
    if (byDue_.empty()) {
        return std::nullopt;
    }
    return byDue_.begin()->first.first;
}

std::optional<PendingReply> ReplyQueue::popDue(TimePoint now) {
    if (byDue_.empty() || byDue_.begin()->first.first > now) {
        return std::nullopt;
    }
    const auto first = byDue_.begin();
    const PendingReply reply = first->second;
    byAge_.erase(first->first.second);
    byDue_.erase(first);
    return reply;
}

}  // namespace nimbrel::tools
