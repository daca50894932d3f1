// SPDX-License-Identifier: MIT
#include "main/image_list.h"

#include <QPixmap>

namespace nimbrel {

ImageList::ImageList(int count, QSize size, QObject* parent) : QObject(parent), size_(size) {
    for (int index = 0; index < count; ++index) {
        const QString path =
            QStringLiteral(":/icons/device-%1.png").arg(index, 2, 10, QLatin1Char('0'));
        QPixmap image(path);
        if (image.isNull()) {
            // An empty image of the right size keeps every item the same height.
            image = QPixmap(size_);
            image.fill(Qt::transparent);
        }
        icons_.emplace_back(image);
    }
}

QIcon ImageList::icon(int index) const {
    if (index < 0 || index >= count()) {
        return {};
    }
    return icons_[static_cast<std::size_t>(index)];
}

}  // namespace nimbrel
