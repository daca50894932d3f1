// SPDX-License-Identifier: MIT
// A list item carries the device that it shows as a value, so that every command acts on what
// the user sees, whatever a later search finds.
#pragma once

#include <QListWidgetItem>
#include <QMetaType>
#include <QString>
#include <optional>

#include "discovery/device_view.h"

Q_DECLARE_METATYPE(nimbrel::DeviceView)

namespace nimbrel {

/// The model text as the caption shows it: one character per device byte, plain text, its
/// control characters made visible (see shownDeviceText).
QString modelCaption(const DeviceView& device);

/// The IPv4 address in dotted decimal.
QString addressCaption(const DeviceView& device);

/// An item showing `device` with `icon`; its text is the model, a blank and the address.
QListWidgetItem* makeDeviceItem(const DeviceView& device, const QIcon& icon);

/// The device that `item` shows; nullopt for no item.
std::optional<DeviceView> deviceOf(const QListWidgetItem* item);

}  // namespace nimbrel
