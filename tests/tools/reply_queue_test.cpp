// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <vector>

#include "tools/reply_queue.h"

namespace nimbrel::tools {
namespace {

using std::chrono::milliseconds;
const ReplyQueue::TimePoint Start{};

std::vector<std::size_t> takeAllDue(ReplyQueue& queue, ReplyQueue::TimePoint now) {
    std::vector<std::size_t> taken;
    while (const auto reply = queue.popDue(now)) {
        taken.push_back(reply->reply);
    }
    return taken;
}

TEST(ReplyQueue, HandsRepliesOutByDueTimeThenInOrderQueued) {
    ReplyQueue queue(8);
    EXPECT_FALSE(queue.nextDue().has_value());
    EXPECT_FALSE(queue.push(Start + milliseconds{30}, {0, {}}));
    EXPECT_FALSE(queue.push(Start + milliseconds{10}, {1, {}}));
    EXPECT_FALSE(queue.push(Start + milliseconds{10}, {2, {}}));
    EXPECT_EQ(queue.nextDue(), Start + milliseconds{10});

    EXPECT_TRUE(takeAllDue(queue, Start + milliseconds{9}).empty());
    EXPECT_EQ(takeAllDue(queue, Start + milliseconds{10}), (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(queue.nextDue(), Start + milliseconds{30});
    EXPECT_EQ(takeAllDue(queue, Start + milliseconds{100}), (std::vector<std::size_t>{0}));
    EXPECT_EQ(queue.size(), 0u);
}

TEST(ReplyQueue, DropsTheReplyQueuedFirstWhenFull) {
    ReplyQueue queue(3);
    // Queued first but due last: it is still the one that goes.
    EXPECT_FALSE(queue.push(Start + milliseconds{50}, {0, {}}));
    EXPECT_FALSE(queue.push(Start + milliseconds{10}, {1, {}}));
    EXPECT_FALSE(queue.push(Start + milliseconds{20}, {2, {}}));
    EXPECT_TRUE(queue.push(Start + milliseconds{5}, {3, {}}));
    EXPECT_TRUE(queue.push(Start + milliseconds{40}, {4, {}}));
    EXPECT_EQ(queue.size(), 3u);
    EXPECT_EQ(takeAllDue(queue, Start + milliseconds{100}), (std::vector<std::size_t>{3, 2, 4}));
}

TEST(ReplyQueue, KeepsItsBoundUnderAnyNumberOfReplies) {
    ReplyQueue queue(4);
    int dropped = 0;
    for (std::size_t n = 0; n < 10000; ++n) {
        dropped += queue.push(Start + milliseconds{static_cast<long>(n % 7)}, {n, {}}) ? 1 : 0;
        ASSERT_LE(queue.size(), 4u);
    }
    EXPECT_EQ(dropped, 10000 - 4);
    const std::vector<std::size_t> kept = takeAllDue(queue, Start + milliseconds{10});
    EXPECT_EQ(kept.size(), 4u);
    for (const std::size_t n : kept) {
        EXPECT_GE(n, 9996u);  // the newest four
    }
}

}  // namespace
}  // namespace nimbrel::tools
