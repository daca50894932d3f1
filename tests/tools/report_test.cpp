#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/device_table.h"
#include "discovery/wire.h"
#include "tests/tools/json_reading.h"
#include "tools/report.h"

namespace nimbrel::tools {
namespace {

using namespace std::string_literals;
using testing::DecodeUtf8;

struct Element {
    std::uint8_t type;
    std::string value;
};

std::string Address(const MacBytes& mac, const Ipv4Bytes& ipv4) {
    std::string value(mac.begin(), mac.end());
    value.append(ipv4.begin(), ipv4.end());
    return value;
}

/// Adds a well-formed reply holding `elements` to `table`, as a search would.
void AddDevice(DeviceTable& table, std::initializer_list<Element> elements) {
    ReceiveBuffer buffer{};
    std::copy(DiscoveryRequest.begin(), DiscoveryRequest.end(), buffer.begin());
    std::size_t at = DiscoveryRequest.size();
    for (const Element& element : elements) {
        buffer.at(at) = element.type;
        buffer.at(at + 2) = static_cast<std::uint8_t>(element.value.size());
        std::copy(element.value.begin(), element.value.end(), buffer.begin() + at + 3);
        at += 3 + element.value.size();
    }
    buffer[3] = static_cast<std::uint8_t>(at - DiscoveryRequest.size());
    ASSERT_TRUE(IsDiscoveryReply(buffer));
    table.AddReply(buffer);
}

TEST(JsonReport, ListsEveryDeviceInTableOrderWithEscapedTexts) {
    DeviceTable table;
    AddDevice(table,
              {{FieldModel, "QZL-AP\0junk"s},  // the text ends at the NUL
               {FieldAddress, Address({0x00, 0x0A, 0xB0, 0xC1, 0xD2, 0xFF}, {192, 168, 1, 7})},
               {FieldFirmware, "1.4 \"beta\" \\2"},
               {FieldCopyText, "Caf\xe9\x1b[0m"}});
    AddDevice(table, {{FieldModel, "BR"}});  // no address, firmware or copy text
    AddDevice(table,
              {{FieldCopyText, std::string(63, 'x') + 'z'},
               {FieldAddress, Address({0x10, 0x20, 0x30, 0x40, 0x50, 0x60}, {10, 0, 0, 255})}});
    ASSERT_EQ(table.RecordCount(), 3);

    EXPECT_EQ(JsonReport(table, 3),
              "{\"devices\":["
              R"({"model":"QZL-AP","ipv4":"192.168.1.7","mac":"00-0A-B0-C1-D2-FF",)"
              R"("firmware":"1.4 \"beta\" \\2","copy_text":"Caf)"
              "\xc3\xa9"
              R"(\u001b[0m"},)"
              R"({"model":"BR","ipv4":"0.0.0.0","mac":"00-00-00-00-00-00",)"
              R"("firmware":"","copy_text":""},)"
              R"({"model":"","ipv4":"10.0.0.255","mac":"10-20-30-40-50-60",)"
              R"("firmware":"","copy_text":")" +
                  std::string(63, 'x') +
                  "z\"}"
                  "]}\n");

    // Only records 0 to count - 1 are reported.
    EXPECT_EQ(JsonReport(table, 1).find("\"BR\""), std::string::npos);
}

TEST(JsonReport, NoDevicesMakeAnEmptyList) {
    const DeviceTable table;
    EXPECT_EQ(JsonReport(table, 0), "{\"devices\":[]}\n");
}

TEST(TextReport, NoDevicesMakeOneLineSayingSo) {
    const DeviceTable table;
    EXPECT_EQ(TextReport(table, 0), "No device answered.\n");
}

using Cells = std::array<std::string, 6>;

