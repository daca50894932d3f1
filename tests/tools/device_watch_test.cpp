// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tools/device_watch.h"

namespace nimbrel::tools {
namespace {

DeviceView makeDevice(std::uint8_t id, std::string firmware = "1.0",
                      std::string interface = "eth0") {
    DeviceView view;
    view.mac = {0, 0x1A, 0x2B, 0x3C, 0x4D, id};
    view.ipv4 = {198, 51, 100, id};
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

std::vector<std::string> lines(const std::vector<DeviceChange>& changes) {
    std::vector<std::string> lines;
    for (const DeviceChange& change : changes) {
        lines.push_back(std::string(kindName(change.kind)) + ' ' +
                        std::to_string(change.device.mac[5]) + ' ' + change.device.firmware);
    }
    return lines;
}

using Expected = std::vector<std::string>;

TEST(DeviceWatch, ReportsWhatAppearedChangedAndWentInOrder) {
    DeviceWatch watch;
    EXPECT_EQ(lines(watch.update(found({makeDevice(1), makeDevice(2)}))),
              (Expected{"appeared 1 1.0", "appeared 2 1.0"}));
    EXPECT_TRUE(watch.update(found({makeDevice(1), makeDevice(2)})).empty());

    // A new sender address or port alone is no change: neither is shown.
    DeviceView moved = makeDevice(1);
    moved.source = {{203, 0, 113, 5}, 40000};
    EXPECT_EQ(lines(watch.update(found({moved, makeDevice(2, "2.0"), makeDevice(3)}))),
              (Expected{"changed 2 2.0", "appeared 3 1.0"}));
    EXPECT_EQ(lines(watch.update(found({makeDevice(3)}))), (Expected{"gone 1 1.0", "gone 2 2.0"}));
}

TEST(DeviceWatch, ChangesInEachShownFieldAreReported) {
    const DeviceView before = makeDevice(1);
    std::vector<DeviceView> after(6, before);
    after[0].model = "AP";
    after[1].ipv4 = {203, 0, 113, 9};
    after[2].listedMac[0] = 0xAA;
    after[3].copyText = "x";
    after[4].hasCopyText = true;  // a field sent empty where none was sent before
    after[5].firmware = "1.1";
    for (const DeviceView& changed : after) {
        DeviceWatch watch;
        watch.update(found({before}));
        EXPECT_EQ(watch.update(found({changed})).size(), 1u);
    }
}

TEST(DeviceWatch, PairsEqualDevicesOfOneIdentityFirstThenTheRestInOrder) {
    // Two records of one MAC on one interface (devices that sent no address, say).
    DeviceView first = makeDevice(0, "A");
    DeviceView second = makeDevice(0, "B");
    DeviceWatch watch;
    watch.update(found({first, second}));
    // In the other order they are the same two devices: nothing changed.
    EXPECT_TRUE(watch.update(found({second, first})).empty());
    // One of them changed: only that one is reported, whichever comes first.
    EXPECT_EQ(lines(watch.update(found({makeDevice(0, "C"), first}))), (Expected{"changed 0 C"}));
    EXPECT_EQ(lines(watch.update(found({first}))), (Expected{"gone 0 C"}));
    EXPECT_EQ(lines(watch.update(found({makeDevice(0, "D"), makeDevice(0, "E"), first}))),
              (Expected{"appeared 0 D", "appeared 0 E"}));
}

TEST(DeviceWatch, KnowsADeviceByItsMacAndInterface) {
    DeviceWatch watch;
    watch.update(found({makeDevice(1, "1.0", "eth0")}));
    EXPECT_EQ(
        lines(watch.update(found({makeDevice(1, "1.0", "eth0"), makeDevice(1, "1.0", "wlan0")}))),
        Expected{"appeared 1 1.0"});
}

TEST(DeviceWatch, AnIncompleteSearchReportsNothingAsGone) {
    for (const auto& [leftOut, lost] : {std::pair{3, 0}, std::pair{0, 1}}) {
        DeviceWatch watch;
        watch.update(found({makeDevice(1), makeDevice(2)}));
        EXPECT_EQ(lines(watch.update(found({makeDevice(2, "2.0"), makeDevice(3)}, leftOut, lost))),
                  (Expected{"changed 2 2.0", "appeared 3 1.0"}));
        // Device 1 is still known: its return is no appearance, its absence from a complete
        // search is its going.
        EXPECT_TRUE(
            watch.update(found({makeDevice(1), makeDevice(2, "2.0"), makeDevice(3)})).empty());
        EXPECT_EQ(lines(watch.update(found({makeDevice(2, "2.0"), makeDevice(3)}))),
                  Expected{"gone 1 1.0"});
    }
}

TEST(WatchLine, IsOneJsonObjectOrOneStampedLinePerChange) {
    DeviceView device = makeDevice(7, "2.1");
    device.hasAddress = true;
    device.model = "AP\x1b";
    device.hasModel = true;
    device.interfaceName = "w\xff\x1b";
    const DeviceChange change{DeviceChange::Kind::Changed, device};
    const std::string json = watchLine(change, true, 0);
    ASSERT_TRUE(json.ends_with("}\n"));
    EXPECT_EQ(json.find('\n'), json.size() - 1);
    const nlohmann::json parsed = nlohmann::json::parse(json);
    EXPECT_EQ(parsed["event"], "changed");
    EXPECT_EQ(parsed["device"]["model"], "AP\x1b");
    EXPECT_EQ(parsed["device"]["interface_hex"], "77ff1b");
    EXPECT_EQ(watchLine(change, false, 86400 + 61),
              "1970-01-02T00:01:01Z changed AP\\x1b 198.51.100.7 00-1A-2B-3C-4D-07 2.1 on "
              "w\\xff\\x1b\n");
}

}  // namespace
}  // namespace nimbrel::tools
