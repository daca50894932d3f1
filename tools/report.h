// SPDX-License-Identifier: MIT
// The two reports of nimbrel-discover, built from what one search found.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "discovery/device_view.h"

namespace nimbrel::tools {

/// The shape of the JSON report; raised when a field changes meaning or goes away.
inline constexpr int JsonReportVersion = 1;

/// One JSON object on one line, then a line break:
/// {"version":1,"devices":[{"model":...,"ipv4":...,"mac":...,"firmware":...,"copy_text":...,
/// "source":"a.b.c.d:port","interface":...},...],"left_out":N,"dropped_datagrams":N,
/// "lost_replies":N}, devices in the order of their first reply. A field that the device did
/// not send is null, and so is an interface that is not known.
std::string jsonReport(const SearchResult& result);

/// One device's object of the JSON report. Device texts are read as Latin-1. An interface
/// name that is not UTF-8 is given with U+FFFD for its bad bytes, and its bytes exactly in
/// "interface_hex" (present only then).
nlohmann::ordered_json jsonDevice(const DeviceView& device);

/// `value` on one line without a line break, UTF-8 as it stands except that every control
/// character (C0, DEL and C1) is escaped as \u00XX, so that the line is safe on a terminal too.
std::string jsonLine(const nlohmann::ordered_json& value);

/// A table with a header line and one aligned row per device ("-" for a field that the device
/// did not send), or a line saying that none answered; then a line when devices were left out.
std::string textReport(const SearchResult& result);

}  // namespace nimbrel::tools
