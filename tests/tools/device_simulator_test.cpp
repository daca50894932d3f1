// SPDX-License-Identifier: MIT
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "discovery/device_table.h"
#include "discovery/wire.h"
#include "tests/tools/loopback_client.h"
#include "tools/device_simulator.h"

namespace nimbrel::tools {
namespace {

using namespace std::string_literals;
using std::chrono::milliseconds;
using testing::LoopbackClient;
using Bytes = std::vector<std::uint8_t>;

const Bytes Request(DiscoveryRequest.begin(), DiscoveryRequest.end());

Datagram received(const Bytes& datagram) {
    EXPECT_LE(datagram.size(), MaxDatagramSize) << "longer than the searching side reads";
    return datagram;
}

struct Walked {
    std::uint8_t type;
    Bytes value;
};

std::vector<Walked> walkedElements(const Bytes& datagram) {
    std::vector<Walked> elements;
    walkFieldElements(received(datagram), [&elements](const FieldElement& element) {
        elements.push_back({element.type, Bytes(element.value.begin(), element.value.end())});
    });
    return elements;
}

// ---- BuildReply ----------------------------------------------------------------------------

TEST(BuildReply, MakesOneElementPerFieldThatTheTableReadsBack) {
    const DeviceSpec device{"QZL-AP \xe9",
                            {198, 51, 100, 2},
                            {0x00, 0x1A, 0x2B, 0xC3, 0xD4, 0xFF},
                            "1.4.2",
                            "Caf\xe9 \"x\""};
    const Bytes reply = buildReply(device).value();
    ASSERT_TRUE(isDiscoveryReply(received(reply)));

    // The area is exactly the elements: the walk ends at the datagram's last byte.
    std::size_t walked = 4;
    std::vector<std::uint8_t> types;
    for (const Walked& element : walkedElements(reply)) {
        walked += 3 + element.value.size();
        types.push_back(element.type);
    }
    EXPECT_EQ(walked, reply.size());
    EXPECT_EQ(reply[3], reply.size() - 4);
    std::ranges::sort(types);
    EXPECT_EQ(types,
              (std::vector<std::uint8_t>{FieldAddress, FieldFirmware, FieldModel, FieldCopyText}));

    DeviceTable table;
    table.addReply(reply);
    ASSERT_EQ(table.recordCount(), 1);
    EXPECT_EQ(table.modelText(0), device.model);
    EXPECT_EQ(table.ipv4Address(0), device.ipv4);
    EXPECT_EQ(table.macAddress(0), device.mac);
    EXPECT_EQ(table.firmwareText(0), device.firmware);
    EXPECT_EQ(table.copyText(0), device.copy);
    // The address element is the MAC and the IPv4 address and nothing more.
    EXPECT_EQ(table.recordAt(0).slots[FieldAddress].length, 10);

    // Empty texts are sent as empty elements, a zero address as ten zero bytes.
    const std::vector<Walked> empty = walkedElements(buildReply({}).value());
    ASSERT_EQ(empty.size(), 4u);
    for (const Walked& element : empty) {
        SCOPED_TRACE("type " + std::to_string(element.type));
        EXPECT_EQ(element.value, element.type == FieldAddress ? Bytes(10, 0) : Bytes{});
    }
}

TEST(BuildReply, TakesTextsOfUpTo64BytesWithAnyByteValue) {
    DeviceSpec device;
    device.model = std::string(64, 'M');
    device.copy = "a\0b\xff"s;
    const Bytes reply = buildReply(device).value();
    DeviceTable table;
    table.addReply(reply);
    EXPECT_EQ(table.modelText(0), device.model);
    EXPECT_EQ(table.copyText(0), "a");  // a text ends at its first NUL...
    const auto& copy = table.recordAt(0).slots[FieldCopyText];
    EXPECT_EQ(copy.length, 4);  // ...but the bytes were all sent
    EXPECT_EQ(Bytes(copy.value.begin(), copy.value.begin() + 4), (Bytes{'a', 0, 'b', 0xFF}));

    for (std::string DeviceSpec::*text :
         {&DeviceSpec::model, &DeviceSpec::firmware, &DeviceSpec::copy}) {
        DeviceSpec tooLong;
        tooLong.*text = std::string(65, 'x');
        EXPECT_FALSE(buildReply(tooLong).ok());
    }
}

// ---- DeviceSimulator on loopback -------------------------------------------------------------

/// A simulator on 127.0.0.1 answering in a thread of its own until `requestLimit` requests are
/// answered (0: until it is destroyed).
class SimulatorThread {
public:
    SimulatorThread(std::vector<SimulatedReply> replies, int requestLimit)
        : simulator_(std::move(replies)) {
        const Result<> listening = simulator_.listen({{127, 0, 0, 1}, 0});
        EXPECT_TRUE(listening.ok()) << listening.error().message;
        thread_ =
            std::thread([this, requestLimit] { simulator_.runUntilAnswered(stop_, requestLimit); });
    }

