// The application shell in-process: a startup whose main window searches a device simulator
// on 127.0.0.1 with short timings, so nothing is sent anywhere else.
#pragma once

#include <gtest/gtest.h>
#include <QListWidget>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <vector>

#include "app/startup.h"
#include "main/search_animation.h"
#include "tests/gui/form_fixture.h"

namespace nimbrel::testing {

class StartupTest : public ::testing::Test {
protected:
    /// Starts the simulator and builds the startup; no window exists yet.
    void Prepare(std::vector<tools::SimulatedReply> replies, int showCommand = ShowDefault,
                 SearchTimings timings = {});

    /// The simulator answers the following searches with these replies, on the same port.
    void ReplaceReplies(std::vector<tools::SimulatedReply> replies);

    Startup& App() { return *startup_; }
    TForm1& Form();
    TAboutBox& About();
    QListWidget* List();
    SearchAnimation* Animation();
    QAction* Action(const char* name);
    QTimer* Timer();
    QStringList Captions();
    /// Requests of every simulator that answered so far.
    int Requests() const { return earlierRequests_ + simulator_->RequestCount(); }

    /// The main window exists, is shown and has been exposed.
    bool OnScreen();
    /// On screen, with no search running.
    bool Idle();

    /// Where the main window's endpoint sends its requests.
    std::string targetHost_ = "127.0.0.1";

    // The windows go before the simulator that they search.
    std::unique_ptr<SimulatorThread> simulator_;
    int earlierRequests_ = 0;
    std::unique_ptr<Startup> startup_;
    /// Ends every running loop of a program that does not end by itself, failing the test.
    std::unique_ptr<QTimer> watchdog_;
};

/// A device of model `model` at 192.0.2.`last`.
tools::DeviceSpec Device(std::string model, std::uint8_t last);

}  // namespace nimbrel::testing
