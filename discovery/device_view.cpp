// SPDX-License-Identifier: MIT
#include "discovery/device_view.h"

#include "discovery/model_icons.h"

namespace nimbrel {

DeviceView ViewDevice(const DeviceTable& table, int record) {
    DeviceView view;
    view.model = table.ModelText(record);
    view.ipv4 = table.Ipv4Address(record);
    view.mac = table.MacAddress(record);
    view.firmware = table.FirmwareText(record);
    view.copyText = table.CopyText(record);
    view.source = table.Source(record);
    view.hasAddress = table.Present(record, FieldAddress);
    view.hasFirmware = table.Present(record, FieldFirmware);
    view.hasModel = table.Present(record, FieldModel);
    view.hasCopyText = table.Present(record, FieldCopyText);

    const IconChoice choice = ChooseModelIcon(view.model);
    view.iconIndex = choice.imageIndex;
    view.listedMac = view.mac;
    if (choice.clearFirstMacByte) {
        view.listedMac[0] = 0;
    }
    return view;
}

std::vector<DeviceView> ViewDevices(const DeviceTable& table) {
    std::vector<DeviceView> views;
    views.reserve(static_cast<std::size_t>(table.RecordCount()));
    for (int record = 0; record < table.RecordCount(); ++record) {
        views.push_back(ViewDevice(table, record));
    }
    return views;
}

}  // namespace nimbrel
