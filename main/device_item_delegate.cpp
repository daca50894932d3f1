#include "main/device_item_delegate.h"

#include <QApplication>
#include <QListView>
#include <QPainter>

namespace nimbrel {

namespace {

constexpr int Margin = 2;
constexpr int TextFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;

}  // namespace

void DeviceItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    // Qt's own layout measures the caption with fractional widths and then draws it a pixel
    // narrower, which breaks model names at their hyphens; this one measures and draws alike.
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    const bool selected = item.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = !(item.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (item.state & QStyle::State_Active) ? QPalette::Active
                                                                             : QPalette::Inactive;
    painter->save();
    painter->setClipRect(item.rect);

    const QSize imageSize = item.decorationSize;
    const QRect image(item.rect.center().x() - imageSize.width() / 2 + 1, item.rect.top() + Margin,
                      imageSize.width(), imageSize.height());
    item.icon.paint(painter, image, Qt::AlignCenter, selected ? QIcon::Selected : QIcon::Normal);

    const QRect bounds(item.rect.left() + Margin, image.bottom() + 1 + Margin,
                       item.rect.width() - 2 * Margin,
                       item.rect.bottom() - image.bottom() - Margin);
    const QRect text = item.fontMetrics.boundingRect(bounds, TextFlags, item.text) & bounds;
    if (selected) {
        painter->fillRect(text.adjusted(-Margin, 0, Margin, 0),
                          item.palette.brush(group, QPalette::Highlight));
    }
    painter->setPen(
        item.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(item.font);
    painter->drawText(bounds, TextFlags, item.text);

    if (item.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(item);
        focus.rect = text.adjusted(-Margin, 0, Margin, 0);
        focus.backgroundColor =
            item.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
        const QWidget* widget = item.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
    painter->restore();
}

QSize DeviceItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    if (const auto* view = qobject_cast<const QListView*>(option.widget)) {
        return view->gridSize();
    }
    return option.rect.size();
}

}  // namespace nimbrel
