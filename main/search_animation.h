// SPDX-License-Identifier: MIT
// The search animation, 29 frames on white, repeating until it is stopped.
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
    void Start();
    void Stop();

    bool IsPlaying() const;
    int Frame() const { return frame_; }

private:
    void ShowFrame(int frame);

    std::vector<QPixmap> frames_;
    QTimer* timer_;
    int frame_ = 0;
};

}  // namespace nimbrel
