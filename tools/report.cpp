// SPDX-License-Identifier: MIT
#include "tools/report.h"

#include <algorithm>
#include <array>
#include <vector>

#include "tools/text_output.h"

namespace nimbrel::tools {

using json = nlohmann::ordered_json;

namespace {

constexpr std::size_t ColumnCount = 7;
using Row = std::array<std::string, ColumnCount>;

constexpr std::string_view Missing = "-";

std::string tableText(bool present, std::string_view text) {
    return present ? terminalText(text) : std::string(Missing);
}

Row deviceRow(const DeviceView& device, std::size_t number) {
    return {std::to_string(number),
            tableText(device.hasModel, device.model),
            tableText(device.hasAddress, formatIpv4(device.ipv4)),
            tableText(device.hasAddress, formatMac(device.mac)),
            tableText(device.hasFirmware, device.firmware),
            device.interfaceName.empty() ? std::string(Missing)
                                         : terminalSystemText(device.interfaceName),
            tableText(device.hasCopyText, device.copyText)};
}

void appendRow(std::string& out, const Row& row,
               const std::array<std::size_t, ColumnCount>& widths) {
    for (std::size_t column = 0; column < ColumnCount; ++column) {
        out += row[column];
        if (column + 1 < ColumnCount) {
            out.append(widths[column] - displayWidth(row[column]) + 2, ' ');
        }
    }
    // The last column may be empty; no line ends in blanks.
    out.erase(out.find_last_not_of(' ') + 1);
    out.push_back('\n');
}

std::array<std::size_t, ColumnCount> columnWidths(const std::vector<Row>& rows) {
    std::array<std::size_t, ColumnCount> widths{};
    for (const Row& row : rows) {
        for (std::size_t column = 0; column < ColumnCount; ++column) {
            widths[column] = std::max(widths[column], displayWidth(row[column]));
        }
    }
    return widths;
}

json deviceText(bool present, std::string_view bytes) {
    return present ? json(latin1ToUtf8(bytes)) : json(nullptr);
}

std::string hex(std::string_view bytes) {
    constexpr std::string_view Digits = "0123456789abcdef";
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out.push_back(Digits[byte >> 4]);
        out.push_back(Digits[byte & 0x0F]);
    }
    return out;
}

}  // namespace

json jsonDevice(const DeviceView& device) {
    json object = {
        {"model", deviceText(device.hasModel, device.model)},
        {"ipv4", device.hasAddress ? json(formatIpv4(device.ipv4)) : json(nullptr)},
        {"mac", device.hasAddress ? json(formatMac(device.mac)) : json(nullptr)},
        {"firmware", deviceText(device.hasFirmware, device.firmware)},
        {"copy_text", deviceText(device.hasCopyText, device.copyText)},
        {"source", formatPeer(device.source)},
        // Stored as the system gave it; JsonLine writes U+FFFD where it is not UTF-8.
        {"interface", device.interfaceName.empty() ? json(nullptr) : json(device.interfaceName)},
    };
    if (!isUtf8(device.interfaceName)) {
        object["interface_hex"] = hex(device.interfaceName);
    }
    return object;
}

std::string jsonLine(const json& value) {
    const std::string dumped = value.dump(-1, ' ', false, json::error_handler_t::replace);
    // The library escapes C0 controls itself; DEL and the C1 controls (in UTF-8, 0xC2 then 0x80
    // to 0x9F: 0xC2 is never a continuation byte) it writes as they are.
    std::string out;
    out.reserve(dumped.size());
    for (std::size_t at = 0; at < dumped.size(); ++at) {
        const auto byte = static_cast<unsigned char>(dumped[at]);
        const unsigned char next =
            at + 1 < dumped.size() ? static_cast<unsigned char>(dumped[at + 1]) : 0U;
        if (byte == 0x7F) {
            out += "\\u007f";
        } else if (byte == 0xC2 && next >= 0x80 && next < 0xA0) {
            constexpr std::string_view Digits = "0123456789abcdef";
            out += "\\u00";
            out.push_back(Digits[next >> 4]);
            out.push_back(Digits[next & 0x0F]);
            ++at;
        } else {
            out.push_back(static_cast<char>(byte));
        }
    }
    return out;
}

std::string jsonReport(const SearchResult& result) {
    json devices = json::array();
    for (const DeviceView& device : result.devices) {
        devices.push_back(jsonDevice(device));
    }
    const json report = {
        {"version", JsonReportVersion},       {"devices", std::move(devices)},
        {"left_out", result.leftOut},         {"dropped_datagrams", result.droppedDatagrams},
        {"lost_replies", result.lostReplies},
    };
    return jsonLine(report) + '\n';
}

std::string textReport(const SearchResult& result) {
    std::string out;
    if (result.devices.empty()) {
        out = "No device answered.\n";
    } else {
        std::vector<Row> rows{{"#", "Model", "IPv4", "MAC", "Firmware", "Interface", "Copy text"}};
        for (std::size_t number = 0; number < result.devices.size(); ++number) {
            rows.push_back(deviceRow(result.devices[number], number));
        }
        const std::array<std::size_t, ColumnCount> widths = columnWidths(rows);
        for (const Row& row : rows) {
            appendRow(out, row, widths);
        }
    }
    if (result.leftOut > 0) {
        out += std::to_string(result.leftOut) + " more device" + (result.leftOut == 1 ? "" : "s") +
               " answered and " + (result.leftOut == 1 ? "was" : "were") + " left out.\n";
    }
    return out;
}

}  // namespace nimbrel::tools
