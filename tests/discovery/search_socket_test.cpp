// SPDX-License-Identifier: MIT
// The real socket over 127.0.0.1: what the fake socket stands in for must hold here.
#include <gtest/gtest.h>
#ifdef __linux__
#include <net/if.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "discovery/search.h"
#include "discovery/search_loop.h"
#include "discovery/search_socket.h"
#include "discovery/wire.h"
#include "tests/tools/loopback_client.h"

namespace nimbrel {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::LoopbackClient;  // plays the device

Received receiveWaiting(UdpSearchSocket& socket, std::span<std::uint8_t> buffer) {
    EXPECT_TRUE(platform::waitReadable(socket.handle(), 2000));
    return socket.receive(buffer);
}

TEST(UdpSearchSocket, SendsFromItsAddressAndReadsWholeDatagramsWithoutWaiting) {
    UdpSearchSocket socket;
    ASSERT_TRUE(socket.open().ok());
    ASSERT_TRUE(socket.reopen({127, 0, 0, 1}, 0).ok());
    EXPECT_NE(socket.bound().port, 0);

    LoopbackClient device;
    ASSERT_TRUE(socket.send(DiscoveryRequest, device.local()).ok());
    EXPECT_EQ(device.receive(), (Bytes{0x01, 0x00, 0x00, 0x00}));
    EXPECT_EQ(device.lastSender(), (Peer{{127, 0, 0, 1}, socket.bound().port}));

    ReceiveBuffer buffer{};
    EXPECT_EQ(socket.receive(buffer).kind, Received::Kind::Nothing);  // never blocks

    const Bytes longest(MaxDatagramSize, 0x01);
    device.send(socket.bound().port, longest);
    const Received whole = receiveWaiting(socket, buffer);
    EXPECT_EQ(whole.kind, Received::Kind::Read);
    EXPECT_EQ(whole.size, 201);
    EXPECT_EQ(whole.from, device.local());

    // One byte more: dropped unread, and the next datagram is read as it is.
    device.send(socket.bound().port, Bytes(MaxDatagramSize + 1, 0x01));
    device.send(socket.bound().port, {0x01, 0x00, 0x00, 0x00});
    EXPECT_EQ(receiveWaiting(socket, buffer).kind, Received::Kind::Overlong);
    const Received next = receiveWaiting(socket, buffer);
    EXPECT_EQ(next.kind, Received::Kind::Read);
    EXPECT_EQ(next.size, 4);
}

TEST(UdpSearchSocket, BindingToAnAddressThatIsNotOursFailsWithItsCode) {
    UdpSearchSocket socket;
    ASSERT_TRUE(socket.open().ok());
    const Result<> status = socket.reopen({192, 0, 2, 77}, 0);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().code, 10049);
    EXPECT_EQ(status.error().message, "Socket Error # 10049\r\nCannot assign requested address.");
}

#ifdef __linux__
TEST(UdpSearchSocket, AsksForRoomForABurstAndCountsWhatTheSystemDropped) {
    UdpSearchSocket large;
    ASSERT_TRUE(large.open().ok());
    // Linux reports twice what it holds for datagrams; without CAP_NET_ADMIN it grants at most
    // net.core.rmem_max.
    if (geteuid() == 0) {
        EXPECT_EQ(large.receiveBufferBytes(), 2 * UdpSearchSocket::DefaultReceiveBufferBytes);
    } else {
        EXPECT_GT(large.receiveBufferBytes(), 0);
    }

    UdpSearchSocket small(4096);
    ASSERT_TRUE(small.reopen({127, 0, 0, 1}, 0).ok());
    EXPECT_LT(small.receiveBufferBytes(), 2 * 212992);
    EXPECT_EQ(small.droppedDatagrams(), std::optional<std::uint32_t>(0));
    LoopbackClient device;
    const Bytes reply{0x01, 0x00, 0x00, 0x00};
    for (int i = 0; i < 200; ++i) {
        device.send(small.bound().port, reply);
    }
    ASSERT_TRUE(platform::waitReadable(small.handle(), 2000));
    const std::optional<std::uint32_t> dropped = small.droppedDatagrams();
    ASSERT_TRUE(dropped.has_value());
    EXPECT_GT(*dropped, 100u);
    ReceiveBuffer buffer{};
    int read = 0;
    while (small.receive(buffer).kind == Received::Kind::Read) {
        ++read;
    }
    EXPECT_EQ(read + static_cast<int>(*dropped), 200);
    device.send(small.bound().port, reply);  // the next datagram tells the count too
    const Received next = receiveWaiting(small, buffer);
    EXPECT_EQ(next.dropsBefore, dropped);
    EXPECT_EQ(next.interfaceIndex, if_nametoindex("lo"));
}
#endif

TEST(UdpSearchSocket, OneSearchOnTwoPathsSendsOnEachAndTellsTheirRepliesApart) {
    LoopbackClient device;
    const SteadyClock clock;
    Search search(
        clock,
        [] {
            return std::vector<SearchPath>{{{127, 0, 0, 1}, "one"}, {{127, 0, 0, 1}, "two"}};
        },
        [] { return std::make_unique<UdpSearchSocket>(); },
        {std::chrono::milliseconds{50}, std::chrono::milliseconds{300}},
        DeviceTable::DefaultCapacity, device.local());
    std::vector<DeviceView> found;
    SearchEvents events;
    events.finished = [&](const SearchResult& result) { found = result.devices; };
    search.setEvents(std::move(events));
    ASSERT_EQ(search.start(), Search::StartOutcome::Started);

    const Bytes reply{0x01, 0x00, 0x00, 0x03, FieldModel, 0x00, 0x00};
    for (int request = 0; request < 2; ++request) {
        EXPECT_EQ(device.receive(), (Bytes{0x01, 0x00, 0x00, 0x00}));
        device.send(device.lastSender().port, reply);
    }
    runSearchToEnd(search, clock, std::chrono::milliseconds{50}, {});
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].interfaceName, "one");
    EXPECT_EQ(found[1].interfaceName, "two");
}

}  // namespace
}  // namespace nimbrel
