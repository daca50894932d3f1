// SPDX-License-Identifier: MIT
// A panel framed by two one-pixel bevels: the outer one lowered, the inner one raised.
#pragma once

#include <QFrame>

namespace nimbrel {

/// The About window's framed face that holds its icon and texts. It draws the double bevel
/// itself, taking no room from the frame, so that each child is placed in the panel's own
/// coordinates, counted from its top-left corner.
class BevelPanel : public QFrame {
    Q_OBJECT

public:
    explicit BevelPanel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace nimbrel
