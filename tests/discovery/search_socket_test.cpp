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

namespace nimbrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

/// A plain socket on 127.0.0.1 that plays the device.
class Peer127 {
public:
    Peer127() {
        EXPECT_TRUE(platform::StartSocketLibrary().ok());
        socket_ = platform::OpenDatagramSocket().value();
        EXPECT_TRUE(platform::BindSocket(socket_, {{127, 0, 0, 1}, 0}).ok());
        local_ = platform::LocalName(socket_).value();
    }
    ~Peer127() {
        platform::CloseSocket(socket_);
        platform::StopSocketLibrary();
    }
    Peer127(const Peer127&) = delete;
    Peer127& operator=(const Peer127&) = delete;

    const Peer& Local() const { return local_; }

    Bytes ReceiveOne(Peer& from) {
        EXPECT_TRUE(platform::WaitReadable(socket_, 2000));
        Bytes buffer(512);
        const Result<platform::ReceivedDatagram> received = platform::ReceiveFrom(socket_, buffer);
        if (!received.ok()) {
            ADD_FAILURE() << received.error().message;
            return {};
        }
        from = received.value().from;
        buffer.resize(static_cast<std::size_t>(received.value().size));
        return buffer;
    }

    void SendTo(const Bytes& bytes, const Peer& to) {
        const Result<int> sent = platform::SendTo(socket_, bytes, to);
        ASSERT_TRUE(sent.ok());
        EXPECT_EQ(sent.value(), static_cast<int>(bytes.size()));
    }

private:
    platform::SocketHandle socket_ = platform::NoSocket;
    Peer local_;
};

Received ReceiveWaiting(UdpSearchSocket& socket, std::span<std::uint8_t> buffer) {
    EXPECT_TRUE(platform::WaitReadable(socket.Handle(), 2000));
    return socket.Receive(buffer);
}

TEST(UdpSearchSocket, SendsFromItsAddressAndReadsWholeDatagramsWithoutWaiting) {
    UdpSearchSocket socket;
    ASSERT_TRUE(socket.Open().ok());
    ASSERT_TRUE(socket.Reopen({127, 0, 0, 1}, 0).ok());
    EXPECT_NE(socket.Bound().port, 0);

    Peer127 device;
    ASSERT_TRUE(socket.Send(DiscoveryRequest, device.Local()).ok());
    Peer from;
    EXPECT_EQ(device.ReceiveOne(from), (Bytes{0x01, 0x00, 0x00, 0x00}));
    EXPECT_EQ(from.address, (Ipv4Bytes{127, 0, 0, 1}));
    EXPECT_EQ(from.port, socket.Bound().port);

    ReceiveBuffer buffer{};
    EXPECT_EQ(socket.Receive(buffer).kind, Received::Kind::Nothing);  // never blocks

    const Bytes longest(MaxDatagramSize, 0x01);
    device.SendTo(longest, from);
    const Received whole = ReceiveWaiting(socket, buffer);
    EXPECT_EQ(whole.kind, Received::Kind::Read);
    EXPECT_EQ(whole.size, 201);
    EXPECT_EQ(whole.from, device.Local());

    // One byte more: dropped unread, and the next datagram is read as it is.
    device.SendTo(Bytes(MaxDatagramSize + 1, 0x01), from);
    device.SendTo({0x01, 0x00, 0x00, 0x00}, from);
    EXPECT_EQ(ReceiveWaiting(socket, buffer).kind, Received::Kind::Overlong);
    const Received next = ReceiveWaiting(socket, buffer);
    EXPECT_EQ(next.kind, Received::Kind::Read);
    EXPECT_EQ(next.size, 4);
}

TEST(UdpSearchSocket, BindingToAnAddressThatIsNotOursFailsWithItsCode) {
    UdpSearchSocket socket;
    ASSERT_TRUE(socket.Open().ok());
    const Result<> status = socket.Reopen({192, 0, 2, 77}, 0);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().code, 10049);
    EXPECT_EQ(status.error().message, "Socket Error # 10049\r\nCannot assign requested address.");
}

#ifdef __linux__
TEST(UdpSearchSocket, AsksForRoomForABurstAndCountsWhatTheSystemDropped) {
    UdpSearchSocket large;
    ASSERT_TRUE(large.Open().ok());
    // Linux reports twice what it holds for datagrams; without CAP_NET_ADMIN it grants at most
    // net.core.rmem_max.
    if (geteuid() == 0) {
        EXPECT_EQ(large.ReceiveBufferBytes(), 2 * UdpSearchSocket::DefaultReceiveBufferBytes);
    } else {
        EXPECT_GT(large.ReceiveBufferBytes(), 0);
    }

    UdpSearchSocket small(4096);
    ASSERT_TRUE(small.Reopen({127, 0, 0, 1}, 0).ok());
    EXPECT_LT(small.ReceiveBufferBytes(), 2 * 212992);
    EXPECT_EQ(small.DroppedDatagrams(), std::optional<std::uint32_t>(0));
    Peer127 device;
    const Bytes reply{0x01, 0x00, 0x00, 0x00};
    for (int i = 0; i < 200; ++i) {
        device.SendTo(reply, small.Bound());
    }
    ASSERT_TRUE(platform::WaitReadable(small.Handle(), 2000));
    const std::optional<std::uint32_t> dropped = small.DroppedDatagrams();
    ASSERT_TRUE(dropped.has_value());
    EXPECT_GT(*dropped, 100u);
    ReceiveBuffer buffer{};
    int read = 0;
    while (small.Receive(buffer).kind == Received::Kind::Read) {
        ++read;
    }
    EXPECT_EQ(read + static_cast<int>(*dropped), 200);
    device.SendTo(reply, small.Bound());  // the next datagram tells the count too
    const Received next = ReceiveWaiting(small, buffer);
    EXPECT_EQ(next.dropsBefore, dropped);
    EXPECT_EQ(next.interfaceIndex, if_nametoindex("lo"));
}
#endif

TEST(UdpSearchSocket, OneSearchOnTwoPathsSendsOnEachAndTellsTheirRepliesApart) {
    Peer127 device;
    const SteadyClock clock;
    Search search(
        clock,
        [] {
            return std::vector<SearchPath>{{{127, 0, 0, 1}, "one"}, {{127, 0, 0, 1}, "two"}};
        },
        [] { return std::make_unique<UdpSearchSocket>(); },
        {std::chrono::milliseconds{50}, std::chrono::milliseconds{300}},
        DeviceTable::DefaultCapacity, device.Local());
    std::vector<DeviceView> found;
    SearchEvents events;
    events.finished = [&](const SearchResult& result) { found = result.devices; };
    search.SetEvents(std::move(events));
    ASSERT_EQ(search.Start(), Search::StartOutcome::Started);

    const Bytes reply{0x01, 0x00, 0x00, 0x03, FieldModel, 0x00, 0x00};
    Peer from;
    for (int request = 0; request < 2; ++request) {
        EXPECT_EQ(device.ReceiveOne(from), (Bytes{0x01, 0x00, 0x00, 0x00}));
        device.SendTo(reply, from);
    }
    RunSearchToEnd(search, clock, std::chrono::milliseconds{50}, {});
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].interfaceName, "one");
    EXPECT_EQ(found[1].interfaceName, "two");
}

}  // namespace
}  // namespace nimbrel
