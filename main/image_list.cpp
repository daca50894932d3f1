// SPDX-License-Identifier: MIT
#include "main/image_list.h"

#include <QPixmap>

namespace nimbrel {

ImageList::ImageList(int count, QSize size, QObject* parent) : QObject(parent), size_(size) {
    for (int index = 0; index < count; ++index) {
        const QString path =
            QStringLiteral(":/icons/device-%1.png").arg(index, 2, 10, QLatin1Char('0'));
        QIcon icon;
        if (QPixmap image(path); !image.isNull()) {
            icon.addPixmap(image);
            // The 64 px twin: a screen at a scale of 2 draws it instead of enlarging the 32 px
            // image.
            const QString twin =
                QString(path).replace(QStringLiteral(".png"), QStringLiteral("@2x.png"));
            if (QPixmap large(twin); !large.isNull()) {
                icon.addPixmap(large);
            }
        } else {
            // An empty image of the right size keeps every item the same height.
            QPixmap empty(size_);
            empty.fill(Qt::transparent);
            icon.addPixmap(empty);
        }
        icons_.push_back(icon);
    }
}

QIcon ImageList::icon(int index) const {
    if (index < 0 || index >= count()) {
        return {};
    }
    return icons_[static_cast<std::size_t>(index)];
}

}  // namespace nimbrel
