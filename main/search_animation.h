// SPDX-License-Identifier: MIT
// The search animation, 29 frames on a transparent background, repeating until it is stopped.
#pragma once

#include <QLabel>
#include <QPixmap>
#include <memory>
#include <vector>

class QTimer;

namespace nimbrel {

class SearchAnimation : public QLabel {
public:
    static constexpr int FrameCount = 29;

    explicit SearchAnimation(QWidget* parent);
    ~SearchAnimation() override;

    /// Plays from the first frame; showing is left to the caller.
    void start();
    void stop();

    bool isPlaying() const;
    int frame() const { return frame_; }

private:
    void showFrame(int frame);

    std::vector<QPixmap> frames_;
    QTimer* timer_;
    int frame_ = 0;
};

}  // namespace nimbrel
