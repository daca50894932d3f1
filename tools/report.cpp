#include "tools/report.h"

#include <algorithm>
#include <array>
#include <vector>

#include "tools/text_output.h"

namespace nimbrel::tools {

namespace {

constexpr std::size_t ColumnCount = 6;
using Row = std::array<std::string, ColumnCount>;

Row DeviceRow(const DeviceTable& table, int record) {
    return {std::to_string(record),
            TerminalText(table.ModelText(record)),
            FormatIpv4(table.Ipv4Address(record)),
            FormatMac(table.MacAddress(record)),
            TerminalText(table.FirmwareText(record)),
            TerminalText(table.CopyText(record))};
}

void AppendRow(std::string& out, const Row& row,
               const std::array<std::size_t, ColumnCount>& widths) {
    for (std::size_t column = 0; column < ColumnCount; ++column) {
        out += row[column];
        if (column + 1 < ColumnCount) {
            out.append(widths[column] - DisplayWidth(row[column]) + 2, ' ');
        }
    }
    // The last column may be empty; no line ends in blanks.
    out.erase(out.find_last_not_of(' ') + 1);
    out.push_back('\n');
}

}  // namespace

std::string JsonReport(const DeviceTable& table, int count) {
    std::string out = "{\"devices\":[";
    for (int record = 0; record < count; ++record) {
        if (record != 0) {
            out.push_back(',');
        }
        out += "{\"model\":" + JsonString(table.ModelText(record));
        out += ",\"ipv4\":\"" + FormatIpv4(table.Ipv4Address(record)) + '"';
        out += ",\"mac\":\"" + FormatMac(table.MacAddress(record)) + '"';
        out += ",\"firmware\":" + JsonString(table.FirmwareText(record));
        out += ",\"copy_text\":" + JsonString(table.CopyText(record)) + '}';
    }
    out += "]}\n";
    return out;
}

std::string TextReport(const DeviceTable& table, int count) {
    if (count == 0) {
        return "No device answered.\n";
    }
    std::vector<Row> rows{{"#", "Model", "IPv4", "MAC", "Firmware", "Copy text"}};
    for (int record = 0; record < count; ++record) {
        rows.push_back(DeviceRow(table, record));
    }
    std::array<std::size_t, ColumnCount> widths{};
    for (const Row& row : rows) {
        for (std::size_t column = 0; column < ColumnCount; ++column) {
            widths[column] = std::max(widths[column], DisplayWidth(row[column]));
        }
    }
    std::string out;
    for (const Row& row : rows) {
        AppendRow(out, row, widths);
    }
    return out;
}

}  // namespace nimbrel::tools
