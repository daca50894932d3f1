// SPDX-License-Identifier: MIT
// A main window whose searches a test ends by hand, with the devices or the error it chooses.
#pragma once

#include <gtest/gtest.h>
#include <QListView>
#include <QTableView>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "main/main_window.h"
#include "main/search_animation.h"
#include "tests/gui/expected_boxes.h"

namespace nimbrel::testing {

/// Stands in for the search: `start` only notes the request; the test says how it ends.
class FakeSearchRunner final : public SearchRunner {
public:
    Search::StartOutcome start() override;
    bool running() const override { return running_; }
    void setAllNetworks(bool on) override { allNetworks_ = on; }
    bool allNetworks() const { return allNetworks_; }

    void finish(std::vector<DeviceView> devices, int leftOut = 0, int lostReplies = 0);
    void fail(const Error& error);

    int starts = 0;
    bool lookUpFails = false;
    std::optional<Error> failAtStart;

private:
    bool running_ = false;
    bool allNetworks_ = false;
};

/// A device as a search reports it, its icon and listed MAC chosen by its model.
DeviceView makeDevice(std::string model, std::uint8_t last, MacBytes mac = {2, 0, 0, 0, 0, 1},
                      std::string firmware = "1.6.2", std::string copyText = "");

/// The error of a datagram too long for the buffer.
Error messageTooLong();

/// `count` devices of a few models, each with its own MAC and IPv4 address.
std::vector<DeviceView> manyDevices(int count);

/// The captions ("model IPv4") of the devices that `window` lists, in the order shown.
QStringList captions(const MainWindow& window);

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;

    /// Shows the window and waits until it is active.
    void showWindow();
    /// A search that finds `devices`.
    void found(std::vector<DeviceView> devices, int leftOut = 0, int lostReplies = 0);

    MainWindow& window() { return *window_; }
    FakeSearchRunner& runner() { return *runner_; }
    /// The icon views (Large and Small Image).
    QListView* list();
    /// The details table.
    QTableView* table();
    /// The view shown now.
    QAbstractItemView* shownView();
    SearchAnimation* animation();
    QAction* action(const char* name);
    QStringList captions() { return testing::captions(*window_); }
    /// A click on the row's item in the view shown now.
    void selectRow(int row);
    /// The row selected in the view shown now, or -1.
    int selectedRow();
    /// A click on the empty part of the list, which clears the selection.
    void clickEmptySpot();

    FakeSearchRunner* runner_ = nullptr;
    std::unique_ptr<MainWindow> window_;
};

}  // namespace nimbrel::testing
