// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/device_watch.h"

namespace nimbrel::tools {
namespace {

DeviceView Device(std::uint8_t id, std::string firmware = "1.0", std::string interface = "eth0") {
    DeviceView view;
    view.mac = {0, 0x1A, 0x2B, 0x3C, 0x4D, id};
    view.ipv4 = {198, 51, 100, id};
    view.firmware = std::move(firmware);
    view.interfaceName = std::move(interface);
    view.source = {{198, 51, 100, id}, 10001};
    return view;
}

std::vector<std::string> Lines(const std::vector<DeviceChange>& changes) {
    std::vector<std::string> lines;
    for (const DeviceChange& change : changes) {
        lines.push_back(std::string(KindName(change.kind)) + ' ' +
                        std::to_string(change.device.mac[5]) + ' ' + change.device.firmware);
    }
    return lines;
}

TEST(DeviceWatch, ReportsWhatAppearedChangedAndWentInOrder) {
    DeviceWatch watch;
    EXPECT_EQ(Lines(watch.Update({Device(1), Device(2)})),
              (std::vector<std::string>{"appeared 1 1.0", "appeared 2 1.0"}));
    EXPECT_TRUE(watch.Update({Device(1), Device(2)}).empty());

    DeviceView samePortChanged = Device(1);
    samePortChanged.source.port = 40000;  // a new source port alone is no change
    EXPECT_EQ(Lines(watch.Update({samePortChanged, Device(2, "2.0"), Device(3)})),
              (std::vector<std::string>{"changed 2 2.0", "appeared 3 1.0"}));
    EXPECT_EQ(Lines(watch.Update({Device(3)})),
              (std::vector<std::string>{"gone 1 1.0", "gone 2 2.0"}));
}

TEST(DeviceWatch, PairsDevicesOfTheSameIdentityInTheirOrder) {
    DeviceWatch watch;
    DeviceView first = Device(0);
    DeviceView second = Device(0);
    second.ipv4 = {198, 51, 100, 200};  // the same MAC, another record
    watch.Update({first, second});
    EXPECT_TRUE(watch.Update({first, second}).empty());
    EXPECT_EQ(Lines(watch.Update({first})), std::vector<std::string>{"gone 0 1.0"});
}

TEST(DeviceWatch, KnowsADeviceByItsMacAndInterface) {
    DeviceWatch watch;
    watch.Update({Device(1, "1.0", "eth0")});
    DeviceView moved = Device(1);
    moved.ipv4 = {203, 0, 113, 9};
    EXPECT_EQ(Lines(watch.Update({moved})), std::vector<std::string>{"changed 1 1.0"});
    EXPECT_EQ(Lines(watch.Update({moved, Device(1, "1.0", "wlan0")})),
              std::vector<std::string>{"appeared 1 1.0"});
}

TEST(WatchLine, IsOneJsonObjectOrOneStampedLinePerChange) {
    DeviceView device = Device(7, "2.1");
    device.hasAddress = device.hasFirmware = true;
    device.model = "AP\x1b";
    device.hasModel = true;
    const DeviceChange change{DeviceChange::Kind::Changed, device};
    const std::string json = WatchLine(change, true, 0);
    EXPECT_TRUE(json.starts_with(R"({"event":"changed","device":{"model":"AP\u001b",)")) << json;
    EXPECT_TRUE(json.ends_with(R"("interface":"eth0"}})"
                               "\n"))
        << json;
    EXPECT_EQ(WatchLine(change, false, 86400 + 61),
              "1970-01-02T00:01:01Z changed AP\\x1b 198.51.100.7 00-1A-2B-3C-4D-07 2.1 on eth0\n");
}

}  // namespace
}  // namespace nimbrel::tools
