#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "discovery/failure.h"
#include "discovery/search_cycle.h"
#include "tests/discovery/running_simulator.h"
#include "tools/device_simulator.h"

namespace nimbrel {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using testing::RunningSimulator;
using tools::SimulatedReply;
using Bytes = std::vector<std::uint8_t>;

struct Timing {
    milliseconds pause;
    milliseconds receiveTimeout;
    milliseconds slice;
};

// Most cases run on shortened timings; the ones about the timings themselves use the real ones.
constexpr Timing Short{milliseconds{50}, milliseconds{300}, milliseconds{50}};
constexpr Timing Real{milliseconds{1000}, milliseconds{1500}, milliseconds{250}};

Bytes Device(std::uint8_t id) {
    return tools::BuildReply({"AP-" + std::to_string(id),
                              {10, 0, 0, id},
                              {0x00, 0x1A, 0x2B, 0x3C, 0x4D, id},
                              "1." + std::to_string(id),
                              "copy " + std::to_string(id)});
}

/// One search against the simulator, with every hook call logged.
class Search {
public:
    explicit Search(std::vector<SimulatedReply> replies, Timing timing = Short)
        : simulator(std::move(replies)),
          endpoint(
              EndpointSettings{"127.0.0.1", simulator.Port(), timing.receiveTimeout, timing.slice}),
          cycle(
              *table, endpoint, Hooks(), [this] { return lookup(); }, timing.pause) {}

    /// Runs the search and returns how long it took.
    milliseconds TimedRun() {
        const auto start = Clock::now();
        EXPECT_TRUE(cycle.Run());
        return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    }

    std::vector<std::string> CallsWithoutEventPasses() const {
        std::vector<std::string> rest;
        std::copy_if(calls.begin(), calls.end(), std::back_inserter(rest),
                     [](const std::string& call) { return call != "eventPass"; });
        return rest;
    }

    int EventPasses() const {
        return static_cast<int>(std::count(calls.begin(), calls.end(), "eventPass"));
    }

    RunningSimulator simulator;
    std::unique_ptr<DeviceTable> table = std::make_unique<DeviceTable>();
    UdpEndpoint endpoint;
    std::function<std::optional<std::string>()> lookup = [] { return "127.0.0.1"; };
    std::function<void()> onEventPass;
    std::vector<std::string> calls;
    std::vector<int> countAtEventPass;
    std::size_t requestsAtStart = 0;
    int filledCount = -1;
    SearchCycle cycle;

private:
    SearchHooks Hooks() {
        return {[this] {
                    calls.push_back("eventPass");
                    countAtEventPass.push_back(table->RecordCount());
                    if (onEventPass) {
                        onEventPass();
                    }
                },
                [this] {
                    calls.push_back("startAnimation");
                    requestsAtStart = simulator.Requests().size();
                },
                [this] { calls.push_back("stopAnimation"); },
                [this](const DeviceTable& filled, int count) {
                    calls.push_back("fillServerList");
                    EXPECT_EQ(&filled, table.get());
                    filledCount = count;
                }};
    }
};

const std::vector<std::string> CompleteSearch{"startAnimation", "fillServerList", "stopAnimation"};

TEST(SearchCycle, FindsDevicesInOrderOfTheirFirstReplyAndDropsDuplicates) {
    Search search({{Device(1), milliseconds{0}},
                   {Device(2), milliseconds{10}},
                   {Device(1), milliseconds{20}},
                   {Device(3), milliseconds{30}},
                   {Device(4), milliseconds{350}}},
                  {milliseconds{200}, milliseconds{300}, milliseconds{50}});
    search.TimedRun();

    const DeviceTable& table = *search.table;
    ASSERT_EQ(table.RecordCount(), 4);
    EXPECT_EQ(search.filledCount, 4);
    for (int record = 0; record < 4; ++record) {
        const auto id = static_cast<std::uint8_t>(record + 1);
        EXPECT_EQ(table.ModelText(record), "AP-" + std::to_string(id));
        EXPECT_EQ(table.Ipv4Address(record), (Ipv4Bytes{10, 0, 0, id}));
        EXPECT_EQ(table.MacAddress(record), (MacBytes{0x00, 0x1A, 0x2B, 0x3C, 0x4D, id}));
        EXPECT_EQ(table.FirmwareText(record), "1." + std::to_string(id));
        EXPECT_EQ(table.CopyText(record), "copy " + std::to_string(id));
    }
    // The replies that queued up during the pause were all read before the first event pass.
    ASSERT_FALSE(search.countAtEventPass.empty());
    EXPECT_EQ(search.countAtEventPass.front(), 3);
}

TEST(SearchCycle, SendsOneRequestBetweenTheAnimationHooks) {
    Search search({{Device(1), milliseconds{0}}});
    search.TimedRun();

    EXPECT_EQ(search.CallsWithoutEventPasses(), CompleteSearch);
    EXPECT_GE(search.EventPasses(), 1);
    EXPECT_EQ(search.requestsAtStart, 0u);  // the animation starts before the request leaves
    const auto requests = search.simulator.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].bytes, (Bytes{0x01, 0x00, 0x00, 0x00}));
    EXPECT_EQ(requests[0].from.address, (Ipv4Bytes{127, 0, 0, 1}));
    EXPECT_EQ(requests[0].from.port, search.endpoint.Bound().port);
    EXPECT_EQ(search.table->RecordCount(), 1);
    // The socket stays open and bound after the search.
    EXPECT_TRUE(search.endpoint.IsOpen());
    EXPECT_FALSE(search.cycle.Running());
}

