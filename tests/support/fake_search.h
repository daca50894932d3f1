// SPDX-License-Identifier: MIT
// A fake clock and a fake socket, so that whole searches run in microseconds with no traffic.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <deque>
#include <limits>
#include <optional>
#include <span>
#include <vector>

#include "discovery/clock.h"
#include "discovery/search_socket.h"

namespace nimbrel::testing {

class FakeClock final : public Clock {
public:
    TimePoint now() const override { return now_; }
    void advance(std::chrono::milliseconds by) { now_ += by; }
    void set(TimePoint to) { now_ = to; }

private:
    TimePoint now_{std::chrono::hours{1}};
};

/// Datagrams queue until the search reads them; every call is recorded for the test to see.
/// Like a socket's receive buffer, the queue holds `capacity` datagrams, and the system's count
/// of those dropped past it comes with each later datagram and, where `tellsDropCount`, from
/// DroppedDatagrams.
class FakeSearchSocket final : public SearchSocket {
public:
    FakeSearchSocket() = default;
    FakeSearchSocket(const FakeSearchSocket&) = delete;
    FakeSearchSocket& operator=(const FakeSearchSocket&) = delete;

    struct Queued {
        std::vector<std::uint8_t> bytes;
        Peer from{{198, 51, 100, 2}, DiscoveryPort};
        bool overlong = false;        // as the platform reports a datagram that did not fit
        unsigned interfaceIndex = 0;  // the interface it arrived on
        std::optional<std::uint32_t> dropsBefore;
    };

    ~FakeSearchSocket() override {
        if (destroyed != nullptr) {
            *destroyed = true;
        }
    }

    Result<> reopen(const Ipv4Bytes& local, unsigned interface) override {
        ++reopens;
        boundTo = local;
        interfaceIndex = interface;
        queue.clear();  // a new socket: what waited on the old one is gone, and its count
        dropped = 0;
        if (reopenError) {
            return *reopenError;
        }
        open = true;
        return {};
    }

    Result<> send(std::span<const std::uint8_t> bytes, const Peer& to) override {
        sent.emplace_back(bytes.begin(), bytes.end());
        sentTo = to;
        if (sendError) {
            return *sendError;
        }
        return {};
    }

    Received receive(std::span<std::uint8_t> buffer) override {
        ++receiveCalls;
        Received received;
        if (receiveError) {
            received.kind = Received::Kind::Failed;
            received.error = *receiveError;
            receiveError.reset();
            return received;
        }
        if (queue.empty()) {
            return received;
        }
        Queued next = std::move(queue.front());
        queue.pop_front();
        received.from = next.from;
        received.interfaceIndex = next.interfaceIndex;
        received.dropsBefore = next.dropsBefore;
        if (next.overlong || next.bytes.size() > buffer.size()) {
            received.kind = Received::Kind::Overlong;
            return received;
        }
        std::copy(next.bytes.begin(), next.bytes.end(), buffer.begin());
        received.kind = Received::Kind::Read;
        received.size = static_cast<int>(next.bytes.size());
        return received;
    }

    std::optional<std::uint32_t> droppedDatagrams() const override {
        return tellsDropCount ? std::optional<std::uint32_t>(dropped) : std::nullopt;
    }

    platform::SocketHandle handle() const override { return open ? 3 : platform::NoSocket; }

    /// A datagram arrives, on the interface numbered `interface`; dropped when the queue is full.
    void arrive(std::vector<std::uint8_t> bytes, Peer from = {{198, 51, 100, 2}, DiscoveryPort},
                unsigned interface = 0) {
        if (queue.size() >= capacity) {
            ++dropped;
            return;
        }
        // As Linux does, the count comes with a datagram only once it is above 0.
        queue.push_back({std::move(bytes), from, false, interface,
                         dropped > 0 ? std::optional<std::uint32_t>(dropped) : std::nullopt});
    }

    std::deque<Queued> queue;
    std::size_t capacity = std::numeric_limits<std::size_t>::max();
    std::uint32_t dropped = 0;
    bool tellsDropCount = true;
    std::vector<std::vector<std::uint8_t>> sent;
    Peer sentTo;
    Ipv4Bytes boundTo{};
    unsigned interfaceIndex = 0;
    int reopens = 0;
    int receiveCalls = 0;
    bool open = false;
    bool* destroyed = nullptr;  // set when the socket is destroyed
    std::optional<Error> reopenError;
    std::optional<Error> sendError;
    std::optional<Error> receiveError;
};

}  // namespace nimbrel::testing