    ~SimulatorThread() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    SimulatorThread(const SimulatorThread&) = delete;
    SimulatorThread& operator=(const SimulatorThread&) = delete;

    std::uint16_t port() const { return simulator_.local().port; }
    std::vector<ReceivedRequest> requests() const { return simulator_.requests(); }
    int repliesSent() const { return simulator_.repliesSent(); }

    /// Waits until the simulator returns on its own.
    void join() { thread_.join(); }

private:
    std::atomic<bool> stop_{false};
    DeviceSimulator simulator_;
    std::thread thread_;
};

// An address that is not this machine's is refused: DevsimProgram in programs_test.cpp.
TEST(DeviceSimulator, BindsToAPortOfItsOwnAndRefusesOneInUse) {
    DeviceSimulator first({});
    ASSERT_TRUE(first.listen({{127, 0, 0, 1}, 0}).ok());
    EXPECT_EQ(first.local().address, (Ipv4Bytes{127, 0, 0, 1}));
    EXPECT_NE(first.local().port, 0);
    DeviceSimulator second({});
    const Result<> inUse = second.listen(first.local());
    ASSERT_FALSE(inUse.ok()) << "bound to a port in use";
    EXPECT_EQ(inUse.error().code, 10048);
}

TEST(DeviceSimulator, AnswersTheRequestWithEveryReplyInOrderOfDelay) {
    const Bytes a = buildReply({"A", {10, 0, 0, 1}, {0, 0, 0, 0, 0, 1}, "1", "a"}).value();
    const Bytes b = buildReply({"B", {10, 0, 0, 2}, {0, 0, 0, 0, 0, 2}, "2", "b"}).value();
    const Bytes raw{0x01, 0x00, 0x00, 0x03, 0x0C, 0x7F};
    SimulatorThread simulator({{a, milliseconds{40}},
                               {b, milliseconds{0}},
                               {{}, milliseconds{0}},  // an empty datagram
                               {raw, milliseconds{15}},
                               {a, milliseconds{40}}},
                              1);

    LoopbackClient client;
    // Datagrams other than the exact request are logged but not answered.
    const Bytes longer{0x01, 0x00, 0x00, 0x00, 0x00};
    client.send(simulator.port(), longer);
    client.send(simulator.port(), {0x02});
    client.send(simulator.port(), Request);

    for (const Bytes& expected : {b, Bytes{}, raw, a, a}) {
        EXPECT_EQ(client.receive(), expected);
    }
    simulator.join();  // one request answered: it returns by itself
    EXPECT_EQ(simulator.repliesSent(), 5);

    const std::vector<ReceivedRequest> requests = simulator.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].bytes, longer);
    EXPECT_EQ(requests[1].bytes, Bytes{0x02});
    EXPECT_EQ(requests[2].bytes, Request);
    for (const ReceivedRequest& request : requests) {
        EXPECT_EQ(request.from.address, client.local().address);
        EXPECT_EQ(request.from.port, client.local().port);
    }
}

TEST(DeviceSimulator, AnswersEachRequesterAtItsOwnPort) {
    const Bytes reply = buildReply({"AP", {10, 0, 0, 9}, {}, "", ""}).value();
    SimulatorThread simulator({{reply, milliseconds{0}}}, 2);
    LoopbackClient first;
    LoopbackClient second;
    first.send(simulator.port(), Request);
    EXPECT_EQ(first.receive(), reply);
    second.send(simulator.port(), Request);
    EXPECT_EQ(second.receive(), reply);
    simulator.join();
}

