// SPDX-License-Identifier: MIT
// The list's fixed set of 32 x 32 device images, addressed by index.
#pragma once

#include <QIcon>
#include <QObject>
#include <QSize>
#include <vector>

namespace nimbrel {

class ImageList : public QObject {
public:
    /// Loads `:/icons/device-00.png` to `device-<count-1>.png`; a missing image stays empty.
    ImageList(int count, QSize size, QObject* parent);

    QIcon icon(int index) const;
    int count() const { return static_cast<int>(icons_.size()); }
    QSize imageSize() const { return size_; }

private:
    std::vector<QIcon> icons_;
    QSize size_;
};

}  // namespace nimbrel
