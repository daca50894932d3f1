// SPDX-License-Identifier: MIT
// The devices that the window lists, as an item model that every view of them shares: one row
// per device of the last search, one column per detail. A search's result replaces the rows
// at once (one reset), so listing costs the same whatever the count, and each view draws only
// the rows in sight.
#pragma once

#include <QAbstractTableModel>
#include <QDateTime>
#include <QMetaType>
#include <QSortFilterProxyModel>
#include <vector>

#include "discovery/device_history.h"
#include "discovery/device_view.h"

Q_DECLARE_METATYPE(nimbrel::DeviceView)

namespace nimbrel {

class ImageList;

/// Rows keep the DeviceView that they show under this role, as a value.
inline constexpr int DeviceViewRole = Qt::UserRole;
/// What the views sort by: numbers for addresses, texts for texts, the time for Last seen.
inline constexpr int SortRole = Qt::UserRole + 2;
/// True while the device has not answered the last search (it is shown greyed).
inline constexpr int MissingRole = Qt::UserRole + 3;
/// True when the device first answered the last search (it is shown marked).
inline constexpr int NewRole = Qt::UserRole + 4;
/// The interface's name while the views show it (Search All Networks), else an empty text.
inline constexpr int InterfaceLineRole = Qt::UserRole + 5;

/// One listed device as the device history follows it.
using DeviceRow = HistoryEntry;

/// A time of the device history as the views show it: the local time of day, "HH:mm:ss".
QString shownTime(WallClock::TimePoint time);

class DeviceModel : public QAbstractTableModel {
    Q_OBJECT

public:
    /// The columns; Caption, the icon views' "model IPv4", comes last and is no column of the
    /// details table.
    enum Column { Model, Ipv4, Mac, Firmware, Interface, LastSeen, Caption, ColumnCount };

    /// `images` gives each row its image (the decoration of Model and Caption); it outlives the
    /// model.
    DeviceModel(const ImageList* images, QObject* parent);

    /// Lists the history's entries in their order, in place of the rows before. New devices
    /// are marked only when `markNew` (not after the first search, where every device is new).
    void setEntries(const std::vector<HistoryEntry>& entries, bool markNew = true);

    /// Whether the rows give their interface under InterfaceLineRole (and so a third caption
    /// line in the icon views).
    void setShowInterfaces(bool on);

    const DeviceRow& row(int row) const { return rows_[static_cast<std::size_t>(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QVariant displayed(const DeviceRow& row, int column) const;
    QVariant marks(const DeviceRow& row, int role) const;
    static QVariant sortKey(const DeviceRow& row, int column);

    const ImageList* images_;
    std::vector<DeviceRow> rows_;
    bool showInterfaces_ = false;
    bool markNew_ = true;
};

/// The model text as every view shows it: one character per device byte, plain text, its
/// control characters made visible (see shownDeviceText).
QString modelCaption(const DeviceView& device);

/// The IPv4 address in dotted decimal.
QString addressCaption(const DeviceView& device);

/// The name of the interface that the device answered on, made visible; empty when unknown.
QString interfaceCaption(const DeviceView& device);

/// Whether the find text `text` is in the device's model, IPv4 address, shown MAC (written
/// with "-", ":" or nothing between its bytes) or firmware, in either case. Every device
/// matches an empty text.
bool deviceMatches(const DeviceView& device, const QString& text);

/// Sorts and filters the model for every view: the sort by SortRole, texts case-insensitively;
/// the filter by deviceMatches. Both are kept when the rows are replaced.
class DeviceFilterModel : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit DeviceFilterModel(QObject* parent);

    void setFindText(const QString& text);
    QString findText() const { return findText_; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QString findText_;
};

}  // namespace nimbrel
