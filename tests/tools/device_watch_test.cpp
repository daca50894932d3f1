// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <chrono>
#include <nlohmann/json.hpp>
#include <string>

#include "tools/device_watch.h"

namespace nimbrel::tools {
namespace {

using namespace std::chrono_literals;

// 1970-01-02T00:01:01.007Z
const WallClock::TimePoint SomeTime{24h + 61s + 7ms};

HistoryEvent changedDevice() {
    DeviceView device;
    device.mac = {0, 0x1A, 0x2B, 0x3C, 0x4D, 7};
    device.ipv4 = {198, 51, 100, 7};
    device.hasAddress = true;
    device.firmware = "2.1";
    device.hasFirmware = true;
    device.model = "AP\x1b";
    device.hasModel = true;
    device.interfaceName = "w\xff\x1b";
    return {HistoryEvent::Kind::Changed, device, {"model", "firmware"}, SomeTime};
}

TEST(UtcTimestamp, IsRfc3339WithMilliseconds) {
    EXPECT_EQ(utcTimestamp(SomeTime), "1970-01-02T00:01:01.007Z");
    EXPECT_EQ(utcTimestamp(WallClock::TimePoint{1'796'888'712'345ms}), "2026-12-10T07:45:12.345Z");
    EXPECT_EQ(utcTimestamp(WallClock::TimePoint{999us}), "1970-01-01T00:00:00.000Z");
}

TEST(WatchLine, IsOneJsonObjectWithTheTimeAndForAChangeTheFieldsChanged) {
    HistoryEvent event = changedDevice();
    const std::string json = watchLine(event, true);
    ASSERT_TRUE(json.ends_with("}\n"));
    EXPECT_EQ(json.find('\n'), json.size() - 1);
    const nlohmann::json parsed = nlohmann::json::parse(json);
    EXPECT_EQ(parsed["event"], "changed");
    EXPECT_EQ(parsed["time"], "1970-01-02T00:01:01.007Z");
    EXPECT_EQ(parsed["device"]["model"], "AP\x1b");
    EXPECT_EQ(parsed["device"]["interface_hex"], "77ff1b");
    EXPECT_EQ(parsed["changed"], nlohmann::json({"model", "firmware"}));

    event.kind = HistoryEvent::Kind::Gone;
    const nlohmann::json gone = nlohmann::json::parse(watchLine(event, true));
    EXPECT_EQ(gone["event"], "gone");
    EXPECT_FALSE(gone.contains("changed"));
    EXPECT_EQ(gone.size(), 3u);
}

TEST(WatchLine, IsOneStampedLineForPeopleNamingTheFieldsChanged) {
    HistoryEvent event = changedDevice();
    EXPECT_EQ(watchLine(event, false),
              "1970-01-02T00:01:01.007Z changed AP\\x1b 198.51.100.7 00-1A-2B-3C-4D-07 2.1 on "
              "w\\xff\\x1b (changed: model, firmware)\n");
    event.kind = HistoryEvent::Kind::Appeared;
    event.device.hasAddress = false;
    event.device.interfaceName.clear();
    EXPECT_EQ(watchLine(event, false), "1970-01-02T00:01:01.007Z appeared AP\\x1b - - 2.1\n");
}

}  // namespace
}  // namespace nimbrel::tools