std::vector<std::string> Lines(const std::string& text) {
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
void ExpectAlignedTable(const std::string& report, const std::vector<Cells>& rows) {
    const std::vector<std::string> lines = Lines(report);
    ASSERT_EQ(lines.size(), rows.size()) << report;

    std::vector<std::u32string> shown;
    for (const std::string& line : lines) {
        const std::optional<std::u32string> points = DecodeUtf8(line);
        ASSERT_TRUE(points.has_value()) << "not UTF-8: " << line;
        ASSERT_TRUE(points->empty() || points->back() != U' ') << "ends in blanks: " << line;
        for (const char32_t point : *points) {
            ASSERT_FALSE(point < 0x20 || (point >= 0x7F && point < 0xA0))
                << "raw control character in: " << line;
        }
        shown.push_back(*points);
    }

    std::array<std::size_t, 7> starts{};
    for (std::size_t column = 0; column < 6; ++column) {
        std::size_t widest = 0;
        for (const Cells& row : rows) {
            widest = std::max(widest, DecodeUtf8(row[column])->size());
        }
        starts[column + 1] = starts[column] + widest + 2;
    }
    for (std::size_t row = 0; row < rows.size(); ++row) {
        SCOPED_TRACE("line " + std::to_string(row) + ": " + lines[row]);
        const std::u32string& line = shown[row];
        for (std::size_t column = 0; column < 6; ++column) {
            const std::u32string cell = *DecodeUtf8(rows[row][column]);
            const std::size_t begin = std::min(starts[column], line.size());
            if (column == 5) {
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

const Cells Header{"#", "Model", "IPv4", "MAC", "Firmware", "Copy text"};

TEST(TextReport, AlignsLongEmptyAndEightBitTexts) {
    DeviceTable table;
    AddDevice(table, {{FieldModel, std::string(64, 'M')},
                      {FieldAddress, Address({0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}, {10, 0, 0, 1})},
                      {FieldFirmware, "1.0"}});
    AddDevice(table, {{FieldAddress, Address({}, {192, 168, 100, 200})},
                      {FieldFirmware, "\xe9t\xe9 2.0 \xa0\xff\xe0"},  // widest in its column
                      {FieldCopyText, "Caf\xe9 \xa0\xff"}});
    AddDevice(table,
              {{FieldModel, "A\x1b[2JB"}, {FieldFirmware, "v\x9b\x7f"}, {FieldCopyText, "x"}});
    ASSERT_EQ(table.RecordCount(), 3);

    ExpectAlignedTable(
        TextReport(table, 3),
        {Header,
         {"0", std::string(64, 'M'), "10.0.0.1", "0A-1B-2C-3D-4E-5F", "1.0", ""},
         {"1", "", "192.168.100.200", "00-00-00-00-00-00",
          "\xc3\xa9t\xc3\xa9 2.0 \xc2\xa0\xc3\xbf\xc3\xa0", "Caf\xc3\xa9 \xc2\xa0\xc3\xbf"},
         {"2", "A\\x1b[2JB", "0.0.0.0", "00-00-00-00-00-00", "v\\x9b\\x7f", "x"}});
}

TEST(TextReport, WidensTheNumberColumnForAFullTable) {
    DeviceTable table;
    std::vector<Cells> rows{Header};
    for (std::uint8_t n = 0; n < DeviceTable::Capacity; ++n) {
        const std::uint8_t last = static_cast<std::uint8_t>(n * 25);
        AddDevice(table, {{FieldModel, "AP-" + std::to_string(n)},
                          {FieldAddress, Address({0, 0, 0, 0, 0, n}, {10, n, 0, last})}});
        const std::string hex = "0123456789ABCDEF";
        rows.push_back({std::to_string(n), "AP-" + std::to_string(n),
                        "10." + std::to_string(n) + ".0." + std::to_string(last),
                        "00-00-00-00-00-0"s + hex[n], "", ""});
    }
    ASSERT_EQ(table.RecordCount(), DeviceTable::Capacity);
    ExpectAlignedTable(TextReport(table, DeviceTable::Capacity), rows);
}

}  // namespace
}  // namespace nimbrel::tools
