// SPDX-License-Identifier: MIT
// Draws a list item as the icon view shows devices: the image centred at the top of its cell,
// below it the model on as many lines as fit and the IPv4 address always on its own last line,
// all as plain text. The selected item shows its whole caption, reaching below its cell if it
// must, as a desktop icon view shows the label of its focused item.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStyledItemDelegate>
#include <vector>

namespace nimbrel {

/// Items keep the DeviceView that they show under this role.
inline constexpr int DeviceViewRole = Qt::UserRole;

struct CaptionLine {
    QString text;
    QRect rect;  // where the line is drawn, centred in it
};

class DeviceItemDelegate : public QStyledItemDelegate {
public:
    static constexpr int Margin = 2;

    using QStyledItemDelegate::QStyledItemDelegate;

    /// The caption's lines in `cell` as paint draws them: the model wrapped between words (or
    /// anywhere in a word too long for a line), then the address. Unless `whole`, the model
    /// takes only the lines that fit above the address, its last one elided with "…".
    static std::vector<CaptionLine> captionLines(const QFont& font, const QRect& cell,
                                                 QSize imageSize, const QString& model,
                                                 const QString& address, bool whole);

    /// A cell that holds the image and two lines of caption, one of them the widest address,
    /// and never smaller than the view's design of 112 x 66 pixels.
    static QSize cellSize(const QFont& font, QSize imageSize);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    /// Every item fills one grid cell of the view.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace nimbrel
