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
/// "source":"a.b.c.d:port"},...],"left_out":N,"dropped_datagrams":N}, devices in the order of
/// their first reply. A field that the device did not send is null.
std::string JsonReport(const SearchResult& result);

/// A table with a header line and one aligned row per device ("-" for a field that the device
/// did not send), or a line saying that none answered; then a line when devices were left out.
std::string TextReport(const SearchResult& result);

}  // namespace nimbrel::tools
