// Keeps the program's other windows from taking input for as long as a modal showing lasts.
#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

namespace nimbrel {

/// For as long as it lives, every other visible and enabled top-level window is disabled; then
/// each is enabled again and gets back the focus widget that disabling took from it.
class OtherWindowsDisabled {
public:
    explicit OtherWindowsDisabled(const QWidget* except);
    ~OtherWindowsDisabled();
    OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
    OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

private:
    struct Disabled {
        QPointer<QWidget> window;
        QPointer<QWidget> focus;
    };
    std::vector<Disabled> disabled_;
};

}  // namespace nimbrel
