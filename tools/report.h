// SPDX-License-Identifier: MIT
// The two reports of nimbrel-discover, built from what one search found.
#pragma once

#include <string>

#include "discovery/device_view.h"

namespace nimbrel::tools {

/// The shape of the JSON report; raised when a field changes meaning or goes away.
inline constexpr int JsonReportVersion = 1;

/// One JSON object on one line, then a line break:
/// {"version":1,"devices":[{"model":...,"ipv4":...,"mac":...,"firmware":...,"copy_text":...,
/// "source":"a.b.c.d:port","interface":...},...],"left_out":N,"dropped_datagrams":N}, devices
/// in the order of their first reply. A field that the device did not send is null, and so is
/// an interface that is not known.
std::string JsonReport(const SearchResult& result);

/// One device's object of the JSON report, without a line break.
std::string JsonDevice(const DeviceView& device);

/// A table with a header line and one aligned row per device ("-" for a field that the device
/// did not send), or a line saying that none answered; then a line when devices were left out.
std::string TextReport(const SearchResult& result);

}  // namespace nimbrel::tools
