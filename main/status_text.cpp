// SPDX-License-Identifier: MIT
#include "main/status_text.h"

#include <cstdint>

#include "main/text.h"

namespace nimbrel {

MacBytes DisplayedMac(const MacBytes& listed, std::string_view model) {
    MacBytes shown = listed;
    if (UpperDeviceBytes(model).find("QZL-TMR") != std::string::npos) {
        const auto low = static_cast<std::uint16_t>((shown[4] << 8 | shown[5]) - 1);
        shown[4] = static_cast<std::uint8_t>(low >> 8);
        shown[5] = static_cast<std::uint8_t>(low & 0xFF);
    }
    return shown;
}

std::string DeviceStatusText(const DeviceView& device) {
    return "MAC:" + FormatMac(DisplayedMac(device.listedMac, device.model)) +
           "  VER:" + device.firmware;
}

std::string LeftOutText(int shown, int leftOut) {
    if (leftOut <= 0) {
        return {};
    }
    return std::to_string(shown) + " of " + std::to_string(shown + leftOut) + " devices shown";
}

}  // namespace nimbrel
