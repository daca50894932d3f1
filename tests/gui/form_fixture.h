// A main window searching a device simulator on 127.0.0.1 with short timings.
#pragma once

#include <gtest/gtest.h>
#include <QListWidget>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "main/main_window.h"
#include "main/search_animation.h"
#include "tests/gui/expected_boxes.h"
#include "tools/device_simulator.h"

namespace nimbrel::testing {

using namespace std::chrono_literals;

/// A simulator answering on 127.0.0.1 in a thread of its own until it is destroyed.
class SimulatorThread {
public:
    /// Port 0: the system chooses one.
    SimulatorThread(std::vector<tools::SimulatedReply> replies, std::uint16_t port = 0);
    ~SimulatorThread();
    SimulatorThread(const SimulatorThread&) = delete;
    SimulatorThread& operator=(const SimulatorThread&) = delete;

    std::uint16_t Port() const { return simulator_.Local().port; }
    int RequestCount() const { return static_cast<int>(simulator_.Requests().size()); }
    int RepliesSent() const { return simulator_.RepliesSent(); }

private:
    tools::DeviceSimulator simulator_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

std::vector<tools::SimulatedReply> Replies(const std::vector<tools::DeviceSpec>& devices,
                                           std::chrono::milliseconds delay = 0ms);

/// A reply with a model text and no address element at all.
std::vector<std::uint8_t> ReplyWithoutAddress(const std::string& model);

/// 202 bytes that begin like a reply: one more than the receive buffer holds.
std::vector<std::uint8_t> OverlongDatagram();

struct SearchTimings {
    std::chrono::milliseconds receiveTimeout = 200ms;
    std::chrono::milliseconds idleSlice = 20ms;
    std::chrono::milliseconds pause = 30ms;
};

class FormTest : public ::testing::Test {
protected:
    /// Starts the simulator, creates the window (its first search runs) and, when asked,
    /// shows it and waits until it is active (the second search runs).
    void Start(std::vector<tools::SimulatedReply> replies, bool show = true,
               SearchTimings timings = {});

    /// The simulator answers the following searches with these replies, on the same port.
    void ReplaceReplies(std::vector<tools::SimulatedReply> replies);

    TForm1& Form() { return *form_; }
    QListWidget* List();
    SearchAnimation* Animation();
    QAction* Action(const char* name);
    QStringList Captions();
    std::vector<int> ImageIndexes();
    void Select(int row);
    /// Both clicks of a double-click: the first one selects, or deselects on an empty spot.
    void DoubleClick(QPoint place);
    int Requests() const { return simulator_->RequestCount(); }

    /// Runs `action` in the first event pass of the search that `trigger` starts.
    void DuringNextSearch(std::function<void()> action);

    int quitRequests_ = 0;
    bool useRealQuit_ = false;
    std::unique_ptr<SimulatorThread> simulator_;
    std::unique_ptr<TForm1> form_;
};

}  // namespace nimbrel::testing
