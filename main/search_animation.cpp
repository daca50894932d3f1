// SPDX-License-Identifier: MIT
#include "main/search_animation.h"

#include <QPalette>
#include <QTimer>

namespace nimbrel {

namespace {

constexpr int FrameMilliseconds = 60;

}  // namespace

SearchAnimation::SearchAnimation(QWidget* parent) : QLabel(parent), timer_(new QTimer(this)) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);
    setAlignment(Qt::AlignCenter);
    for (int frame = 0; frame < FrameCount; ++frame) {
        // A missing frame is an empty picture: the white box still marks the search.
        frames_.emplace_back(
            QStringLiteral(":/animation/search-%1.png").arg(frame, 2, 10, QLatin1Char('0')));
    }
    timer_->setInterval(FrameMilliseconds);
    connect(timer_, &QTimer::timeout, this, [this] { showFrame((frame_ + 1) % FrameCount); });
    showFrame(0);
}

SearchAnimation::~SearchAnimation() = default;

void SearchAnimation::start() {
    showFrame(0);
    timer_->start();
}

void SearchAnimation::stop() {
    timer_->stop();
}

bool SearchAnimation::isPlaying() const {
    return timer_->isActive();
}

void SearchAnimation::showFrame(int frame) {
    frame_ = frame;
    setPixmap(frames_[static_cast<std::size_t>(frame)]);
}

}  // namespace nimbrel
