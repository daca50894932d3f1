// Draws a list item as the icon view shows devices: the image centred at the top of its cell
// and the caption below it, wrapped between words only and always as plain text.
#pragma once

#include <QStyledItemDelegate>

namespace nimbrel {

class DeviceItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    /// Every item fills one grid cell of the view.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace nimbrel
