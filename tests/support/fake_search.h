// SPDX-License-Identifier: MIT
// A fake clock and a fake socket, so that whole searches run in microseconds with no traffic.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

#include "discovery/clock.h"
#include "discovery/search_socket.h"

namespace nimbrel::testing {

class FakeClock final : public Clock {
public:
    TimePoint Now() const override { return now_; }
    void Advance(std::chrono::milliseconds by) { now_ += by; }
    void Set(TimePoint to) { now_ = to; }

private:
    TimePoint now_{std::chrono::hours{1}};
};

/// Datagrams queue until the search reads them; every call is recorded for the test to see.
class FakeSearchSocket final : public SearchSocket {
public:
    FakeSearchSocket() = default;
    FakeSearchSocket(const FakeSearchSocket&) = delete;
    FakeSearchSocket& operator=(const FakeSearchSocket&) = delete;

    struct Queued {
        std::vector<std::uint8_t> bytes;
        Peer from{{198, 51, 100, 2}, DiscoveryPort};
        bool overlong = false;  // as the platform reports a datagram that did not fit
    };

    ~FakeSearchSocket() override {
        if (destroyed != nullptr) {
            *destroyed = true;
        }
    }

    Result<> Reopen(const Ipv4Bytes& local) override {
        ++reopens;
        boundTo = local;
        queue.clear();  // a new socket: what waited on the old one is gone
        if (reopenError) {
            return *reopenError;
        }
        open = true;
        return {};
    }

    Result<> Send(std::span<const std::uint8_t> bytes, const Peer& to) override {
        sent.emplace_back(bytes.begin(), bytes.end());
        sentTo = to;
        if (sendError) {
            return *sendError;
        }
        return {};
    }

    Received Receive(std::span<std::uint8_t> buffer) override {
        ++receiveCalls;
        if (receiveError) {
            Received failed{Received::Kind::Failed, 0, {}, *receiveError};
            receiveError.reset();
            return failed;
        }
        if (queue.empty()) {
            return {};
        }
        Queued next = std::move(queue.front());
        queue.pop_front();
        if (next.overlong || next.bytes.size() > buffer.size()) {
            return {Received::Kind::Overlong, 0, next.from, {}};
        }
        std::copy(next.bytes.begin(), next.bytes.end(), buffer.begin());
        return {Received::Kind::Read, static_cast<int>(next.bytes.size()), next.from, {}};
    }

    platform::SocketHandle Handle() const override { return open ? 3 : platform::NoSocket; }

    /// A datagram arrives.
    void Arrive(std::vector<std::uint8_t> bytes, Peer from = {{198, 51, 100, 2}, DiscoveryPort}) {
        queue.push_back({std::move(bytes), from, false});
    }

    std::deque<Queued> queue;
    std::vector<std::vector<std::uint8_t>> sent;
    Peer sentTo;
    Ipv4Bytes boundTo{};
    int reopens = 0;
    int receiveCalls = 0;
    bool open = false;
    bool* destroyed = nullptr;  // set when the socket is destroyed
    std::optional<Error> reopenError;
    std::optional<Error> sendError;
    std::optional<Error> receiveError;
};

}  // namespace nimbrel::testing
