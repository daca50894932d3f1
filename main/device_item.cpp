// SPDX-License-Identifier: MIT
#include "main/device_item.h"

#include "main/device_item_delegate.h"
#include "main/text.h"

namespace nimbrel {

QString ModelCaption(const DeviceView& device) {
    return FromDeviceBytes(device.model);
}

QString AddressCaption(const DeviceView& device) {
    return QString::fromStdString(FormatIpv4(device.ipv4));
}

QListWidgetItem* MakeDeviceItem(const DeviceView& device, const QIcon& icon) {
    auto* item =
        new QListWidgetItem(icon, ModelCaption(device) + QLatin1Char(' ') + AddressCaption(device));
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setData(DeviceViewRole, QVariant::fromValue(device));
    return item;
}

std::optional<DeviceView> DeviceOf(const QListWidgetItem* item) {
    if (item == nullptr) {
        return std::nullopt;
    }
    return item->data(DeviceViewRole).value<DeviceView>();
}

}  // namespace nimbrel
