// SPDX-License-Identifier: MIT
#include "main/device_item.h"

#include "main/device_item_delegate.h"
#include "main/text.h"

namespace nimbrel {

QString modelCaption(const DeviceView& device) {
    return shownDeviceText(device.model);
}

QString addressCaption(const DeviceView& device) {
    return QString::fromStdString(formatIpv4(device.ipv4));
}

QListWidgetItem* makeDeviceItem(const DeviceView& device, const QIcon& icon) {
    auto* item =
        new QListWidgetItem(icon, modelCaption(device) + QLatin1Char(' ') + addressCaption(device));
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setData(DeviceViewRole, QVariant::fromValue(device));
    return item;
}

std::optional<DeviceView> deviceOf(const QListWidgetItem* item) {
    if (item == nullptr) {
        return std::nullopt;
    }
    return item->data(DeviceViewRole).value<DeviceView>();
}

}  // namespace nimbrel
