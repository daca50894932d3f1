#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "discovery/endpoint.h"
#include "discovery/failure.h"

namespace nimbrel {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

EndpointSettings Loopback(std::uint16_t port, milliseconds timeout, milliseconds slice) {
    return {"127.0.0.1", port, timeout, slice};
}

/// An endpoint bound to 127.0.0.1 and a system-chosen port, to receive on.
class BoundEndpoint {
public:
    BoundEndpoint(milliseconds timeout, milliseconds slice)
        : endpoint(Loopback(9, timeout, slice)) {
        endpoint.SetLocalAddress("127.0.0.1");
        endpoint.BindEndpoint();
    }
    std::uint16_t Port() const { return endpoint.Bound().port; }

    UdpEndpoint endpoint;
};

/// Sends datagrams to `port` on 127.0.0.1 from an endpoint of its own.
void SendTo(std::uint16_t port, const std::vector<std::uint8_t>& bytes) {
    UdpEndpoint sender(Loopback(port, milliseconds{0}, milliseconds{0}));
    sender.SetLocalAddress("127.0.0.1");
    sender.BindEndpoint();
    sender.SendDatagram(bytes);
}

TEST(UdpEndpoint, OpensUnboundAndBindsToItsLocalAddress) {
    UdpEndpoint endpoint(Loopback(10001, milliseconds{1500}, milliseconds{250}));
    EXPECT_TRUE(endpoint.IsOpen());
    EXPECT_EQ(endpoint.Bound().port, 0);
    endpoint.SetLocalAddress("127.0.0.1");
    endpoint.BindEndpoint();
    EXPECT_EQ(endpoint.Bound().address, (Ipv4Bytes{127, 0, 0, 1}));
    EXPECT_NE(endpoint.Bound().port, 0);

    endpoint.CloseEndpoint();
    EXPECT_FALSE(endpoint.IsOpen());
    endpoint.CloseEndpoint();  // closing twice does nothing
    endpoint.OpenEndpoint();
    EXPECT_TRUE(endpoint.IsOpen());
}

TEST(UdpEndpoint, BindFailuresRaiseTheirSocketError) {
    UdpEndpoint endpoint(Loopback(10001, milliseconds{1500}, milliseconds{250}));
    endpoint.SetLocalAddress("198.51.100.77");  // not an address of this machine
    try {
        endpoint.BindEndpoint();
        FAIL() << "bound to a foreign address";
    } catch (const SocketError& error) {
        EXPECT_EQ(error.Code(), 10049);
        EXPECT_STREQ(error.what(), "Socket Error # 10049\r\nCannot assign requested address.");
    }
}

TEST(UdpEndpoint, SendsAndReceivesWholeDatagrams) {
    BoundEndpoint receiver(milliseconds{1000}, milliseconds{100});
    SendTo(receiver.Port(), {0x01, 0x00, 0x00, 0x00});
    SendTo(receiver.Port(), std::vector<std::uint8_t>(201, 0x5A));
    SendTo(receiver.Port(), {0x07});
    SendTo(receiver.Port(), std::vector<std::uint8_t>(202, 0x66));
    SendTo(receiver.Port(), {});
    SendTo(receiver.Port(), {0x08});

    int passes = 0;
    const auto count = [&passes] { ++passes; };
    ReceiveBuffer buffer{};
    EXPECT_EQ(receiver.endpoint.ReceiveDatagram(buffer, count), 4);
    EXPECT_EQ(buffer[0], 0x01);
    EXPECT_EQ(receiver.endpoint.ReceiveDatagram(buffer, count), 201);
    EXPECT_EQ(buffer[200], 0x5A);
    EXPECT_EQ(receiver.endpoint.ReceiveDatagram(buffer, count), 1);
    EXPECT_EQ(buffer[0], 0x07);
    EXPECT_EQ(buffer[1], 0x5A);  // a short datagram overwrites only its own bytes
    try {
        receiver.endpoint.ReceiveDatagram(buffer, count);
        FAIL() << "an over-long datagram was read";
    } catch (const SocketError& error) {
        EXPECT_EQ(error.Code(), 10040);
        EXPECT_STREQ(error.what(), "Socket Error # 10040\r\nMessage too long.");
    }
    // The over-long datagram is lost; the empty one reads as length 0, like a time-out.
    EXPECT_EQ(receiver.endpoint.ReceiveDatagram(buffer, count), 0);
    EXPECT_EQ(receiver.endpoint.ReceiveDatagram(buffer, count), 1);
    EXPECT_EQ(buffer[0], 0x08);
    EXPECT_EQ(passes, 0);  // nothing waited, so no event pass ran
}

TEST(UdpEndpoint, SlicedWaitRunsTheEventPassAfterEverySlice) {
    BoundEndpoint receiver(milliseconds{1000}, milliseconds{100});
    std::vector<Clock::time_point> passes;
    ReceiveBuffer buffer{};
    const auto start = Clock::now();
    EXPECT_EQ(receiver.endpoint.ReceiveDatagram(buffer, [&] { passes.push_back(Clock::now()); }),
              0);
    const auto elapsed = Clock::now() - start;

    ASSERT_EQ(passes.size(), 10u);
    EXPECT_GE(elapsed, milliseconds{990});
    EXPECT_LT(elapsed, milliseconds{3000});
    auto previous = start;
    for (const auto pass : passes) {
        EXPECT_GE(pass - previous, milliseconds{90});
        EXPECT_LT(pass - previous, milliseconds{600});
        previous = pass;
    }
}

TEST(UdpEndpoint, SlicedWaitTakesTheOddRemainderFirst) {
    // 1050 ms in slices of 250: 50, then four whole slices.
    BoundEndpoint receiver(milliseconds{1050}, milliseconds{250});
    std::vector<Clock::time_point> passes;
    ReceiveBuffer buffer{};
    const auto start = Clock::now();
    receiver.endpoint.ReceiveDatagram(buffer, [&] { passes.push_back(Clock::now()); });
    ASSERT_EQ(passes.size(), 5u);
    EXPECT_LT(passes[0] - start, milliseconds{200});
    EXPECT_GE(passes[1] - passes[0], milliseconds{240});
}

TEST(UdpEndpoint, ADatagramArrivingDuringTheWaitEndsIt) {
    BoundEndpoint receiver(milliseconds{1500}, milliseconds{250});
    std::vector<std::uint8_t> reply{0x01, 0x00, 0x00, 0x00};
    int passes = 0;
    ReceiveBuffer buffer{};
    // The second event pass sends the datagram; the next slice then ends ready.
    const int length = receiver.endpoint.ReceiveDatagram(buffer, [&] {
        if (++passes == 2) {
            SendTo(receiver.Port(), reply);
        }
    });
    EXPECT_EQ(length, 4);
    EXPECT_EQ(passes, 2);
}

}  // namespace
}  // namespace nimbrel
