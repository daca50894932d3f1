// The device simulator on 127.0.0.1 and a system-chosen port, answering in a thread of its own
// for as long as the object lives.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <utility>
#include <vector>

#include "tools/device_simulator.h"

namespace nimbrel::testing {

class RunningSimulator {
public:
    explicit RunningSimulator(std::vector<tools::SimulatedReply> replies)
        : simulator_(platform::Peer{{127, 0, 0, 1}, 0}, std::move(replies)),
          thread_([this] { simulator_.Run(stop_); }) {}

    ~RunningSimulator() {
        stop_ = true;
        thread_.join();
    }

    RunningSimulator(const RunningSimulator&) = delete;
    RunningSimulator& operator=(const RunningSimulator&) = delete;

    std::uint16_t Port() const { return simulator_.Local().port; }
    std::vector<tools::ReceivedRequest> Requests() const { return simulator_.Requests(); }

private:
    std::atomic<bool> stop_{false};
    tools::DeviceSimulator simulator_;
    std::thread thread_;
};

}  // namespace nimbrel::testing
