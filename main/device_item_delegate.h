// SPDX-License-Identifier: MIT
// Draws a device as the icon views show it, from the model's values. Large: the image centred
// at the top of its cell, below it the model on as many lines as fit and the IPv4 address
// always on its own last line, all as plain text; the selected item shows its whole caption,
// reaching below its cell if it must, as a desktop icon view shows the label of its focused
// item. Compact: the small image, then "model IPv4" on one line, cut with "…" if too long.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStyledItemDelegate>
#include <vector>

namespace nimbrel {

struct CaptionLine {
    QString text;
    QRect rect;  // where the line is drawn, centred in it
};

class DeviceItemDelegate : public QStyledItemDelegate {
public:
    static constexpr int Margin = 2;

    using QStyledItemDelegate::QStyledItemDelegate;

    /// The caption's lines in `cell` as paint draws them: the model wrapped between words (or
    /// anywhere in a word too long for a line), then the address, then the interface when one
    /// is given (elided with "…" if too long). Unless `whole`, the model takes only the lines
    /// that fit above the address, its last one elided with "…".
    static std::vector<CaptionLine> captionLines(const QFont& font, const QRect& cell,
                                                 QSize imageSize, const QString& model,
                                                 const QString& address, bool whole,
                                                 const QString& interfaceName = {});

    /// A cell that holds the image and two lines of caption, one of them the widest address,
    /// (three with `interfaceLine`) and never smaller than the view's design of 112 x 66 pixels.
    static QSize cellSize(const QFont& font, QSize imageSize, bool interfaceLine = false);

    /// A compact cell: the image beside one line of `captionWidth` pixels, the widest caption of
    /// the listed devices; never narrower than the widest address with a short model, and never
    /// wider than a long model beside it (longer ones are cut with "…").
    static QSize compactCellSize(const QFont& font, QSize imageSize, int captionWidth = 0);

    /// Draws the compact layout rather than the large one.
    void setCompact(bool compact) { compact_ = compact; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    /// Every item fills one grid cell of the view.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void paintCompact(QPainter* painter, const QStyleOptionViewItem& item,
                      QPalette::ColorGroup group) const;
    static QColor textColour(const QStyleOptionViewItem& item, QPalette::ColorGroup group);
    static void paintFocus(QPainter* painter, const QStyleOptionViewItem& item,
                           QPalette::ColorGroup group, const QRect& marked);

    bool compact_ = false;
};

}  // namespace nimbrel
