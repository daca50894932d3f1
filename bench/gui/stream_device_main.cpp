// SPDX-License-Identifier: MIT
// bench_stream_device: the never-ending device for the launch figures of the real program.
// Listens on the discovery port of every address of its network namespace and, from the first
// request on, sends the 11 devices' replies and datagrams that are no reply, 5,000 a second,
// until SIGTERM or SIGINT. Only ever run in a namespace of its own (bench/run.sh does).
//   bench_stream_device        prints "listening" once it listens, "sent=N" when it ends
#include <csignal>
#include <cstdio>

#include "bench/gui/streaming_device.h"
#include "bench/gui/window_under_test.h"
#include "discovery/wire.h"
#include "tests/support/private_network.h"

int main() {
    if (!nimbrel::testing::inPrivateNetwork()) {
        std::fputs(
            "bench_stream_device: this network namespace has interfaces besides loopback; "
            "run it only in one of its own (bench/run.sh does)\n",
            stderr);
        return 2;
    }
    sigset_t ending;
    sigemptyset(&ending);
    sigaddset(&ending, SIGTERM);
    sigaddset(&ending, SIGINT);
    // Blocked before the sending thread starts, so that only sigwait below takes them.
    pthread_sigmask(SIG_BLOCK, &ending, nullptr);

    nimbrel::bench::Replies datagrams = nimbrel::bench::devices(11);
    datagrams.insert(datagrams.begin() + 4, std::vector<std::uint8_t>{0x01, 0x00});
    datagrams.push_back(std::vector<std::uint8_t>(40, 0xA5));
    constexpr int PerSecond = 5000;
    const nimbrel::bench::StreamingDevice device(
        std::move(datagrams), PerSecond, nimbrel::Peer{{0, 0, 0, 0}, nimbrel::DiscoveryPort});
    std::puts("listening");
    std::fflush(stdout);
    int signal = 0;
    sigwait(&ending, &signal);
    std::printf("sent=%ld\n", device.sent());
    return 0;
}
