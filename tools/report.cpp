// SPDX-License-Identifier: MIT
#include "tools/report.h"

#include <algorithm>
#include <array>
#include <vector>

#include "tools/text_output.h"

namespace nimbrel::tools {

namespace {

constexpr std::size_t ColumnCount = 7;
using Row = std::array<std::string, ColumnCount>;

constexpr std::string_view Missing = "-";

std::string TableText(bool present, std::string_view text) {
    return present ? TerminalText(text) : std::string(Missing);
}

Row DeviceRow(const DeviceView& device, std::size_t number) {
    return {std::to_string(number),
            TableText(device.hasModel, device.model),
            TableText(device.hasAddress, FormatIpv4(device.ipv4)),
            TableText(device.hasAddress, FormatMac(device.mac)),
            TableText(device.hasFirmware, device.firmware),
            device.interfaceName.empty() ? std::string(Missing)
                                         : TerminalSystemText(device.interfaceName),
            TableText(device.hasCopyText, device.copyText)};
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

std::string JsonText(bool present, std::string_view text) {
    return present ? JsonString(text) : std::string("null");
}

}  // namespace

std::string JsonDevice(const DeviceView& device) {
    std::string out = "{\"model\":" + JsonText(device.hasModel, device.model);
    out += ",\"ipv4\":" + JsonText(device.hasAddress, FormatIpv4(device.ipv4));
    out += ",\"mac\":" + JsonText(device.hasAddress, FormatMac(device.mac));
    out += ",\"firmware\":" + JsonText(device.hasFirmware, device.firmware);
    out += ",\"copy_text\":" + JsonText(device.hasCopyText, device.copyText);
    out += ",\"source\":\"" + FormatPeer(device.source) + '"';
    out += ",\"interface\":" +
           (device.interfaceName.empty() ? std::string("null")
                                         : JsonSystemString(device.interfaceName)) +
           '}';
    return out;
}

std::string JsonReport(const SearchResult& result) {
    std::string out = "{\"version\":" + std::to_string(JsonReportVersion) + ",\"devices\":[";
    for (std::size_t number = 0; number < result.devices.size(); ++number) {
        if (number != 0) {
            out.push_back(',');
        }
        out += JsonDevice(result.devices[number]);
    }
    out += "],\"left_out\":" + std::to_string(result.leftOut);
    out += ",\"dropped_datagrams\":" + std::to_string(result.droppedDatagrams) + "}\n";
    return out;
}

std::string TextReport(const SearchResult& result) {
    std::string out;
    if (result.devices.empty()) {
        out = "No device answered.\n";
    } else {
        std::vector<Row> rows{{"#", "Model", "IPv4", "MAC", "Firmware", "Interface", "Copy text"}};
        for (std::size_t number = 0; number < result.devices.size(); ++number) {
            rows.push_back(DeviceRow(result.devices[number], number));
        }
        std::array<std::size_t, ColumnCount> widths{};
        for (const Row& row : rows) {
            for (std::size_t column = 0; column < ColumnCount; ++column) {
                widths[column] = std::max(widths[column], DisplayWidth(row[column]));
            }
        }
        for (const Row& row : rows) {
            AppendRow(out, row, widths);
        }
    }
    if (result.leftOut > 0) {
        out += std::to_string(result.leftOut) + " more device" + (result.leftOut == 1 ? "" : "s") +
               " answered and " + (result.leftOut == 1 ? "was" : "were") + " left out.\n";
    }
    return out;
}

}  // namespace nimbrel::tools
