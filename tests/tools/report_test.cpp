// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>
#include "discovery/device_view.h"

#include "tests/tools/code_points.h"
#include "tools/report.h"

namespace nimbrel::tools {
namespace {

using namespace std::string_literals;
using Json = nlohmann::json;
using testing::codePoints;

DeviceView makeDevice(std::string model, const Ipv4Bytes& ipv4, const MacBytes& mac,
                      std::string firmware, std::string copyText, const Peer& source) {
    DeviceView device;
    device.model = std::move(model);
    device.ipv4 = ipv4;
    device.mac = mac;
    device.firmware = std::move(firmware);
    device.copyText = std::move(copyText);
    device.source = source;
    device.hasAddress = device.hasFirmware = device.hasModel = device.hasCopyText = true;
    return device;
}

/// A device that sent a model and nothing else.
DeviceView modelOnly(std::string model, const Peer& source) {
    DeviceView device;
    device.model = std::move(model);
    device.hasModel = true;
    device.source = source;
    return device;
}

const Peer FromDevice{{198, 51, 100, 2}, 10001};

TEST(JsonReport, ListsEveryDeviceInOrderWithEscapedTextsNullsAndSources) {
    SearchResult result;
    // Its listed MAC is left all zero: the report shows the MAC as the device sent it.
    result.devices.push_back(makeDevice("QZL-AP", {192, 168, 1, 7},
                                        {0x00, 0x0A, 0xB0, 0xC1, 0xD2, 0xFF}, "1.4 \"beta\" \\2",
                                        "Caf\xe9\x1b[0m", FromDevice));
    result.devices.back().interfaceName = "eth0";
    result.devices.push_back(modelOnly("BR", {{198, 51, 100, 9}, 40000}));
    DeviceView empty = makeDevice("", {}, {}, "", "", FromDevice);  // sent, but empty
    result.devices.push_back(empty);
    result.leftOut = 3;
    result.droppedDatagrams = 2;

    EXPECT_EQ(jsonReport(result),
              R"({"version":1,"devices":[)"
              R"({"model":"QZL-AP","ipv4":"192.168.1.7","mac":"00-0A-B0-C1-D2-FF",)"
              R"("firmware":"1.4 \"beta\" \\2","copy_text":"Caf)"
              "\xc3\xa9"
              R"(\u001b[0m","source":"198.51.100.2:10001","interface":"eth0"},)"
              R"({"model":"BR","ipv4":null,"mac":null,"firmware":null,"copy_text":null,)"
              R"("source":"198.51.100.9:40000","interface":null},)"
              R"({"model":"","ipv4":"0.0.0.0","mac":"00-00-00-00-00-00","firmware":"",)"
              R"("copy_text":"","source":"198.51.100.2:10001","interface":null}],)"
              R"("left_out":3,"dropped_datagrams":2,"lost_replies":0})"
              "\n");
}

TEST(JsonReport, CountsLostRepliesAndKeepsAnInterfaceNameThatIsNotUtf8) {
    SearchResult result;
    result.devices.push_back(modelOnly("AP", FromDevice));
    result.devices.back().interfaceName = "bad\xff\xfe";
    result.devices.push_back(modelOnly("BR", FromDevice));
    result.devices.back().interfaceName = "\xd0\x95th\xc2\x85";  // UTF-8 with a C1 control
    result.lostReplies = 7;

    const std::string report = jsonReport(result);
    ASSERT_TRUE(report.ends_with("}\n"));
    EXPECT_EQ(report.find('\n'), report.size() - 1) << "one line";
    // UTF-8 stands as it is, but a C1 control is escaped rather than written raw.
    EXPECT_NE(report.find("\"interface\":\"\xd0\x95th\\u0085\""), std::string::npos) << report;
    const Json parsed = Json::parse(report);
    EXPECT_EQ(parsed["lost_replies"], 7);
    const Json& bad = parsed["devices"][0];
    EXPECT_EQ(bad["interface"], "bad\xef\xbf\xbd\xef\xbf\xbd");  // U+FFFD for each bad byte
    EXPECT_EQ(bad["interface_hex"], "626164fffe");
    const Json& good = parsed["devices"][1];
    EXPECT_EQ(good["interface"], "\xd0\x95th\xc2\x85");
    EXPECT_FALSE(good.contains("interface_hex"));
}

TEST(Reports, NoDevicesMakeAnEmptyListAndALineSayingSo) {
    EXPECT_EQ(jsonReport({}),
              R"({"version":1,"devices":[],"left_out":0,"dropped_datagrams":0,"lost_replies":0})"
              "\n");
    EXPECT_EQ(textReport({}), "No device answered.\n");
}

TEST(TextReport, EndsWithALineForDevicesLeftOut) {
    SearchResult result;
    result.devices.push_back(modelOnly("AP", FromDevice));
    result.leftOut = 1;
    EXPECT_EQ(textReport(result),
              "#  Model  IPv4  MAC  Firmware  Interface  Copy text\n"
              "0  AP     -     -    -         -          -\n"
              "1 more device answered and was left out.\n");
    result.leftOut = 3;
    const std::string report = textReport(result);
    EXPECT_TRUE(report.ends_with("\n3 more devices answered and were left out.\n")) << report;
}

