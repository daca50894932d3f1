// SPDX-License-Identifier: MIT
// The texts of the status bar; device details are 8-bit text like the device's own.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "discovery/device_view.h"

namespace nimbrel {

/// The status bar's hint until a device is selected: "Press F5 to search,Double click to
/// config", translated.
QString startHint();

/// The status bar's answer to Open with nothing selected: "Please Double Click the items
/// listed!", translated.
QString openHint();

/// The MAC bytes as shown: for a model whose upper-cased text holds "QZL-TMR", bytes 4 and 5
/// read as one 16-bit number one less (wrapping), since that family reports its next address.
MacBytes displayedMac(const MacBytes& listed, std::string_view model);

/// The MAC as the status bar shows it: "XX-XX-XX-XX-XX-XX".
QString shownMac(const DeviceView& device);

/// "MAC:XX-XX-XX-XX-XX-XX  VER:" and the firmware text as every view shows it (see
/// shownDeviceText), from the MAC as listed; translated.
QString deviceStatusText(const DeviceView& device);

/// What the status bar says beside the details when `shown` devices are in view: "11 of 14
/// devices shown" when `hidden` were left out or found but filtered away (or always, when
/// `filtered`), ", 5 replies lost" after it (or "5 replies lost" alone; "1 reply lost") when
/// the system dropped replies; empty when neither. Translated.
QString shownCountText(int shown, int hidden, int lostReplies, bool filtered = false);

}  // namespace nimbrel
