// SPDX-License-Identifier: MIT
#include "discovery/device_view.h"

#include "discovery/model_icons.h"

namespace nimbrel {

DeviceView viewDevice(const DeviceTable& table, int record) {
    DeviceView view;
    view.model = table.modelText(record);
    view.ipv4 = table.ipv4Address(record);
    view.mac = table.macAddress(record);
    view.firmware = table.firmwareText(record);
    view.copyText = table.copyText(record);
    view.source = table.source(record);
    view.hasAddress = table.present(record, FieldAddress);
    view.hasFirmware = table.present(record, FieldFirmware);
    view.hasModel = table.present(record, FieldModel);
    view.hasCopyText = table.present(record, FieldCopyText);

    const IconChoice choice = chooseModelIcon(view.model);
    view.iconIndex = choice.imageIndex;
    view.listedMac = view.mac;
    if (choice.clearFirstMacByte) {
        view.listedMac[0] = 0;
    }
    return view;
}

std::vector<DeviceView> viewDevices(const DeviceTable& table) {
    std::vector<DeviceView> views;
    views.reserve(static_cast<std::size_t>(table.recordCount()));
    for (int record = 0; record < table.recordCount(); ++record) {
        views.push_back(viewDevice(table, record));
    }
    return views;
}

}  // namespace nimbrel