using Cells = std::array<std::string, 7>;

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos;
         end = text.find('\n', begin)) {
        lines.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    EXPECT_EQ(begin, text.size()) << "the last line has no line break";
    return lines;
}

/// Checks that `report` shows `rows` (the header first) in aligned columns: every cell begins
/// at the column of its header, columns are two blanks apart from their widest cell, and no line
/// ends in blanks. Columns are counted in characters, since each takes one on a terminal.
void expectAlignedTable(const std::string& report, const std::vector<Cells>& rows) {
    const std::vector<std::string> lines = splitLines(report);
    ASSERT_EQ(lines.size(), rows.size()) << report;

    std::vector<std::u32string> shown;
    for (const std::string& line : lines) {
        const std::optional<std::u32string> points = codePoints(line);
        ASSERT_TRUE(points.has_value()) << "not UTF-8: " << line;
        ASSERT_TRUE(points->empty() || points->back() != U' ') << "ends in blanks: " << line;
        for (const char32_t point : *points) {
            ASSERT_FALSE(point < 0x20 || (point >= 0x7F && point < 0xA0))
                << "raw control character in: " << line;
        }
        shown.push_back(*points);
    }

    std::array<std::size_t, 8> starts{};
    for (std::size_t column = 0; column < 7; ++column) {
        std::size_t widest = 0;
        for (const Cells& row : rows) {
            widest = std::max(widest, codePoints(row[column])->size());
        }
        starts[column + 1] = starts[column] + widest + 2;
    }
    for (std::size_t row = 0; row < rows.size(); ++row) {
        SCOPED_TRACE("line " + std::to_string(row) + ": " + lines[row]);
        const std::u32string& line = shown[row];
        for (std::size_t column = 0; column < 7; ++column) {
            const std::u32string cell = *codePoints(rows[row][column]);
            const std::size_t begin = std::min(starts[column], line.size());
            if (column == 6) {
                EXPECT_EQ(line.substr(begin), cell) << "last column";
                continue;
            }
            EXPECT_EQ(line.substr(begin, cell.size()), cell) << "column " << column;
            // What stands between this cell and the next column is blank.
            const std::size_t gapEnd = std::min(starts[column + 1], line.size());
            for (std::size_t at = begin + cell.size(); at < gapEnd; ++at) {
                EXPECT_EQ(line[at], U' ') << "column " << column << ", character " << at;
            }
        }
    }
}

const Cells Header{"#", "Model", "IPv4", "MAC", "Firmware", "Interface", "Copy text"};

TEST(TextReport, AlignsLongEmptyMissingAndEightBitTexts) {
    SearchResult result;
    result.devices.push_back(makeDevice(std::string(64, 'M'), {10, 0, 0, 1},
                                        {0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}, "1.0", "",
                                        FromDevice));
    result.devices.back().interfaceName = "wlan0";
    result.devices.push_back(makeDevice("", {192, 168, 100, 200}, {},
                                        "\xe9t\xe9 2.0 \xa0\xff\xe0",  // widest in its column
                                        "Caf\xe9 \xa0\xff", FromDevice));
    DeviceView noAddress = makeDevice("A\x1b[2JB", {}, {}, "v\x9b\x7f", "x", FromDevice);
    noAddress.hasAddress = false;
    result.devices.push_back(noAddress);

    expectAlignedTable(
        textReport(result),
        {Header,
         {"0", std::string(64, 'M'), "10.0.0.1", "0A-1B-2C-3D-4E-5F", "1.0", "wlan0", ""},
         {"1", "", "192.168.100.200", "00-00-00-00-00-00",
          "\xc3\xa9t\xc3\xa9 2.0 \xc2\xa0\xc3\xbf\xc3\xa0", "-", "Caf\xc3\xa9 \xc2\xa0\xc3\xbf"},
         {"2", "A\\x1b[2JB", "-", "-", "v\\x9b\\x7f", "-", "x"}});
}

TEST(TextReport, WidensTheNumberColumnPastTenDevices) {
    SearchResult result;
    std::vector<Cells> rows{Header};
    for (std::uint8_t n = 0; n < 12; ++n) {
        const std::uint8_t last = static_cast<std::uint8_t>(n * 20);
        result.devices.push_back(makeDevice("AP-" + std::to_string(n), {10, n, 0, last},
                                            {0, 0, 0, 0, 0, n}, "", "", FromDevice));
        const std::string hex = "0123456789ABCDEF";
        rows.push_back({std::to_string(n), "AP-" + std::to_string(n),
                        "10." + std::to_string(n) + ".0." + std::to_string(last),
                        "00-00-00-00-00-0"s + hex[n], "", "-", ""});
    }
    expectAlignedTable(textReport(result), rows);
}

}  // namespace
}  // namespace nimbrel::tools
