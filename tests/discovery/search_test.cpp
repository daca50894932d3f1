// SPDX-License-Identifier: MIT
// Whole searches on a fake clock and a fake socket: no traffic, no waiting.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "discovery/search.h"
#include "tests/discovery/reply_bytes.h"
#include "tests/support/fake_search.h"

namespace nimbrel {
namespace {

using std::chrono::milliseconds;
using testing::addressValue;
using testing::Bytes;
using testing::FakeClock;
using testing::FakeSearchSocket;
using testing::reply;
using testing::text;

Bytes device(std::uint8_t id) {
    return reply({{FieldAddress, addressValue({0x00, 0x1A, 0x2B, 0x3C, 0x4D, id}, {10, 0, 0, id})},
                  {FieldModel, text("AP-" + std::to_string(id))}});
}

/// A search with every event it hands out recorded.
class SearchTest : public ::testing::Test {
protected:
    SearchTest() { attach(search); }

    void attach(Search& target) {
        target.setEvents({[this] { log.push_back("started"); },
                          [this](const SearchResult& found) {
                              log.push_back("finished");
                              result = found;
                          },
                          [this](const Error& failure) {
                              log.push_back("failed");
                              error = failure;
                          },
                          [this](const Peer& from) { dropped.push_back(from); },
                          [this](const SearchPath& path, const Error& failure) {
                              log.push_back("path " + path.interfaceName +
                                            " failed: " + std::to_string(failure.code));
                          }});
    }

    /// Lets time pass in steps, telling the search as a driver would.
    void pass(milliseconds total, milliseconds step = milliseconds{10}) {
        for (milliseconds passed{0}; passed < total; passed += step) {
            clock.advance(step);
            search.socketReadable();
        }
    }

    /// Reads what waits, then runs the search on until it ends, one deadline after the other;
    /// returns how long that took.
    milliseconds runToEnd() {
        const auto start = clock.now();
        search.socketReadable();
        while (search.running()) {
            clock.set(*search.deadline());
            search.timePassed();
        }
        return std::chrono::duration_cast<milliseconds>(clock.now() - start);
    }

    /// Makes a fake socket for each path past the first; they land in `more`.
    SearchSocketFactory moreSockets() {
        return [this] {
            auto another = std::make_unique<FakeSearchSocket>();
            more.push_back(another.get());
            return another;
        };
    }

    std::vector<std::string> models() const {
        std::vector<std::string> models;
        for (const DeviceView& device : result.devices) {
            models.push_back(device.model);
        }
        return models;
    }

