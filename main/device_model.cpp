// SPDX-License-Identifier: MIT
#include "main/device_model.h"

#include <QFont>
#include <QGuiApplication>
#include <QLocale>
#include <QPalette>

#include "main/image_list.h"
#include "main/status_text.h"
#include "main/text.h"

namespace nimbrel {

namespace {

quint64 macNumber(const MacBytes& mac) {
    quint64 number = 0;
    for (const std::uint8_t byte : mac) {
        number = number << 8 | byte;
    }
    return number;
}

QDateTime dateTime(WallClock::TimePoint time) {
    return QDateTime::fromMSecsSinceEpoch(
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count());
}

}  // namespace

QString shownTime(WallClock::TimePoint time) {
    return QLocale().toString(dateTime(time).time(), QStringLiteral("HH:mm:ss"));
}

QString interfaceCaption(const DeviceView& device) {
    return visibleText(QString::fromLocal8Bit(device.interfaceName));
}

QString modelCaption(const DeviceView& device) {
    return shownDeviceText(device.model);
}

QString addressCaption(const DeviceView& device) {
    return QString::fromStdString(formatIpv4(device.ipv4));
}

bool deviceMatches(const DeviceView& device, const QString& text) {
    if (text.isEmpty()) {
        return true;
    }
    const QString mac = shownMac(device);
    QString colons = mac;
    colons.replace(QLatin1Char('-'), QLatin1Char(':'));
    QString bare = mac;
    bare.remove(QLatin1Char('-'));
    for (const QString& field : {modelCaption(device), addressCaption(device), mac, colons, bare,
                                 shownDeviceText(device.firmware)}) {
        if (field.contains(text, Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

DeviceModel::DeviceModel(const ImageList* images, QObject* parent)
    : QAbstractTableModel(parent), images_(images) {}

void DeviceModel::setEntries(const std::vector<HistoryEntry>& entries, bool markNew) {
    beginResetModel();
    rows_ = entries;
    markNew_ = markNew;
    endResetModel();
}

void DeviceModel::setShowInterfaces(bool on) {
    if (on != showInterfaces_) {
        showInterfaces_ = on;
        if (!rows_.empty()) {
            Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1),
                               {InterfaceLineRole, Qt::DisplayRole});
        }
    }
}

int DeviceModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int DeviceModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DeviceModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const DeviceRow& shown = row(index.row());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole: return displayed(shown, index.column());
        case Qt::DecorationRole:
            if (index.column() == Model || index.column() == Caption) {
                return images_->icon(shown.device.iconIndex);
            }
            return {};
        case DeviceViewRole: return QVariant::fromValue(shown.device);
        case SortRole: return sortKey(shown, index.column());
        default: return marks(shown, role);
    }
}

QVariant DeviceModel::marks(const DeviceRow& row, int role) const {
    const bool missing = row.state() == HistoryEntry::State::Missing;
    const bool isNew = markNew_ && row.isNew;
    switch (role) {
        case MissingRole: return missing;
        case NewRole: return isNew;
        case InterfaceLineRole: return showInterfaces_ ? interfaceCaption(row.device) : QString();
        case Qt::ForegroundRole:
            if (missing) {
                return QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text);
            }
            return {};
        case Qt::FontRole:
            if (isNew) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        case Qt::AccessibleDescriptionRole:
            if (missing) {
                //: Read by screen readers for a listed device that did not answer the last
                //: search.
                return tr("Not answering");
            }
            if (isNew) {
                //: Read by screen readers for a device (in French: "l'appareil", masculine)
                //: that first answered the last search.
                return tr("New");
            }
            return {};
        default: return {};
    }
}

QVariant DeviceModel::displayed(const DeviceRow& row, int column) const {
    const DeviceView& device = row.device;
    switch (column) {
        case Model: return modelCaption(device);
        case Ipv4: return addressCaption(device);
        case Mac: return shownMac(device);
        case Firmware: return shownDeviceText(device.firmware);
        case Interface: return interfaceCaption(device);
        case LastSeen: return shownTime(row.lastSeen);
        case Caption: return modelCaption(device) + QLatin1Char(' ') + addressCaption(device);
        default: return {};
    }
}

QVariant DeviceModel::sortKey(const DeviceRow& row, int column) {
    const DeviceView& device = row.device;
    switch (column) {
        case Ipv4:
            return static_cast<quint32>(device.ipv4[0] << 24 | device.ipv4[1] << 16 |
                                        device.ipv4[2] << 8 | device.ipv4[3]);
        case Mac: return macNumber(displayedMac(device.listedMac, device.model));
        case LastSeen: return dateTime(row.lastSeen);
        case Model:
        case Caption: return modelCaption(device);
        case Firmware: return shownDeviceText(device.firmware);
        case Interface: return QString::fromLocal8Bit(device.interfaceName);
        default: return {};
    }
}

QVariant DeviceModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::InitialSortOrderRole) {
        return Qt::AscendingOrder;  // a first click sorts from the least
    }
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (section) {
        //: Column headers of the details table: the device's model name, its IPv4 address, its
        //: MAC address, its firmware version, the computer's network interface it answered
        //: on, and the local time of the last search it answered.
        case Model: return tr("Model");
        case Ipv4: return tr("IPv4");
        case Mac: return tr("MAC");
        case Firmware: return tr("Firmware");
        case Interface: return tr("Interface");
        case LastSeen: return tr("Last seen");
        //: The icon views' one column: a device's model and address.
        case Caption: return tr("Device");
        default: return {};
    }
}

DeviceFilterModel::DeviceFilterModel(QObject* parent) : QSortFilterProxyModel(parent) {
    setSortRole(SortRole);
    setSortCaseSensitivity(Qt::CaseInsensitive);
    setDynamicSortFilter(true);
}

void DeviceFilterModel::setFindText(const QString& text) {
    if (text != findText_) {
        findText_ = text;
        invalidateRowsFilter();
    }
}

bool DeviceFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    if (findText_.isEmpty()) {
        return true;
    }
    const auto* devices = static_cast<const DeviceModel*>(sourceModel());
    return !sourceParent.isValid() && deviceMatches(devices->row(sourceRow).device, findText_);
}

}  // namespace nimbrel
