// SPDX-License-Identifier: MIT
#include "main/device_list.h"

#include <QEvent>
#include <QPainter>

#include "main/device_item_delegate.h"

namespace nimbrel {

DeviceList::DeviceList(QWidget* parent) : QListWidget(parent) {
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(32, 32));
    setWordWrap(true);
    setItemDelegate(new DeviceItemDelegate(this));
    fitCellsToFont();
    // The selected caption may reach past its cell: a change of selection repaints it all.
    connect(this, &QListWidget::itemSelectionChanged, viewport(), qOverload<>(&QWidget::update));
}

void DeviceList::changeEvent(QEvent* event) {
    QListWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        fitCellsToFont();
    }
}

void DeviceList::fitCellsToFont() {
    setGridSize(DeviceItemDelegate::cellSize(font(), iconSize()));
}

void DeviceList::paintEvent(QPaintEvent* event) {
    QListWidget::paintEvent(event);
    const QList<QListWidgetItem*> selected = selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    const QModelIndex index = indexFromItem(selected.front());
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
