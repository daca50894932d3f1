// SPDX-License-Identifier: MIT
// The window as the benchmarks run it: the real search driver and timings, its request sent
// to a device on 127.0.0.1 (the target is injected, so nothing leaves the machine).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "discovery/search.h"
#include "main/main_window.h"
#include "main/search_runner.h"
#include "tests/gui/loopback_device.h"

namespace nimbrel::bench {

using Replies = std::vector<std::vector<std::uint8_t>>;

/// The replies of `count` devices of mixed models. Devices of different `generation`s have
/// different MAC addresses, so that each set replaces the one before in the list.
Replies devices(int count, int generation = 0);

/// A window whose device answers each search with what `repliesFor` returns for that search
/// (counted from 0), `delay` after the search has started.
class WindowUnderTest {
public:
    using ReplySource = std::function<Replies(int search)>;

    explicit WindowUnderTest(ReplySource repliesFor, std::chrono::milliseconds delay = {},
                             SearchTimings timings = {});
    /// A device that gives the same replies to every search.
    explicit WindowUnderTest(Replies replies, std::chrono::milliseconds delay = {},
                             SearchTimings timings = {});
    /// No device answers on 127.0.0.1, but the request goes to `target`.
    explicit WindowUnderTest(const Peer& target);

    MainWindow& window() { return *window_; }
    /// The searches that have started so far.
    int searches() const { return searches_; }

private:
    void build(const Peer& target, SearchTimings timings);

    testing::LoopbackDevice device_;
    ReplySource repliesFor_;
    std::chrono::milliseconds delay_{};
    int searches_ = 0;
    std::unique_ptr<MainWindow> window_;
};

/// The result of a search that found `count` devices of mixed models, each with its own MAC
/// and IPv4 address (up to 65,536), as the core views their replies.
SearchResult manyDevices(int count);

/// Stands in for the search: each search ends on the next pass of the event loop with the
/// same result, so that only the window's own work is measured.
class FixedResultRunner final : public SearchRunner {
public:
    explicit FixedResultRunner(SearchResult result) : result_(std::move(result)) {}

    Search::StartOutcome start() override;
    bool running() const override { return running_; }
    void setAllNetworks(bool) override {}

private:
    SearchResult result_;
    bool running_ = false;
};

/// The resident memory of this process now, in KiB.
long residentKib();

}  // namespace nimbrel::bench
