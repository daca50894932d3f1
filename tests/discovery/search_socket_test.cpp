// SPDX-License-Identifier: MIT
// The real socket over 127.0.0.1: what the fake socket stands in for must hold here.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
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
        platform::StartSocketLibrary();
        int error = 0;
        socket_ = platform::OpenDatagramSocket(error);
        EXPECT_EQ(platform::BindSocket(socket_, {{127, 0, 0, 1}, 0}), 0);
        EXPECT_EQ(platform::LocalName(socket_, local_), 0);
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
        int received = 0;
        EXPECT_EQ(platform::ReceiveFrom(socket_, buffer, received, &from), 0);
        buffer.resize(static_cast<std::size_t>(received));
        return buffer;
    }

    void SendTo(const Bytes& bytes, const Peer& to) {
        int sent = 0;
        EXPECT_EQ(platform::SendTo(socket_, bytes, to, sent), 0);
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
    ASSERT_TRUE(socket.Reopen({127, 0, 0, 1}).ok());
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
    const Result<> status = socket.Reopen({192, 0, 2, 77});
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().code, 10049);
    EXPECT_EQ(status.error().message, "Socket Error # 10049\r\nCannot assign requested address.");
}

TEST(UdpSearchSocket, OneSearchOnTwoPathsSendsOnEachAndTellsTheirRepliesApart) {
    Peer127 device;
    UdpSearchSocket first;
    ASSERT_TRUE(first.Open().ok());
    const SteadyClock clock;
    Search search(first, clock, {}, {std::chrono::milliseconds{50}, std::chrono::milliseconds{300}},
                  DeviceTable::DefaultCapacity, device.Local());
    search.SetPaths(
        [] {
            return std::vector<SearchPath>{{{127, 0, 0, 1}, "one"}, {{127, 0, 0, 1}, "two"}};
        },
        [] { return std::make_unique<UdpSearchSocket>(); });
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

TEST(LocalInterfaces, ListNoLoopbackAndTheirSubnetBroadcast) {
    for (const platform::LocalInterface& interface : platform::LocalInterfaces()) {
        EXPECT_FALSE(interface.name.empty());
        EXPECT_NE(interface.address[0], 127) << interface.name;
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(interface.broadcast[i],
                      static_cast<std::uint8_t>(interface.address[i] | ~interface.netmask[i]))
                << interface.name;
        }
    }
}

}  // namespace
}  // namespace nimbrel
