// SPDX-License-Identifier: MIT
#include "main/device_item_delegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QListView>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>

#include "discovery/device_view.h"
#include "main/device_model.h"

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

int widestAddress(const QFontMetrics& metrics) {
    int widestDigit = 0;
    for (char digit = '0'; digit <= '9'; ++digit) {
        widestDigit = std::max(widestDigit, metrics.horizontalAdvance(QLatin1Char(digit)));
    }
    return 12 * widestDigit + 3 * metrics.horizontalAdvance(QLatin1Char('.'));
}

QIcon::Mode iconMode(const QStyleOptionViewItem& item) {
    if (item.state & QStyle::State_Selected) {
        return QIcon::Selected;
    }
    return item.index.data(MissingRole).toBool() ? QIcon::Disabled : QIcon::Normal;
}

// Room for at least and at most about this many characters of the model beside the address on
// a compact line.
constexpr int CompactModelCharacters = 7;
constexpr int LongestCompactModelCharacters = 40;

}  // namespace

std::vector<CaptionLine> DeviceItemDelegate::captionLines(const QFont& font, const QRect& cell,
                                                          QSize imageSize, const QString& model,
                                                          const QString& address, bool whole,
                                                          const QString& interfaceName) {
    const QFontMetrics metrics(font);
    const int width = cell.width() - 2 * Margin;
    const int top = cell.top() + Margin + imageSize.height() + Margin;
    const int fixedLines = interfaceName.isEmpty() ? 1 : 2;
    QStringList modelLines = wrappedLines(model, font, width);
    if (!whole) {
        // The lines that end inside the cell, less those that the address and interface take.
        const int fitting =
            (cell.bottom() + 1 - top - metrics.height()) / metrics.lineSpacing() + 1;
        const qsizetype forModel = std::max(fitting - fixedLines, 0);
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
    if (!interfaceName.isEmpty()) {
        y += metrics.lineSpacing();
        lines.push_back({metrics.elidedText(interfaceName, Qt::ElideRight, width),
                         QRect(cell.left() + Margin, y, width, metrics.height())});
    }
    return lines;
}

QSize DeviceItemDelegate::cellSize(const QFont& font, QSize imageSize, bool interfaceLine) {
    const QFontMetrics metrics(font);
    const int width = widestAddress(metrics) + 4 * Margin;
    const int height = 2 * Margin + imageSize.height() +
                       (interfaceLine ? 2 : 1) * metrics.lineSpacing() + metrics.height();
    return {std::max(width, 112), std::max(height, 66)};
}

QSize DeviceItemDelegate::compactCellSize(const QFont& font, QSize imageSize, int captionWidth) {
    const QFontMetrics metrics(font);
    const int address = widestAddress(metrics);
    const int caption =
        std::clamp(captionWidth, address + CompactModelCharacters * metrics.averageCharWidth(),
                   address + LongestCompactModelCharacters * metrics.averageCharWidth());
    // The image and the line with their margins, as paintCompact lays them out.
    const int width = imageSize.width() + caption + 7 * Margin;
    return {width, std::max(imageSize.height(), metrics.height()) + 2 * Margin};
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
    if (compact_) {
        paintCompact(painter, item, group);
        painter->restore();
        return;
    }
    if (!selected) {
        painter->setClipRect(item.rect);
    }

    const QSize imageSize = item.decorationSize;
    const QRect image(item.rect.center().x() - imageSize.width() / 2 + 1, item.rect.top() + Margin,
                      imageSize.width(), imageSize.height());
    item.icon.paint(painter, image, Qt::AlignCenter, iconMode(item));

    const DeviceView device = index.data(DeviceViewRole).value<DeviceView>();
    const std::vector<CaptionLine> lines =
        captionLines(item.font, item.rect, imageSize, modelCaption(device), addressCaption(device),
                     selected, index.data(InterfaceLineRole).toString());
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
    painter->setPen(textColour(item, group));
    painter->setFont(item.font);
    for (const CaptionLine& line : lines) {
        painter->drawText(line.rect, Qt::AlignHCenter | Qt::AlignTop, line.text);
    }

    paintFocus(painter, item, group, marked);
    painter->restore();
}

void DeviceItemDelegate::paintCompact(QPainter* painter, const QStyleOptionViewItem& item,
                                      QPalette::ColorGroup group) const {
    const bool selected = item.state & QStyle::State_Selected;
    painter->setClipRect(item.rect);
    const QSize imageSize = item.decorationSize;
    const QRect image(item.rect.left() + Margin,
                      item.rect.top() + (item.rect.height() - imageSize.height()) / 2,
                      imageSize.width(), imageSize.height());
    item.icon.paint(painter, image, Qt::AlignCenter, iconMode(item));

    // The address stays whole; the model before it gives way, ending in "…".
    const QRect line = item.rect.adjusted(image.width() + 3 * Margin, 0, -Margin, 0);
    const DeviceView device = item.index.data(DeviceViewRole).value<DeviceView>();
    QString address = addressCaption(device);
    if (const QString interfaceName = item.index.data(InterfaceLineRole).toString();
        !interfaceName.isEmpty()) {
        address += QLatin1Char(' ') + interfaceName;
    }
    const int forModel =
        line.width() - 2 * Margin - item.fontMetrics.horizontalAdvance(QLatin1Char(' ') + address);
    const QString model =
        item.fontMetrics.elidedText(modelCaption(device), Qt::ElideRight, std::max(forModel, 0));
    const QString text = model.isEmpty() ? address : model + QLatin1Char(' ') + address;
    const QRect marked = item.fontMetrics.boundingRect(line, Qt::AlignLeft | Qt::AlignVCenter, text)
                             .adjusted(0, 0, 2 * Margin, 0) &
                         line;
    if (selected) {
        painter->fillRect(marked, item.palette.brush(group, QPalette::Highlight));
    }
    painter->setPen(textColour(item, group));
    painter->setFont(item.font);
    painter->drawText(marked.adjusted(Margin, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
    paintFocus(painter, item, group, marked);
}

QColor DeviceItemDelegate::textColour(const QStyleOptionViewItem& item,
                                      QPalette::ColorGroup group) {
    if (item.state & QStyle::State_Selected) {
        return item.palette.color(group, QPalette::HighlightedText);
    }
    // A device that did not answer the last search is greyed, as the model's foreground says.
    if (item.index.data(MissingRole).toBool()) {
        return item.palette.color(QPalette::Disabled, QPalette::Text);
    }
    return item.palette.color(group, QPalette::Text);
}

void DeviceItemDelegate::paintFocus(QPainter* painter, const QStyleOptionViewItem& item,
                                    QPalette::ColorGroup group, const QRect& marked) {
    if (!(item.state & QStyle::State_HasFocus)) {
        return;
    }
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(item);
    focus.rect = marked;
    focus.backgroundColor = item.palette.color(
        group, (item.state & QStyle::State_Selected) ? QPalette::Highlight : QPalette::Base);
    const QWidget* widget = item.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
}

QSize DeviceItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    if (const auto* view = qobject_cast<const QListView*>(option.widget)) {
        return view->gridSize();
    }
    return option.rect.size();
}

}  // namespace nimbrel
