// SPDX-License-Identifier: MIT
// The texts of the status bar; device details are 8-bit text like the device's own.
#pragma once

#include <string>
#include <string_view>

#include "discovery/device_view.h"

namespace nimbrel {

inline constexpr std::string_view StartHint = "Press F5 to search,Double click to config";
inline constexpr std::string_view OpenHint = "Please Double Click the items listed!";

/// The MAC bytes as shown: for a model whose upper-cased text holds "QZL-TMR", bytes 4 and 5
/// read as one 16-bit number one less (wrapping), since that family reports its next address.
MacBytes displayedMac(const MacBytes& listed, std::string_view model);

/// "MAC:XX-XX-XX-XX-XX-XX  VER:" and the firmware text, from the MAC as listed.
std::string deviceStatusText(const DeviceView& device);

/// What the status bar says beside the details of a search that listed `shown` devices:
/// "11 of 14 devices shown" when devices were left out, ", 5 replies lost" after it (or "5
/// replies lost" alone; "1 reply lost") when the system dropped replies; empty when neither.
std::string shownCountText(int shown, int leftOut, int lostReplies);

}  // namespace nimbrel
