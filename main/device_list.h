// SPDX-License-Identifier: MIT
// The device list: an icon view whose cells grow with the font, and whose selected item is
// drawn last, so that its whole caption lies on top of the items below it.
#pragma once

#include <QListWidget>

namespace nimbrel {

class DeviceList : public QListWidget {
    Q_OBJECT

public:
    explicit DeviceList(QWidget* parent);

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void fitCellsToFont();
};

}  // namespace nimbrel
