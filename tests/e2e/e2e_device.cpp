// SPDX-License-Identifier: MIT
// A device that misbehaves on purpose, for the end-to-end test: it answers the first discovery
// request by broadcast, or with a stream of replies that never stops.
//   e2e_device broadcast HEX        answer to 255.255.255.255 at the request's source port
//   e2e_device stream HEX MS        answer to the request's source every MS until killed
// It prints "request from A.B.C.D:PORT" when the request arrives.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "discovery/socket_platform.h"
#include "discovery/wire.h"

namespace {

using namespace nimbrel;

std::vector<std::uint8_t> FromHex(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

int Fail(const char* what, const Error& error) {
    std::fprintf(stderr, "e2e_device: %s failed (%d)\n", what, error.code);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: e2e_device broadcast HEX | stream HEX MS\n", stderr);
        return 2;
    }
    const std::string mode = argv[1];
    const std::vector<std::uint8_t> reply = FromHex(argv[2]);
    const int every = argc > 3 ? std::atoi(argv[3]) : 100;

    static_cast<void>(platform::StartSocketLibrary());
    const Result<platform::SocketHandle> opened = platform::OpenDatagramSocket();
    if (!opened.ok()) {
        return Fail("socket", opened.error());
    }
    const platform::SocketHandle socket = opened.value();
    if (Result<> done = platform::EnableBroadcast(socket); !done.ok()) {
        return Fail("broadcast permission", done.error());
    }
    if (Result<> done = platform::BindSocket(socket, {{0, 0, 0, 0}, DiscoveryPort}); !done.ok()) {
        return Fail("bind", done.error());
    }
    std::puts("listening");
    std::fflush(stdout);

    std::vector<std::uint8_t> buffer(512);
    Peer from;
    for (;;) {
        if (!platform::WaitReadable(socket, 1000)) {
            continue;
        }
        const auto received = platform::ReceiveFrom(socket, buffer);
        if (received.ok() && !received.value().overlong && received.value().size == 4) {
            from = received.value().from;
            break;
        }
    }
    std::printf("request from %u.%u.%u.%u:%u\n", from.address[0], from.address[1], from.address[2],
                from.address[3], from.port);
    std::fflush(stdout);

    if (mode == "broadcast") {
        const auto sent = platform::SendTo(socket, reply, {{255, 255, 255, 255}, from.port});
        return sent.ok() ? 0 : Fail("send", sent.error());
    }
    for (;;) {
        if (const auto sent = platform::SendTo(socket, reply, from); !sent.ok()) {
            return Fail("send", sent.error());
        }
        // The socket doubles as the clock: nothing else arrives on it.
        if (platform::WaitReadable(socket, every)) {
            static_cast<void>(platform::ReceiveFrom(socket, buffer));
        }
    }
}
