// SPDX-License-Identifier: MIT
// The icon views of the devices, on the shared model: "Large Image", whose cells grow with the
// font and whose selected item is drawn last, so that its whole caption lies on top of the
// items below it; and "Small Image", small images with a one-line caption in a compact grid.
// Both flow left to right, wrap at the view's width and scroll when the devices do not fit.
#pragma once

#include <QListView>

namespace nimbrel {

class DeviceItemDelegate;

class DeviceList : public QListView {
    Q_OBJECT

public:
    explicit DeviceList(QWidget* parent);

    /// Small images and one-line captions, or the large view.
    void setCompact(bool compact);

    /// Large cells with room for a third caption line, the interface.
    void setInterfaceLine(bool on);

    /// A new set of devices: the compact cells take the width of its widest caption.
    void reset() override;

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

private:
    void fitCellsToFont();
    int widestCompactCaption() const;

    DeviceItemDelegate* delegate_;
    bool compact_ = false;
    bool interfaceLine_ = false;
};

}  // namespace nimbrel
