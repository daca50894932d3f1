// SPDX-License-Identifier: MIT
#include "main/status_text.h"

#include <cstdint>

#include "main/text.h"

namespace nimbrel {

MacBytes displayedMac(const MacBytes& listed, std::string_view model) {
    MacBytes shown = listed;
    if (upperDeviceBytes(model).find("QZL-TMR") != std::string::npos) {
        const auto low = static_cast<std::uint16_t>((shown[4] << 8 | shown[5]) - 1);
        shown[4] = static_cast<std::uint8_t>(low >> 8);
        shown[5] = static_cast<std::uint8_t>(low & 0xFF);
    }
    return shown;
}

std::string deviceStatusText(const DeviceView& device) {
    return "MAC:" + formatMac(displayedMac(device.listedMac, device.model)) +
           "  VER:" + device.firmware;
}

std::string shownCountText(int shown, int leftOut, int lostReplies) {
    std::string text;
    if (leftOut > 0) {
        text = std::to_string(shown) + " of " + std::to_string(shown + leftOut) + " devices shown";
    }
    if (lostReplies > 0) {
        text += (text.empty() ? "" : ", ") + std::to_string(lostReplies) +
                (lostReplies == 1 ? " reply lost" : " replies lost");
    }
    return text;
}

}  // namespace nimbrel
