// SPDX-License-Identifier: MIT
#include "main/search_animation.h"

#include <QTimer>

namespace nimbrel {

namespace {

constexpr int FrameMilliseconds = 60;

QString framePath(int frame) {
    return QStringLiteral(":/animation/search-%1.png").arg(frame, 2, 10, QLatin1Char('0'));
}

}  // namespace

SearchAnimation::SearchAnimation(QWidget* parent) : QLabel(parent), timer_(new QTimer(this)) {
    // No background of its own (a label fills none unless told to): the frames are transparent
    // around the drawing, which stands out on a light palette as on a dark one.
    setAlignment(Qt::AlignCenter);
    // The first frame only: it gives the label its size. The others are read when the
    // animation first plays, which is after the window has been shown.
    frames_.emplace_back(framePath(0));
    timer_->setInterval(FrameMilliseconds);
    connect(timer_, &QTimer::timeout, this, [this] { showFrame((frame_ + 1) % FrameCount); });
    showFrame(0);
}

SearchAnimation::~SearchAnimation() = default;

void SearchAnimation::start() {
    for (int frame = static_cast<int>(frames_.size()); frame < FrameCount; ++frame) {
        // A missing frame is an empty picture; the other frames still play.
        frames_.emplace_back(framePath(frame));
    }
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
