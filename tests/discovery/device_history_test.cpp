// SPDX-License-Identifier: MIT
#include "discovery/device_history.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace nimbrel {
namespace {

using namespace std::chrono_literals;

class FakeWallClock final : public WallClock {
public:
    TimePoint now() const override { return now_; }
    void advance(std::chrono::milliseconds by) { now_ += by; }

private:
    TimePoint now_{std::chrono::hours{24 * 365 * 57}};
};

DeviceView makeDevice(std::uint8_t id, std::string firmware = "1.0",
                      std::string interface = "eth0") {
    DeviceView view;
    view.mac = {0, 0x1A, 0x2B, 0x3C, 0x4D, id};
    view.listedMac = view.mac;
    view.ipv4 = {198, 51, 100, id};
    view.hasAddress = true;
    view.firmware = std::move(firmware);
    view.hasFirmware = true;
    view.interfaceName = std::move(interface);
    view.source = {{198, 51, 100, id}, 10001};
    return view;
}

SearchResult found(std::vector<DeviceView> devices, int leftOut = 0, int lostReplies = 0) {
    SearchResult result;
    result.devices = std::move(devices);
    result.leftOut = leftOut;
    result.lostReplies = lostReplies;
    return result;
}

/// "appeared 1 1.0 eth0" for each event: its kind, the MAC's last byte, firmware, interface.
std::vector<std::string> lines(const std::vector<HistoryEvent>& events) {
    std::vector<std::string> lines;
    for (const HistoryEvent& event : events) {
        lines.push_back(std::string(eventName(event.kind)) + ' ' +
                        std::to_string(event.device.mac[5]) + ' ' + event.device.firmware + ' ' +
                        event.device.interfaceName);
    }
    return lines;
}

/// "1 present 0" for each entry: the MAC's last byte, its state, missed searches, "new".
std::vector<std::string> states(const DeviceHistory& history) {
    std::vector<std::string> states;
    for (const HistoryEntry& entry : history.entries()) {
        states.push_back(
            std::to_string(entry.device.mac[5]) +
            (entry.state() == HistoryEntry::State::Present ? " present " : " missing ") +
            std::to_string(entry.missedSearches) + (entry.isNew ? " new" : ""));
    }
    return states;
}

using Expected = std::vector<std::string>;

class DeviceHistoryTest : public ::testing::Test {
protected:
    FakeWallClock clock_;
};

TEST_F(DeviceHistoryTest, ReportsAppearedThenMissingThenGoneOnceAfterTwoMissedSearches) {
    DeviceHistory history(clock_);
    const auto first = clock_.now();
    EXPECT_EQ(lines(history.update(found({makeDevice(1), makeDevice(2)}))),
              (Expected{"appeared 1 1.0 eth0", "appeared 2 1.0 eth0"}));
    EXPECT_EQ(states(history), (Expected{"1 present 0 new", "2 present 0 new"}));

    clock_.advance(8s);
    EXPECT_TRUE(history.update(found({makeDevice(2)})).empty());
    EXPECT_EQ(states(history), (Expected{"2 present 0", "1 missing 1"}));
    const HistoryEntry& missing = history.entries()[1];
    EXPECT_EQ(missing.firstSeen, first);
    EXPECT_EQ(missing.lastSeen, first);
    EXPECT_EQ(history.entries()[0].lastSeen, first + 8s);

    clock_.advance(8s);
    const std::vector<HistoryEvent> events = history.update(found({makeDevice(2)}));
    EXPECT_EQ(lines(events), Expected{"gone 1 1.0 eth0"});
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].time, first + 16s);
    EXPECT_EQ(states(history), Expected{"2 present 0"});
    EXPECT_TRUE(history.update(found({makeDevice(2)})).empty());
}

TEST_F(DeviceHistoryTest, ADeviceBackBeforeTheLimitIsNoEventAndKeepsItsEntry) {
    DeviceHistory history(clock_, 3);
    history.update(found({makeDevice(1)}));
    const std::uint64_t id = history.entries()[0].id;
    history.update(found({}));
    history.update(found({}));
    EXPECT_EQ(states(history), Expected{"1 missing 2"});
    clock_.advance(1s);
    EXPECT_TRUE(history.update(found({makeDevice(1)})).empty());
    EXPECT_EQ(states(history), Expected{"1 present 0"});
    EXPECT_EQ(history.entries()[0].id, id);
    EXPECT_EQ(history.entries()[0].lastSeen, clock_.now());
    // The count starts again: three more misses make it gone, and its return is an appearance.
    history.update(found({}));
    history.update(found({}));
    EXPECT_EQ(lines(history.update(found({}))), Expected{"gone 1 1.0 eth0"});
    EXPECT_EQ(lines(history.update(found({makeDevice(1)}))), Expected{"appeared 1 1.0 eth0"});
    EXPECT_NE(history.entries()[0].id, id);
    EXPECT_EQ(DeviceHistory(clock_, 0).goneAfter(), 1);
}