    FakeClock clock;
    std::unique_ptr<FakeSearchSocket> first = std::make_unique<FakeSearchSocket>();
    FakeSearchSocket& socket = *first;  // the first path's, made before the search
    std::vector<FakeSearchSocket*> more;
    std::optional<std::vector<SearchPath>> paths =
        std::vector<SearchPath>{{{198, 51, 100, 1}, "eth0", 2}};
    Search search{clock, [this] { return paths; }, firstThen(std::move(first), moreSockets())};
    std::vector<std::string> log;
    SearchResult result;
    std::optional<Error> error;
    std::vector<Peer> dropped;
};

TEST_F(SearchTest, SendsOneRequestFromTheLookedUpAddressAndWithoutRepliesLastsPauseAndQuiet) {
    EXPECT_EQ(search.start(), Search::StartOutcome::Started);
    EXPECT_EQ(log, std::vector<std::string>{"started"});
    EXPECT_EQ(socket.boundTo, (Ipv4Bytes{198, 51, 100, 1}));
    EXPECT_EQ(socket.interfaceIndex, 2u);
    ASSERT_EQ(socket.sent.size(), 1u);
    EXPECT_EQ(socket.sent[0], (Bytes{0x01, 0x00, 0x00, 0x00}));
    EXPECT_EQ(socket.sentTo, (Peer{{255, 255, 255, 255}, 10001}));
    EXPECT_TRUE(search.running());

    EXPECT_EQ(*search.deadline() - clock.now(), milliseconds{1000});
    EXPECT_EQ(runToEnd(), milliseconds{2500});
    EXPECT_EQ(log, (std::vector<std::string>{"started", "finished"}));
    EXPECT_TRUE(result.devices.empty());
    EXPECT_FALSE(search.deadline());
}

TEST_F(SearchTest, ListsDevicesInOrderOfTheirFirstReplyWithoutDuplicates) {
    ASSERT_EQ(search.start(), Search::StartOutcome::Started);
    // Replies during the pause count from its end.
    socket.arrive(device(1), {{198, 51, 100, 7}, 10001});
    socket.arrive(device(2));
    pass(milliseconds{500});
    socket.arrive(device(1));
    pass(milliseconds{1500});  // 1000 ms into the quiet time
    socket.arrive(device(3));
    EXPECT_EQ(runToEnd(), milliseconds{1500});
    EXPECT_EQ(models(), (std::vector<std::string>{"AP-1", "AP-2", "AP-3"}));
    EXPECT_EQ(result.devices[0].source, (Peer{{198, 51, 100, 7}, 10001}));
    EXPECT_EQ(result.devices[2].ipv4, (Ipv4Bytes{10, 0, 0, 3}));
    EXPECT_EQ(result.devices[2].interfaceName, "eth0");
}

TEST_F(SearchTest, ADatagramAfterARejectedOneIsReadOnlyForItsOwnBytes) {
    ASSERT_EQ(search.start(), Search::StartOutcome::Started);
    Bytes rejected = device(9);
    rejected[0] = 0x02;
    socket.arrive(rejected);
    socket.arrive({0x01});  // would read as a reply with the rejected one's fields behind it
    socket.arrive({0x01, 0x00});
    socket.arrive({0x01, 0x00, 0x00});
    socket.arrive({0x01, 0x00, 0x00, 0x10});  // header only: one empty device
    runToEnd();
    ASSERT_EQ(result.devices.size(), 1u);
    EXPECT_EQ(result.devices[0].model, "");
    EXPECT_EQ(result.devices[0].ipv4, Ipv4Bytes{});
    EXPECT_FALSE(result.devices[0].hasAddress);
}

TEST_F(SearchTest, AnOverlongDatagramBetweenTwoRepliesIsDroppedAndBothDevicesListed) {
    ASSERT_EQ(search.start(), Search::StartOutcome::Started);
    pass(milliseconds{1100});
    socket.arrive(device(1));
    Bytes overlong(202, 0);
    overlong[0] = 0x01;
    socket.arrive(overlong, {{198, 51, 100, 9}, 4444});
    socket.arrive(device(2));
    Bytes longest = device(3);
    longest.resize(MaxDatagramSize, 0);  // 201 bytes are read whole
    socket.arrive(longest);
    search.socketReadable();
    runToEnd();
    EXPECT_EQ(models(), (std::vector<std::string>{"AP-1", "AP-2", "AP-3"}));
    EXPECT_EQ(result.droppedDatagrams, 1);
    EXPECT_EQ(dropped, (std::vector<Peer>{{{198, 51, 100, 9}, 4444}}));
    EXPECT_FALSE(error);
}

TEST_F(SearchTest, AnEmptyDatagramEndsTheReceivingAndWhatFollowsIsNotRead) {
    ASSERT_EQ(search.start(), Search::StartOutcome::Started);
    pass(milliseconds{1200});
    socket.arrive(device(1));
    socket.arrive({});
    socket.arrive(device(2));
    search.socketReadable();
    EXPECT_FALSE(search.running());
    EXPECT_EQ(models(), std::vector<std::string>{"AP-1"});

    // During the pause it ends the search when the pause ends.
    ASSERT_EQ(search.start(), Search::StartOutcome::Started);
    socket.arrive(device(3));
    socket.arrive({});
    socket.arrive(device(4));
    search.socketReadable();
    EXPECT_EQ(runToEnd(), milliseconds{1000});
    EXPECT_EQ(models(), std::vector<std::string>{"AP-3"});
}

TEST_F(SearchTest, ATriggerWhileRunningStartsNothing) {
    ASSERT_EQ(search.start(), Search::StartOutcome::Started);
    socket.arrive(device(1));
    EXPECT_EQ(search.start(), Search::StartOutcome::AlreadyRunning);
    EXPECT_EQ(socket.reopens, 1);
    EXPECT_EQ(socket.sent.size(), 1u);
    runToEnd();
    search.socketReadable();
    EXPECT_EQ(models(), std::vector<std::string>{"AP-1"});
}

TEST_F(SearchTest, ACancelledSearchEndsAtOnceAndHandsNothingOut) {
    ASSERT_EQ(search.start(), Search::StartOutcome::Started);
    socket.arrive(device(1));
    search.cancel();
    search.socketReadable();
    search.timePassed();
    EXPECT_FALSE(search.running());
    EXPECT_FALSE(search.deadline());
    EXPECT_EQ(log, std::vector<std::string>{"started"});
    EXPECT_EQ(search.start(), Search::StartOutcome::Started);
}

TEST_F(SearchTest, AFailedLookUpChangesAndReportsNothing) {
    paths.reset();
    EXPECT_EQ(search.start(), Search::StartOutcome::LookUpFailed);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(socket.reopens, 0);
    EXPECT_FALSE(search.running());
}

TEST_F(SearchTest, SocketFailuresEndTheSearchAsValues) {
    socket.reopenError = socketError(10049);
    EXPECT_EQ(search.start(), Search::StartOutcome::Failed);
    EXPECT_EQ(log, std::vector<std::string>{"failed"});
    EXPECT_EQ(error->message, "Socket Error # 10049\r\nCannot assign requested address.");
    EXPECT_FALSE(search.running());

    socket.reopenError.reset();
    socket.sendError = ownError("ENotAllBytesSent", "Not all bytes sent.");
    log.clear();
    EXPECT_EQ(search.start(), Search::StartOutcome::Failed);
    EXPECT_EQ(log, (std::vector<std::string>{"started", "failed"}));

    socket.sendError.reset();
    log.clear();
    ASSERT_EQ(search.start(), Search::StartOutcome::Started);
    socket.receiveError = socketError(10054);
    search.socketReadable();
    EXPECT_EQ(log, (std::vector<std::string>{"started", "failed"}));
    EXPECT_EQ(error->code, 10054);
    EXPECT_FALSE(search.running());
}

TEST_F(SearchTest, ReadsABoundedNumberOfDatagramsPerCall) {
    ASSERT_EQ(search.start(), Search::StartOutcome::Started);
    for (int i = 0; i < Search::ReadsPerCall + 5; ++i) {
        socket.arrive(device(1));
    }
    search.socketReadable();
    EXPECT_EQ(socket.queue.size(), 5u);
}

TEST_F(SearchTest, CountsTheDevicesBeyondItsCapacity) {
    Search small(
        clock, [this] { return paths; }, moreSockets(), {}, 2);
    attach(small);
    ASSERT_EQ(small.start(), Search::StartOutcome::Started);
    ASSERT_EQ(more.size(), 1u);
    for (std::uint8_t id = 1; id <= 5; ++id) {
        more[0]->arrive(device(id));
    }
    more[0]->arrive(device(1));  // a device already listed is not left out
    small.socketReadable();
    clock.advance(milliseconds{2500});
    small.timePassed();
    EXPECT_EQ(models(), (std::vector<std::string>{"AP-1", "AP-2"}));
    EXPECT_EQ(result.leftOut, 3);
}

TEST_F(SearchTest, SearchesSeveralInterfacesInOneSearchTellingThePathsApart) {
    // Two interfaces may hold the same address: each is a path of its own.
    paths = {{{198, 51, 100, 1}, "eth0", 2}, {{198, 51, 100, 1}, "eth1", 3}};
    ASSERT_EQ(search.start(), Search::StartOutcome::Started);
    ASSERT_EQ(more.size(), 1u);
    EXPECT_EQ(more[0]->boundTo, (Ipv4Bytes{198, 51, 100, 1}));
    EXPECT_EQ(more[0]->interfaceIndex, 3u);
    EXPECT_EQ(socket.sent.size(), 1u);  // one request on each
    EXPECT_EQ(more[0]->sent.size(), 1u);
    EXPECT_EQ(search.handles().size(), 2u);

    socket.arrive(device(1), {}, 2);
    more[0]->arrive(device(2), {}, 3);
    more[0]->arrive(device(1), {}, 3);  // the same device, reached through the other interface
    socket.arrive(device(1), {}, 2);
    EXPECT_EQ(runToEnd(), milliseconds{2500});  // one pause and one quiet time for both
    EXPECT_EQ(models(), (std::vector<std::string>{"AP-1", "AP-2", "AP-1"}));
    EXPECT_EQ(result.devices[0].interfaceName, "eth0");
    EXPECT_EQ(result.devices[1].interfaceName, "eth1");
    EXPECT_EQ(result.devices[2].interfaceName, "eth1");
    EXPECT_FALSE(result.devices[0].sameDeviceAs(result.devices[2]));

    ASSERT_EQ(search.start(), Search::StartOutcome::Started);  // the sockets are reused
    EXPECT_EQ(more.size(), 1u);
    runToEnd();

    // Back to one network: the other interface's socket is closed.
    bool closed = false;
    more[0]->destroyed = &closed;
    paths = {{{198, 51, 100, 1}, "eth0", 2}};
    ASSERT_EQ(search.start(), Search::StartOutcome::Started);
    EXPECT_TRUE(closed);
    EXPECT_EQ(search.handles().size(), 1u);
}

TEST_F(SearchTest, AReplyBelongsToTheInterfaceItArrivedOn) {
    paths = {{{198, 51, 100, 1}, "eth0", 2}, {{203, 0, 113, 1}, "wlan0", 3}};
    ASSERT_EQ(search.start(), Search::StartOutcome::Started);
    socket.arrive(device(1), {}, 3);  // eth0's request, answered by broadcast on wlan0
    socket.arrive(device(2), {}, 0);  // where the system does not tell: the socket's path
    socket.arrive(device(3), {}, 9);  // an interface of no path: the socket's path
    runToEnd();
    ASSERT_EQ(models(), (std::vector<std::string>{"AP-1", "AP-2", "AP-3"}));
    EXPECT_EQ(result.devices[0].interfaceName, "wlan0");
    EXPECT_EQ(result.devices[1].interfaceName, "eth0");
    EXPECT_EQ(result.devices[2].interfaceName, "eth0");
}

TEST_F(SearchTest, AFailedInterfaceIsDroppedAndTheOthersSearchOn) {
    paths = {{{198, 51, 100, 1}, "eth0", 2}, {{203, 0, 113, 1}, "wlan0", 3}};
    ASSERT_EQ(search.start(), Search::StartOutcome::Started);  // makes the second socket
    runToEnd();
    log.clear();

    more[0]->reopenError = socketError(10049);
    ASSERT_EQ(search.start(), Search::StartOutcome::Started);
    EXPECT_EQ(log, (std::vector<std::string>{"path wlan0 failed: 10049", "started"}));
    EXPECT_EQ(search.handles().size(), 1u);  // the failed socket is not watched
    socket.arrive(device(1));
    socket.receiveError = socketError(10054);  // the last path failing fails the search
    search.socketReadable();
    EXPECT_EQ(log.back(), "failed");
    EXPECT_EQ(error->code, 10054);
}

TEST_F(SearchTest, APathWithoutASocketFailsAlone) {
    Search bare(
        clock, [this] { return paths; }, [] { return nullptr; });
    attach(bare);
    EXPECT_EQ(bare.start(), Search::StartOutcome::Failed);
    EXPECT_EQ(error->message, "Cannot allocate socket.");
}

TEST_F(SearchTest, ANewSearchStartedAsTheLastEndsIsNotReadByTheLastOnesLoop) {
    paths = {{{198, 51, 100, 1}, "eth0", 2}, {{203, 0, 113, 1}, "wlan0", 3}};
    ASSERT_EQ(search.start(), Search::StartOutcome::Started);
    paths = {{{198, 51, 100, 1}, "eth0", 2}};  // the next search has only the first path
    std::vector<std::size_t> found;
    SearchEvents events;
    events.finished = [&](const SearchResult& ended) {
        found.push_back(ended.devices.size());
        if (found.size() == 1) {
            EXPECT_EQ(search.start(), Search::StartOutcome::Started);
        }
    };
    search.setEvents(std::move(events));
    pass(milliseconds{1100});
    socket.arrive({});  // ends the first search, whose end starts the second
    bool closed = false;
    more[0]->destroyed = &closed;
    more[0]->arrive(device(2));
    search.socketReadable();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_TRUE(search.running());
    EXPECT_TRUE(closed);  // and not read into the second search
    runToEnd();
    EXPECT_EQ(found, (std::vector<std::size_t>{0, 0}));
}

TEST_F(SearchTest, NothingIsReadOnceTheDeadlineOrTheBoundHasPassed) {
    ASSERT_EQ(search.start(), Search::StartOutcome::Started);
    socket.arrive(device(1));
    clock.advance(milliseconds{2500});  // the pause and the quiet time, with nothing read
    socket.arrive(device(2));
    search.socketReadable();
    EXPECT_FALSE(search.running());
    EXPECT_TRUE(result.devices.empty());
    EXPECT_EQ(socket.queue.size(), 2u);

    // A stream that never stops ends at the bound (the pause and 10 s) with what it read.
    ASSERT_EQ(search.start(), Search::StartOutcome::Started);
    const auto start = clock.now();
    socket.arrive(device(1));
    for (int tick = 0; tick < 109; ++tick) {
        socket.arrive({0x07, 0x07, 0x07});  // not a reply, yet a datagram
        socket.arrive(device(3));
        clock.advance(milliseconds{100});
        search.socketReadable();
    }
    ASSERT_TRUE(search.running());  // 10.9 s after the request
    EXPECT_EQ(*search.deadline() - start, milliseconds{11000});
    clock.advance(milliseconds{200});
    socket.arrive(device(4));
    search.socketReadable();
    EXPECT_FALSE(search.running());
    EXPECT_EQ(models(), (std::vector<std::string>{"AP-1", "AP-3"}));
}

TEST_F(SearchTest, CountsTheRepliesThatABurstLostInTheSystemsBuffer) {
    socket.capacity = 4;
    socket.tellsDropCount = false;  // only the datagrams tell
    ASSERT_EQ(search.start(), Search::StartOutcome::Started);
    for (std::uint8_t id = 1; id <= 10; ++id) {
        socket.arrive(device(id));
    }
    search.socketReadable();
    socket.arrive(device(11));  // tells the 6 dropped before it
    runToEnd();
    EXPECT_EQ(result.devices.size(), 5u);
    EXPECT_EQ(result.lostReplies, 6);

    // Drops after the last datagram read: the socket's own count tells them.
    socket.tellsDropCount = true;
    ASSERT_EQ(search.start(), Search::StartOutcome::Started);
    for (std::uint8_t id = 1; id <= 10; ++id) {
        socket.arrive(device(id));
    }
    runToEnd();
    EXPECT_EQ(result.devices.size(), 4u);
    EXPECT_EQ(result.lostReplies, 6);
}

}  // namespace
}  // namespace nimbrel