TEST(DeviceSimulator, DropsTheOldestWaitingRepliesPastItsQueueAndSaysSoOnce) {
    std::atomic<bool> stop{false};
    // Replies due long after the test has ended: all of them still wait when it looks.
    DeviceSimulator simulator({{Request, milliseconds{60'000}}}, 2);
    ASSERT_TRUE(simulator.listen({{127, 0, 0, 1}, 0}).ok());
    std::mutex mutex;
    std::condition_variable changed;
    bool markerSeen = false;
    int queueFullCalls = 0;
    const Bytes marker{0x7E};
    simulator.setReceiveObserver([&](const ReceivedRequest& request) {
        const std::lock_guard lock(mutex);
        markerSeen = markerSeen || request.bytes == marker;
        changed.notify_all();
    });
    simulator.setQueueFullObserver([&] {
        const std::lock_guard lock(mutex);
        ++queueFullCalls;
    });
    std::thread running([&] { simulator.run(stop); });

    LoopbackClient client;
    for (int n = 0; n < 5; ++n) {
        client.send(simulator.local().port, Request);
    }
    // Datagrams are handled one at a time in order: once the marker is seen, the five requests
    // have been answered or dropped.
    client.send(simulator.local().port, marker);
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds{10}, [&] { return markerSeen; }));
    }
    EXPECT_EQ(simulator.repliesDropped(), 3);
    EXPECT_EQ(simulator.repliesSent(), 0);
    stop = true;
    running.join();
    EXPECT_EQ(queueFullCalls, 1);
}

TEST(DeviceSimulator, LogsButDoesNotAnswerRequestsPastItsLimit) {
    // The reply waits long enough for the second request to arrive while the first's is due.
    SimulatorThread simulator({{Request, milliseconds{1000}}}, 1);
    LoopbackClient client;
    client.send(simulator.port(), Request);
    client.send(simulator.port(), Request);
    EXPECT_EQ(client.receive(), Request);
    simulator.join();  // returns once the one answered request's reply has gone
    EXPECT_EQ(simulator.repliesSent(), 1);
    EXPECT_EQ(simulator.requests().size(), 2u);
    EXPECT_FALSE(client.waiting());
}

/// Sends `payload` to 127.0.0.1:`to` from UDP port `from` through a raw socket, so that it
/// seems to come from whatever socket holds that port.
void sendFromPort(std::uint16_t from, std::uint16_t to, const Bytes& payload) {
    const int raw = socket(AF_INET, SOCK_RAW, IPPROTO_UDP);
    ASSERT_GE(raw, 0) << "a raw socket needs CAP_NET_RAW";
    Bytes datagram{static_cast<std::uint8_t>(from >> 8),
                   static_cast<std::uint8_t>(from & 0xFF),
                   static_cast<std::uint8_t>(to >> 8),
                   static_cast<std::uint8_t>(to & 0xFF),
                   0,
                   static_cast<std::uint8_t>(8 + payload.size()),
                   0,
                   0};  // no checksum
    datagram.insert(datagram.end(), payload.begin(), payload.end());
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const auto* target = reinterpret_cast<const sockaddr*>(&address);
    EXPECT_EQ(sendto(raw, datagram.data(), datagram.size(), 0, target, sizeof(address)),
              static_cast<ssize_t>(datagram.size()));
    close(raw);
}

TEST(DeviceSimulator, NeverAnswersADatagramFromItsOwnAddressAndPort) {
    // A reply that reads as a request: answered to itself, it would be answered again forever.
    for (const Ipv4Bytes listen : {Ipv4Bytes{127, 0, 0, 1}, Ipv4Bytes{0, 0, 0, 0}}) {
        SCOPED_TRACE(formatIpv4(listen));
        std::atomic<bool> stop{false};
        DeviceSimulator simulator({{Request, milliseconds{0}}});
        ASSERT_TRUE(simulator.listen({listen, 0}).ok());
        std::thread running([&] { simulator.run(stop); });
        const std::uint16_t port = simulator.local().port;
        sendFromPort(port, port, Request);
        // A request from elsewhere is answered, and comes after the first one in the log.
        LoopbackClient client;
        client.send(port, Request);
        EXPECT_EQ(client.receive(), Request);
        stop = true;
        running.join();
        const std::vector<ReceivedRequest> requests = simulator.requests();
        ASSERT_EQ(requests.size(), 2u);
        EXPECT_EQ(requests[0].from, (Peer{{127, 0, 0, 1}, port}));
        EXPECT_EQ(simulator.repliesSent(), 1);
    }
}

}  // namespace
}  // namespace nimbrel::tools
