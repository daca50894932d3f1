// SPDX-License-Identifier: MIT
// A stand-in for the devices: answers every discovery request with the replies it was given.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "discovery/address.h"
#include "discovery/error.h"
#include "discovery/result.h"
#include "discovery/socket_platform.h"
#include "tools/reply_queue.h"

namespace nimbrel::tools {

/// The fields of one simulated device; each becomes one element of its reply.
struct DeviceSpec {
    std::string model;
    Ipv4Bytes ipv4{};
    MacBytes mac{};
    std::string firmware;
    std::string copy;
};

/// A well-formed reply for `device`: header, then the address, firmware, model and copy-text
/// elements. A text longer than the 64 bytes that a device's field holds is refused.
Result<std::vector<std::uint8_t>> buildReply(const DeviceSpec& device);

struct SimulatedReply {
    std::vector<std::uint8_t> bytes;     // sent as they stand, any length including 0
    std::chrono::milliseconds delay{0};  // after the request arrived
};

struct ReceivedRequest {
    Peer from;
    std::vector<std::uint8_t> bytes;
};

class DeviceSimulator {
public:
    /// Replies waiting for their time at most; past it the oldest waiting is dropped, so that
    /// no stream of requests makes the simulator's memory grow.
    static constexpr std::size_t DefaultQueueCapacity = 4096;

    explicit DeviceSimulator(std::vector<SimulatedReply> replies,
                             std::size_t queueCapacity = DefaultQueueCapacity);
    ~DeviceSimulator();
    DeviceSimulator(const DeviceSimulator&) = delete;
    DeviceSimulator& operator=(const DeviceSimulator&) = delete;

    /// Binds to `listen` (port 0: the system chooses). Called once, before Run.
    Result<> listen(const Peer& listen);

    /// The bound address and port.
    Peer local() const { return local_; }

    /// Answers requests until `stop` turns true (checked at least every 20 ms). Each datagram
    /// received is logged; each one equal to the discovery request is answered with every
    /// reply, in order of delay, each sent back to the request's source.
    void run(const std::atomic<bool>& stop);

    /// As Run, but also returns once `requestLimit` requests have been answered and every one
    /// of their replies has been sent; requests past the limit are logged but not answered.
    void runUntilAnswered(const std::atomic<bool>& stop, int requestLimit);

    /// Called on the thread of Run for every datagram received, before it is answered.
    void setReceiveObserver(std::function<void(const ReceivedRequest&)> observer);

    /// Called on the thread of Run when a reply is first dropped because the queue was full.
    void setQueueFullObserver(std::function<void()> observer);

    /// The first datagrams received (up to KeptRequests); safe to call while Run goes on in
    /// another thread. The limit keeps a long-running simulator's memory bounded whatever the
    /// network sends it.
    std::vector<ReceivedRequest> requests() const;
    static constexpr std::size_t KeptRequests = 256;

    /// Replies sent so far, counting only sends that the socket accepted; safe to call while
    /// Run goes on in another thread. Over loopback, a reply counted here already waits at its
    /// destination.
    int repliesSent() const { return repliesSent_.load(); }

    /// Replies dropped because the queue was full; safe to call while Run goes on.
    int repliesDropped() const { return repliesDropped_.load(); }

private:
    void sendDue();
    void receiveOne(std::span<std::uint8_t> buffer, bool answer);

    bool libraryStarted_ = false;
    platform::SocketHandle socket_ = platform::NoSocket;
    Peer local_;
    std::vector<SimulatedReply> replies_;  // in order of delay
    ReplyQueue queue_;
    int answered_ = 0;
    std::function<void(const ReceivedRequest&)> observer_;
    std::function<void()> queueFullObserver_;
    mutable std::mutex mutex_;
    std::vector<ReceivedRequest> requests_;
    std::atomic<int> repliesSent_{0};
    std::atomic<int> repliesDropped_{0};
};

}  // namespace nimbrel::tools