TEST(SearchCycle, ARejectedDatagramKeepsItsBytesAndOpensANewWait) {
    Search search(
        {{{0x02, 0x00, 0x00, 0x07, 0x0C, 0x00, 0x04, 'A', 'B', 'C', 'D'}, milliseconds{0}},
         {{0x01}, milliseconds{10}},  // completed by the bytes left before it
         {{0xFF}, milliseconds{450}},
         {Device(4), milliseconds{900}}},
        {milliseconds{50}, milliseconds{600}, milliseconds{50}});
    search.TimedRun();

    // The first wait would have ended about 650 ms after the request; the rejected datagram at
    // 450 ms opened another one, in which the reply at 900 ms arrived.
    ASSERT_EQ(search.table->RecordCount(), 2);
    EXPECT_EQ(search.table->ModelText(0), "ABCD");
    EXPECT_EQ(search.table->ModelText(1), "AP-4");
}

TEST(SearchCycle, ADatagramOfLengthZeroEndsTheLoop) {
    Search search(
        {{Device(1), milliseconds{0}}, {{}, milliseconds{10}}, {Device(2), milliseconds{20}}});
    search.TimedRun();
    EXPECT_EQ(search.table->RecordCount(), 1);
    EXPECT_EQ(search.filledCount, 1);
    EXPECT_EQ(search.CallsWithoutEventPasses(), CompleteSearch);
}

TEST(SearchCycle, ReadsADatagramOf201BytesWhole) {
    // A filler element, then a copy text whose last byte is byte 200 of the buffer.
    Bytes reply{0x01, 0x00, 0x00, 197, 0x09, 0x00, 183};
    reply.resize(190, 0x20);
    reply.insert(reply.end(), {0x0F, 0x00, 8, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'Z'});
    ASSERT_EQ(reply.size(), 201u);

    Search search({{reply, milliseconds{0}}});
    search.TimedRun();
    ASSERT_EQ(search.table->RecordCount(), 1);
    EXPECT_EQ(search.table->CopyText(0), "abcdefgZ");
}

TEST(SearchCycle, ADatagramOf202BytesEndsTheSearchWithMessageTooLong) {
    Bytes overlong(202, 0x00);
    overlong[0] = 0x01;
    Search search({{Device(1), milliseconds{0}},
                   {overlong, milliseconds{10}},
                   {Device(2), milliseconds{20}}});
    try {
        search.cycle.Run();
        FAIL() << "the search completed";
    } catch (const SocketError& error) {
        EXPECT_EQ(error.Code(), 10040);
        EXPECT_STREQ(error.what(), "Socket Error # 10040\r\nMessage too long.");
    }
    // The animation was started and is left so; the list is not rebuilt.
    EXPECT_EQ(search.CallsWithoutEventPasses(), std::vector<std::string>{"startAnimation"});
    EXPECT_EQ(search.filledCount, -1);
    EXPECT_EQ(search.table->RecordCount(), 1);  // the records read so far stay
    EXPECT_FALSE(search.cycle.Running());
}

