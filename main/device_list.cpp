// SPDX-License-Identifier: MIT
#include "main/device_list.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "main/device_item_delegate.h"
#include "main/device_model.h"

namespace nimbrel {

namespace {

constexpr QSize LargeImage(32, 32);
constexpr QSize SmallImage(16, 16);

}  // namespace

DeviceList::DeviceList(QWidget* parent)
    : QListView(parent), delegate_(new DeviceItemDelegate(this)) {
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(LargeImage);
    setWordWrap(true);
    setItemDelegate(delegate_);
    fitCellsToFont();
}

void DeviceList::setCompact(bool compact) {
    if (compact == compact_) {
        return;
    }
    compact_ = compact;
    delegate_->setCompact(compact);
    setIconSize(compact ? SmallImage : LargeImage);
    fitCellsToFont();
    // The icon-mode layout keeps cells in place; a new grid needs a new layout.
    scheduleDelayedItemsLayout();
    viewport()->update();
}

void DeviceList::setInterfaceLine(bool on) {
    interfaceLine_ = on;
    fitCellsToFont();
}

void DeviceList::reset() {
    QListView::reset();
    if (compact_) {
        fitCellsToFont();
    }
}

void DeviceList::changeEvent(QEvent* event) {
    QListView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        fitCellsToFont();
    }
}

void DeviceList::fitCellsToFont() {
    setGridSize(
        compact_ ? DeviceItemDelegate::compactCellSize(font(), iconSize(), widestCompactCaption())
                 : DeviceItemDelegate::cellSize(font(), iconSize(), interfaceLine_));
}

int DeviceList::widestCompactCaption() const {
    if (model() == nullptr) {
        return 0;
    }
    const QFontMetrics metrics(font());
    int widest = 0;
    for (int row = 0, rows = model()->rowCount(); row < rows; ++row) {
        const QModelIndex index = model()->index(row, modelColumn());
        QString caption = index.data(Qt::DisplayRole).toString();
        if (const QString name = index.data(InterfaceLineRole).toString(); !name.isEmpty()) {
            caption += QLatin1Char(' ') + name;
        }
        widest = std::max(widest, metrics.horizontalAdvance(caption));
    }
    return widest;
}

void DeviceList::selectionChanged(const QItemSelection& selected,
                                  const QItemSelection& deselected) {
    QListView::selectionChanged(selected, deselected);
    // The selected caption may reach past its cell: a change of selection repaints it all.
    viewport()->update();
}

void DeviceList::paintEvent(QPaintEvent* event) {
    QListView::paintEvent(event);
    if (compact_ || selectionModel() == nullptr) {
        return;
    }
    const QModelIndexList selected = selectionModel()->selectedRows(modelColumn());
    if (selected.isEmpty()) {
        return;
    }
    const QModelIndex index = selected.front();
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    option.state |= QStyle::State_Selected;
    if (currentIndex() == index && hasFocus()) {
        option.state |= QStyle::State_HasFocus;
    }
    QPainter painter(viewport());
    itemDelegate()->paint(&painter, option, index);
}

}  // namespace nimbrel
