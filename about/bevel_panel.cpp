// SPDX-License-Identifier: MIT
#include "about/bevel_panel.h"

#include <qdrawutil.h>
#include <QPainter>

namespace nimbrel {

BevelPanel::BevelPanel(QWidget* parent) : QFrame(parent) {
    // The frame is painted here, not by QFrame, so it takes no room from the children.
    setFrameShape(QFrame::NoFrame);
}

void BevelPanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect outer = rect();
    qDrawShadePanel(&painter, outer, palette(), /*sunken=*/true, 1);
    qDrawShadePanel(&painter, outer.adjusted(1, 1, -1, -1), palette(), /*sunken=*/false, 1);
}

}  // namespace nimbrel