TEST(SearchCycle, ATriggerFromAnEventPassDoesNotStartASecondSearch) {
    Search search({{Device(1), milliseconds{0}}, {Device(2), milliseconds{150}}});
    std::vector<bool> nested;
    search.onEventPass = [&] { nested.push_back(search.cycle.Run()); };
    search.TimedRun();

    ASSERT_FALSE(nested.empty());
    EXPECT_EQ(std::count(nested.begin(), nested.end(), true), 0);
    EXPECT_EQ(search.CallsWithoutEventPasses(), CompleteSearch);
    EXPECT_EQ(search.table->RecordCount(), 2);
    EXPECT_EQ(search.simulator.Requests().size(), 1u);
}

TEST(SearchCycle, AFailedLookUpChangesNothing) {
    Search search({{Device(1), milliseconds{0}}});
    search.TimedRun();
    const platform::Peer bound = search.endpoint.Bound();
    search.calls.clear();

    search.lookup = [] { return std::nullopt; };
    EXPECT_FALSE(search.cycle.Run());
    EXPECT_TRUE(search.calls.empty());
    ASSERT_EQ(search.table->RecordCount(), 1);
    EXPECT_EQ(search.table->ModelText(0), "AP-1");
    EXPECT_TRUE(search.endpoint.IsOpen());
    EXPECT_EQ(search.endpoint.Bound().port, bound.port);
    EXPECT_EQ(search.simulator.Requests().size(), 1u);
}

TEST(SearchCycle, AnEmptyLocalAddressBindsToAnyAddress) {
    Search search({{Device(1), milliseconds{0}}});
    search.lookup = [] { return ""; };
    search.TimedRun();
    EXPECT_EQ(search.endpoint.Bound().address, Ipv4Bytes{});
    EXPECT_NE(search.endpoint.Bound().port, 0);
    EXPECT_EQ(search.table->RecordCount(), 1);
}

TEST(SearchCycle, BindingToAForeignAddressFailsAfterEmptyingTheTable) {
    Search search({{Device(1), milliseconds{0}}});
    const Bytes earlier = Device(9);
    ReceiveBuffer buffer{};
    std::copy(earlier.begin(), earlier.end(), buffer.begin());
    search.table->AddReply(buffer);

    search.lookup = [] { return "198.51.100.77"; };  // not an address of this machine
    try {
        search.cycle.Run();
        FAIL() << "bound to a foreign address";
    } catch (const SocketError& error) {
        EXPECT_EQ(error.Code(), 10049);
        EXPECT_STREQ(error.what(), "Socket Error # 10049\r\nCannot assign requested address.");
    }
    EXPECT_EQ(search.table->RecordCount(), 0);
    EXPECT_TRUE(search.calls.empty());  // it failed before the animation started
    EXPECT_TRUE(search.simulator.Requests().empty());
}

TEST(SearchCycleRealTimings, WithoutDevicesTheSearchLastsPauseAndOneWait) {
    Search search({}, Real);
    const milliseconds elapsed = search.TimedRun();

    EXPECT_GE(elapsed, milliseconds{2490});
    EXPECT_LT(elapsed, milliseconds{4500});
    EXPECT_EQ(search.table->RecordCount(), 0);
    EXPECT_EQ(search.filledCount, 0);
    EXPECT_EQ(search.CallsWithoutEventPasses(), CompleteSearch);
    EXPECT_EQ(search.EventPasses(), 6);  // 1500 ms in slices of 250
}

TEST(SearchCycleRealTimings, AReplyMoreThan1500MsAfterThePreviousIsNotRead) {
    // The loop starts 1000 ms after the request: the first reply comes 1300 ms into the wait,
    // the second 1700 ms after the first, when the wait that it began has ended.
    Search search({{Device(1), milliseconds{2300}}, {Device(2), milliseconds{4000}}}, Real);
    const milliseconds elapsed = search.TimedRun();

    ASSERT_EQ(search.table->RecordCount(), 1);
    EXPECT_EQ(search.table->ModelText(0), "AP-1");
    EXPECT_EQ(search.filledCount, 1);
    EXPECT_GE(elapsed, milliseconds{3790});
    EXPECT_LT(elapsed, milliseconds{6000});
}

}  // namespace
}  // namespace nimbrel
