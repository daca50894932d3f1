// SPDX-License-Identifier: MIT
// A panel framed by two one-pixel bevels: the outer one lowered, the inner one raised.
#pragma once

#include <QFrame>

namespace nimbrel {

/// Draws the double bevel itself so that children keep coordinates relative to the panel's own
/// top-left corner, as laid out in the designer.
class BevelPanel : public QFrame {
    Q_OBJECT

public:
    explicit BevelPanel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace nimbrel
