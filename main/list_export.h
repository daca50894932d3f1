// SPDX-License-Identifier: MIT
// The listed devices as a file: CSV or the JSON of nimbrel-discover --json.
#pragma once

#include <QString>
#include <string>

#include "discovery/device_view.h"
#include "discovery/result.h"

namespace nimbrel {

enum class ListFormat { Csv, Json };

/// The format that a file name's suffix asks for: ".json" (in any case) is JSON, anything else
/// CSV.
ListFormat listFormatOf(const QString& fileName);

/// The devices of `result` as the JSON report of nimbrel-discover --json, byte for byte.
std::string jsonList(const SearchResult& result);

/// The devices as CSV (RFC 4180: CR LF line ends, a field quoted when it holds a comma, a quote
/// or a line break, quotes doubled), UTF-8, with a header line that names the JSON report's
/// fields: model, ipv4, mac, firmware, copy_text, source, interface, interface_hex. Texts are
/// converted as in the JSON report, so nothing a device sent is lost: its bytes are read as
/// Latin-1, and an interface name that is not UTF-8 has U+FFFD for its bad bytes and its
/// exact bytes in interface_hex. A field the device did not send is empty.
std::string csvList(const std::vector<DeviceView>& devices);

/// Writes `contents` to `fileName` through a temporary file that replaces it only once
/// complete, so that a failed write leaves any older file as it was. The error's message says
/// why (the system's reason).
Result<> writeListFile(const QString& fileName, const std::string& contents);

}  // namespace nimbrel