TEST_F(DeviceHistoryTest, NamesTheShownFieldsThatChangedAndNotTheSource) {
    const DeviceView before = makeDevice(1);
    DeviceView after = before;
    after.source = {{203, 0, 113, 5}, 40000};
    DeviceHistory history(clock_);
    history.update(found({before}));
    EXPECT_TRUE(history.update(found({after})).empty());
    EXPECT_EQ(history.entries()[0].device.source.port, 40000);  // taken all the same

    const auto changedBy = [&](auto change) {
        DeviceView changed = before;
        change(changed);
        DeviceHistory fresh(clock_);
        fresh.update(found({before}));
        const std::vector<HistoryEvent> events = fresh.update(found({changed}));
        return events.size() == 1 && events[0].kind == HistoryEvent::Kind::Changed
                   ? events[0].changedFields
                   : Expected{"not one change"};
    };
    EXPECT_EQ(changedBy([](DeviceView& d) { d.model = "AP"; }), Expected{"model"});
    EXPECT_EQ(changedBy([](DeviceView& d) { d.ipv4 = {203, 0, 113, 9}; }), Expected{"ipv4"});
    EXPECT_EQ(changedBy([](DeviceView& d) { d.listedMac[0] = 0xAA; }), Expected{"not one change"})
        << "the listed MAC follows the place in the list, not the device";
    EXPECT_EQ(changedBy([](DeviceView& d) { d.hasAddress = false; }), (Expected{"ipv4", "mac"}));
    EXPECT_EQ(changedBy([](DeviceView& d) { d.hasCopyText = true; }), Expected{"copy_text"});
    EXPECT_EQ(changedBy([](DeviceView& d) {
                  d.firmware = "1.1";
                  d.copyText = "x";
                  d.hasModel = true;
              }),
              (Expected{"model", "firmware", "copy_text"}));
}

TEST_F(DeviceHistoryTest, KnowsADeviceByItsMacAndInterface) {
    DeviceHistory history(clock_);
    history.update(found({makeDevice(1, "1.0", "eth0")}));
    EXPECT_EQ(
        lines(history.update(found({makeDevice(1, "1.0", "wlan0"), makeDevice(1, "1.1", "eth0")}))),
        (Expected{"appeared 1 1.0 wlan0", "changed 1 1.1 eth0"}));
    EXPECT_EQ(states(history), (Expected{"1 present 0 new", "1 present 0"}));
    EXPECT_NE(history.entries()[0].id, history.entries()[1].id);
    EXPECT_TRUE(history.update(found({makeDevice(1, "1.0", "wlan0")})).empty());
    EXPECT_EQ(lines(history.update(found({makeDevice(1, "1.0", "wlan0")}))),
              Expected{"gone 1 1.1 eth0"});
}

TEST_F(DeviceHistoryTest, PairsEqualDevicesOfOneIdentityFirstThenTheRestInOrder) {
    // Two records of one MAC on one interface (devices that sent no address, say).
    const DeviceView first = makeDevice(0, "A");
    const DeviceView second = makeDevice(0, "B");
    DeviceHistory history(clock_, 1);
    history.update(found({first, second}));
    // In the other order they are the same two devices: nothing changed.
    EXPECT_TRUE(history.update(found({second, first})).empty());
    // One of them changed: only that one is reported, whichever comes first.
    EXPECT_EQ(lines(history.update(found({makeDevice(0, "C"), first}))),
              Expected{"changed 0 C eth0"});
    EXPECT_EQ(lines(history.update(found({first}))), Expected{"gone 0 C eth0"});
    EXPECT_EQ(lines(history.update(found({makeDevice(0, "D"), makeDevice(0, "E"), first}))),
              (Expected{"appeared 0 D eth0", "appeared 0 E eth0"}));
}

TEST_F(DeviceHistoryTest, AnIncompleteSearchCountsNobodyAbsent) {
    for (const auto& [leftOut, lost] : {std::pair{3, 0}, std::pair{0, 1}}) {
        DeviceHistory history(clock_, 1);
        history.update(found({makeDevice(1), makeDevice(2)}));
        EXPECT_EQ(
            lines(history.update(found({makeDevice(2, "2.0"), makeDevice(3)}, leftOut, lost))),
            (Expected{"changed 2 2.0 eth0", "appeared 3 1.0 eth0"}));
        EXPECT_EQ(states(history), (Expected{"2 present 0", "3 present 0 new", "1 present 0"}));
        // Its absence from a complete search is its going.
        EXPECT_EQ(lines(history.update(found({makeDevice(2, "2.0"), makeDevice(3)}))),
                  Expected{"gone 1 1.0 eth0"});
    }
}

TEST_F(DeviceHistoryTest, DevicesOnAnInterfaceLeftOutOfTheSearchAreNotAbsent) {
    DeviceHistory history(clock_, 1);
    history.update(found({makeDevice(1, "1.0", "eth0"), makeDevice(2, "1.0", "wlan0")}));
    EXPECT_EQ(lines(history.update(found({}), {"wlan0"})), Expected{"gone 1 1.0 eth0"});
    EXPECT_EQ(states(history), Expected{"2 present 0"});
    EXPECT_EQ(lines(history.update(found({}))), Expected{"gone 2 1.0 wlan0"});
}

}  // namespace
}  // namespace nimbrel
