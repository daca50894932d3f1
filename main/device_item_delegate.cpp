// SPDX-License-Identifier: MIT
#include "main/device_item_delegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QListView>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>

#include "discovery/device_view.h"
#include "main/device_item.h"

namespace nimbrel {

namespace {

QStringList wrappedLines(const QString& text, const QFont& font, int width) {
    QStringList lines;
    if (text.isEmpty()) {
        return lines;
    }
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
    return lines;
}

QString withoutTrailingBlanks(QString text) {
    while (!text.isEmpty() && text.back().isSpace()) {
        text.chop(1);
    }
    return text;
}

}  // namespace

std::vector<CaptionLine> DeviceItemDelegate::captionLines(const QFont& font, const QRect& cell,
                                                          QSize imageSize, const QString& model,
                                                          const QString& address, bool whole) {
    const QFontMetrics metrics(font);
    const int width = cell.width() - 2 * Margin;
    const int top = cell.top() + Margin + imageSize.height() + Margin;
    QStringList modelLines = wrappedLines(model, font, width);
    if (!whole) {
        // The lines that end inside the cell, less the one that the address takes.
        const int fitting =
            (cell.bottom() + 1 - top - metrics.height()) / metrics.lineSpacing() + 1;
        const qsizetype forModel = std::max(fitting - 1, 0);
        if (modelLines.size() > forModel) {
            // Each wrapped line keeps the blank that it broke at, so joined they are the model.
            const QString rest =
                modelLines.mid(std::max<qsizetype>(forModel - 1, 0)).join(QString());
            modelLines = modelLines.mid(0, std::max<qsizetype>(forModel - 1, 0));
            if (forModel > 0) {
                modelLines << metrics.elidedText(rest, Qt::ElideRight, width);
            }
        }
    }
    std::vector<CaptionLine> lines;
    int y = top;
    for (const QString& text : modelLines) {
        lines.push_back(
            {withoutTrailingBlanks(text), QRect(cell.left() + Margin, y, width, metrics.height())});
        y += metrics.lineSpacing();
    }
    lines.push_back({address, QRect(cell.left() + Margin, y, width, metrics.height())});
    return lines;
}

QSize DeviceItemDelegate::cellSize(const QFont& font, QSize imageSize) {
    const QFontMetrics metrics(font);
    int widestDigit = 0;
    for (char digit = '0'; digit <= '9'; ++digit) {
        widestDigit = std::max(widestDigit, metrics.horizontalAdvance(QLatin1Char(digit)));
    }
    const int widestAddress = 12 * widestDigit + 3 * metrics.horizontalAdvance(QLatin1Char('.'));
    const int width = widestAddress + 4 * Margin;
    const int height = 2 * Margin + imageSize.height() + metrics.lineSpacing() + metrics.height();
    return {std::max(width, 112), std::max(height, 66)};
}

void DeviceItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    const bool selected = item.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = !(item.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (item.state & QStyle::State_Active) ? QPalette::Active
                                                                             : QPalette::Inactive;
    painter->save();
    if (!selected) {
        painter->setClipRect(item.rect);
    }

    const QSize imageSize = item.decorationSize;
    const QRect image(item.rect.center().x() - imageSize.width() / 2 + 1, item.rect.top() + Margin,
                      imageSize.width(), imageSize.height());
    item.icon.paint(painter, image, Qt::AlignCenter, selected ? QIcon::Selected : QIcon::Normal);

    const DeviceView device = index.data(DeviceViewRole).value<DeviceView>();
    const std::vector<CaptionLine> lines = captionLines(
        item.font, item.rect, imageSize, modelCaption(device), addressCaption(device), selected);
    QRect text;
    for (const CaptionLine& line : lines) {
        text |=
            item.fontMetrics.boundingRect(line.rect, Qt::AlignHCenter | Qt::AlignTop, line.text) &
            line.rect;
    }
    const QRect marked = text.adjusted(-Margin, 0, Margin, 0);
    if (selected) {
        painter->fillRect(marked, item.palette.brush(group, QPalette::Highlight));
    }
    painter->setPen(
        item.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(item.font);
    for (const CaptionLine& line : lines) {
        painter->drawText(line.rect, Qt::AlignHCenter | Qt::AlignTop, line.text);
    }

    if (item.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(item);
        focus.rect = marked;
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
