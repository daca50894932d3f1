// SPDX-License-Identifier: MIT
#include "tools/device_watch.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "tools/report.h"
#include "tools/text_output.h"

namespace nimbrel::tools {

std::string utcTimestamp(WallClock::TimePoint time) {
    const auto milliseconds = std::chrono::floor<std::chrono::milliseconds>(time);
    const auto seconds = std::chrono::floor<std::chrono::seconds>(milliseconds);
    const std::time_t whole = std::chrono::system_clock::to_time_t(seconds);
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &whole);
#else
    gmtime_r(&whole, &utc);
#endif
    std::array<char, 40> stamp{};
    const std::size_t length = std::strftime(stamp.data(), stamp.size(), "%Y-%m-%dT%H:%M:%S", &utc);
    std::snprintf(stamp.data() + length, stamp.size() - length, ".%03dZ",
                  static_cast<int>((milliseconds - seconds).count()));
    return stamp.data();
}

std::string watchLine(const HistoryEvent& event, bool json) {
    const char* kind = eventName(event.kind);
    const std::string time = utcTimestamp(event.time);
    const bool changed = event.kind == HistoryEvent::Kind::Changed;
    if (json) {
        nlohmann::ordered_json line = {
            {"event", kind}, {"time", time}, {"device", jsonDevice(event.device)}};
        if (changed) {
            line["changed"] = event.changedFields;
        }
        return jsonLine(line) + '\n';
    }
    const DeviceView& device = event.device;
    std::string line = time + ' ' + kind + ' ' +
                       (device.hasModel ? terminalText(device.model) : "-") + ' ' +
                       (device.hasAddress ? formatIpv4(device.ipv4) : "-") + ' ' +
                       (device.hasAddress ? formatMac(device.mac) : "-") + ' ' +
                       (device.hasFirmware ? terminalText(device.firmware) : "-");
    if (!device.interfaceName.empty()) {
        line += " on " + terminalSystemText(device.interfaceName);
    }
    if (changed) {
        std::string names;
        for (const std::string& field : event.changedFields) {
            names += (names.empty() ? "" : ", ") + field;
        }
        line += " (changed: " + names + ')';
    }
    return line + '\n';
}

}  // namespace nimbrel::tools
