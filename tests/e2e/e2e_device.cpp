// SPDX-License-Identifier: MIT
// A device that misbehaves on purpose, for the end-to-end test: it answers the first discovery
// request by broadcast, or with a stream of replies that never stops; or it stands in for many
// devices whose replies all arrive at once.
//   e2e_device broadcast HEX        answer to 255.255.255.255 at the request's source port
//   e2e_device stream HEX MS        answer to the request's source every MS until killed
//   e2e_device burst COUNT [REQUESTS]
//                                   answer each of REQUESTS requests (default 1) with COUNT
//                                   distinct replies sent back to back from one socket, then
//                                   exit; device n (from 1) is model BURST-n, MAC
//                                   02-00-00-00-HI-LO (n in hex), 198.51.100.(n % 254 + 1)
// It prints "request from A.B.C.D:PORT" when a request arrives, and in burst mode "sent N" after
// each burst.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "discovery/socket_platform.h"
#include "discovery/wire.h"
#include "tests/discovery/reply_bytes.h"

namespace {

using namespace nimbrel;

std::vector<std::uint8_t> fromHex(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

int fail(const char* what, const Error& error) {
    std::fprintf(stderr, "e2e_device: %s failed (%d)\n", what, error.code);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: e2e_device broadcast HEX | stream HEX MS | burst COUNT [REQUESTS]\n",
                   stderr);
        return 2;
    }
    const std::string mode = argv[1];
    const bool burst = mode == "burst";
    const std::vector<std::uint8_t> reply = burst ? std::vector<std::uint8_t>{} : fromHex(argv[2]);
    const int every = argc > 3 ? std::atoi(argv[3]) : 100;
    const int count = burst ? std::atoi(argv[2]) : 0;
    const int requests = burst && argc > 3 ? std::atoi(argv[3]) : 1;
    std::vector<std::vector<std::uint8_t>> replies;
    for (int n = 1; n <= count; ++n) {
        replies.push_back(testing::burstReply(n));
    }

    static_cast<void>(platform::startSocketLibrary());
    const Result<platform::SocketHandle> opened = platform::openDatagramSocket();
    if (!opened.ok()) {
        return fail("socket", opened.error());
    }
    const platform::SocketHandle socket = opened.value();
    if (Result<> done = platform::enableBroadcast(socket); !done.ok()) {
        return fail("broadcast permission", done.error());
    }
    if (Result<> done = platform::bindSocket(socket, {{0, 0, 0, 0}, DiscoveryPort}); !done.ok()) {
        return fail("bind", done.error());
    }
    std::puts("listening");
    std::fflush(stdout);

    std::vector<std::uint8_t> buffer(512);
    Peer from;
    const auto awaitRequest = [&] {
        for (;;) {
            if (!platform::waitReadable(socket, 1000)) {
                continue;
            }
            const auto received = platform::receiveFrom(socket, buffer);
            if (received.ok() && !received.value().overlong && received.value().size == 4) {
                from = received.value().from;
                break;
            }
        }
        std::printf("request from %u.%u.%u.%u:%u\n", from.address[0], from.address[1],
                    from.address[2], from.address[3], from.port);
        std::fflush(stdout);
    };

    if (burst) {
        for (int request = 0; request < requests; ++request) {
            awaitRequest();
            for (const std::vector<std::uint8_t>& each : replies) {
                if (const auto sent = platform::sendTo(socket, each, from); !sent.ok()) {
                    return fail("send", sent.error());
                }
            }
            std::printf("sent %zu\n", replies.size());
            std::fflush(stdout);
        }
        return 0;
    }
    awaitRequest();
    if (mode == "broadcast") {
        const auto sent = platform::sendTo(socket, reply, {{255, 255, 255, 255}, from.port});
        return sent.ok() ? 0 : fail("send", sent.error());
    }
    for (;;) {
        if (const auto sent = platform::sendTo(socket, reply, from); !sent.ok()) {
            return fail("send", sent.error());
        }
        // The socket doubles as the clock: nothing else arrives on it.
        if (platform::waitReadable(socket, every)) {
            static_cast<void>(platform::receiveFrom(socket, buffer));
        }
    }
}
