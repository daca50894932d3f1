// SPDX-License-Identifier: MIT
// A burst of replies that all arrive at once: a device on 127.0.0.1 answers the search's
// request with REPLIES distinct replies sent back to back from one socket, on a thread of its
// own. One search with the real timings and the real socket, whose receive buffer is asked for
// with BYTES (default: the socket's own default); it prints what it listed and what the system
// says it dropped:
//   bench_burst [REPLIES [BYTES]]
//   replies_sent=1000 devices_listed=1000 lost_replies=0 receive_buffer=2097152
// receive_buffer is the size that the system reports for the socket (on Linux twice the bytes
// that it keeps for datagrams). Exit status 1 when the search did not run.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "discovery/clock.h"
#include "discovery/search.h"
#include "discovery/search_loop.h"
#include "discovery/search_socket.h"
#include "discovery/socket_platform.h"
#include "discovery/wire.h"
#include "tests/discovery/reply_bytes.h"

namespace {

using namespace nimbrel;

/// The device: a socket on 127.0.0.1 that answers the first request it reads with the burst.
class BurstDevice {
public:
    explicit BurstDevice(int count) {
        for (int n = 1; n <= count; ++n) {
            replies_.push_back(testing::burstReply(n));
        }
        const Result<platform::SocketHandle> opened = platform::openDatagramSocket();
        if (!opened.ok()) {
            return;  // the search finds nothing, and sent=0 tells why
        }
        socket_ = opened.value();
        if (!platform::bindSocket(socket_, {{127, 0, 0, 1}, 0}).ok()) {
            return;
        }
        if (const Result<Peer> local = platform::localName(socket_); local.ok()) {
            local_ = local.value();
            thread_ = std::thread([this] { answer(); });
        }
    }
    ~BurstDevice() {
        join();
        if (socket_ != platform::NoSocket) {
            platform::closeSocket(socket_);
        }
    }
    BurstDevice(const BurstDevice&) = delete;
    BurstDevice& operator=(const BurstDevice&) = delete;

    const Peer& local() const { return local_; }

    /// Waits until the device has answered (or given up waiting for the request) and returns
    /// the replies that it sent.
    int join() {
        if (thread_.joinable()) {
            thread_.join();
        }
        return sent_;
    }

private:
    void answer() {
        std::vector<std::uint8_t> request(16);
        if (!platform::waitReadable(socket_, 5000)) {
            return;
        }
        const Result<platform::ReceivedDatagram> received = platform::receiveFrom(socket_, request);
        if (!received.ok()) {
            return;
        }
        for (const std::vector<std::uint8_t>& reply : replies_) {
            if (platform::sendTo(socket_, reply, received.value().from).ok()) {
                ++sent_;
            }
        }
    }

    std::vector<std::vector<std::uint8_t>> replies_;
    platform::SocketHandle socket_ = platform::NoSocket;
    Peer local_;
    int sent_ = 0;
    std::thread thread_;
};

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int bytes = argc > 2 ? std::atoi(argv[2]) : UdpSearchSocket::DefaultReceiveBufferBytes;
    if (count < 1 || count > 65535 || bytes < 1) {
        std::fputs("usage: bench_burst [REPLIES [BYTES]]\n", stderr);
        return 2;
    }

    auto socket = std::make_unique<UdpSearchSocket>(bytes);
    const UdpSearchSocket& searchSocket = *socket;
    std::optional<SearchResult> result;
    {
        BurstDevice device(count);
        const SteadyClock clock;
        // 1024 devices at most, as nimbrel-discover lists.
        Search search(
            clock,
            [] {
                return std::optional<std::vector<SearchPath>>({{{127, 0, 0, 1}, "lo"}});
            },
            firstThen(std::move(socket), {}), {}, 1024, device.local());
        SearchEvents events;
        events.finished = [&result](const SearchResult& found) { result = found; };
        search.setEvents(std::move(events));
        if (search.start() != Search::StartOutcome::Started) {
            std::fputs("bench_burst: the search did not start\n", stderr);
            return 1;
        }
        runSearchToEnd(search, clock, std::chrono::milliseconds{250}, {});
        if (!result) {
            std::fputs("bench_burst: the search failed\n", stderr);
            return 1;
        }
        std::printf("replies_sent=%d devices_listed=%zu lost_replies=%d receive_buffer=%d\n",
                    device.join(), result->devices.size(), result->lostReplies,
                    searchSocket.receiveBufferBytes());
    }
    return 0;
}
