#include "main/status_text.h"

#include <cstdint>

#include "main/text.h"

namespace nimbrel {

MacBytes DisplayedMac(const MacBytes& stored, std::string_view model) {
    MacBytes shown = stored;
    if (UpperDeviceBytes(model).find("QZL-TMR") != std::string::npos) {
        const auto low = static_cast<std::uint16_t>((shown[4] << 8 | shown[5]) - 1);
        shown[4] = static_cast<std::uint8_t>(low >> 8);
        shown[5] = static_cast<std::uint8_t>(low & 0xFF);
    }
    return shown;
}

std::string DeviceStatusText(const DeviceTable& table, int record) {
    const MacBytes mac = DisplayedMac(table.MacAddress(record), table.ModelText(record));
    return "MAC:" + FormatMac(mac) + "  VER:" + std::string(table.FirmwareText(record));
}

}  // namespace nimbrel
