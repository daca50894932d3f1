// SPDX-License-Identifier: MIT
#include "bench/gui/window_under_test.h"

#include <unistd.h>

#include <QTimer>
#include <fstream>
#include <optional>

#include "discovery/clock.h"
#include "discovery/interface_choice.h"
#include "discovery/local_address.h"
#include "discovery/search_socket.h"
#include "main/search_driver.h"

namespace nimbrel::bench {

Replies devices(int count, int generation) {
    static const char* const models[] = {"QZL-TMR1-AC-A", "QZL-TMR2-AC", "QZL-TVX2-W", "QZH-P-AC",
                                         "QZL-TMR-M",     "QZL-TLX2",    "QZL-P-AC",   "QZL-TVX",
                                         "QZL-TMR",       "QZL-TVX-S",   "Other"};
    // The sets differ in the MAC, which is what tells devices apart.
    const auto set = static_cast<std::uint8_t>(0x3C + generation);
    Replies replies;
    for (int index = 0; index < count; ++index) {
        const auto number = static_cast<std::uint8_t>(index + 10);
        replies.push_back(testing::replyBytes(models[index % 11], {192, 0, 2, number},
                                              {0x00, 0x1A, 0x2B, set, 0x4D, number}));
    }
    return replies;
}

SearchResult manyDevices(int count) {
    static const char* const models[] = {"QZL-TMR1-AC-A", "QZL-TVX2-W", "QZH-P-AC", "QZL-TLX2",
                                         "Other"};
    DeviceTable table(count);
    for (int index = 0; index < count; ++index) {
        const auto high = static_cast<std::uint8_t>(index >> 8);
        const auto low = static_cast<std::uint8_t>(index & 0xFF);
        const std::vector<std::uint8_t> reply = testing::replyBytes(
            models[index % 5], {10, 20, high, low}, {0x00, 0x1A, 0x2B, 0x3C, high, low});
        table.addReply(reply);
    }
    return SearchResult{viewDevices(table), table.leftOut(), 0, 0};
}

Search::StartOutcome FixedResultRunner::start() {
    if (running_) {
        return Search::StartOutcome::AlreadyRunning;
    }
    running_ = true;
    Q_EMIT started();
    QTimer::singleShot(0, this, [this] {
        running_ = false;
        Q_EMIT finished(result_);
    });
    return Search::StartOutcome::Started;
}

WindowUnderTest::WindowUnderTest(ReplySource repliesFor, std::chrono::milliseconds delay,
                                 SearchTimings timings)
    : repliesFor_(std::move(repliesFor)), delay_(delay) {
    build(device_.address(), timings);
}

WindowUnderTest::WindowUnderTest(Replies replies, std::chrono::milliseconds delay,
                                 SearchTimings timings)
    : WindowUnderTest([replies = std::move(replies)](int) { return replies; }, delay, timings) {}

WindowUnderTest::WindowUnderTest(const Peer& target) {
    build(target, {});
}

void WindowUnderTest::build(const Peer& target, SearchTimings timings) {
    auto driver = std::make_unique<SearchDriver>(
        std::make_unique<UdpSearchSocket>(), std::make_unique<SteadyClock>(), addressLookup([] {
            // The real look-up runs for its time; its address is not used, since the replies
            // come from loopback.
            const auto real = lookUpLocalAddress();
            return real ? std::optional<Ipv4Bytes>({127, 0, 0, 1}) : std::nullopt;
        }),
        timings, target);
    QObject::connect(driver.get(), &SearchRunner::started, driver.get(), [this] {
        const int search = searches_++;
        if (!repliesFor_) {
            return;
        }
        QTimer::singleShot(delay_,
                           [this, replies = repliesFor_(search)] { device_.answer(replies); });
    });
    window_ = std::make_unique<MainWindow>(std::move(driver));
}

long residentKib() {
    // The second field of /proc/self/statm is the resident set in pages.
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace nimbrel::bench
