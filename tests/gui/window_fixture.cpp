// SPDX-License-Identifier: MIT
#include "tests/gui/window_fixture.h"

#include <QSettings>
#include <QTest>

#include "discovery/device_view.h"
#include "tests/discovery/reply_bytes.h"

namespace nimbrel::testing {

Search::StartOutcome FakeSearchRunner::start() {
    if (running_) {
        return Search::StartOutcome::AlreadyRunning;
    }
    ++starts;
    if (lookUpFails) {
        return Search::StartOutcome::LookUpFailed;
    }
    if (failAtStart) {
        Q_EMIT failed(*failAtStart);
        return Search::StartOutcome::Failed;
    }
    running_ = true;
    Q_EMIT started();
    return Search::StartOutcome::Started;
}

void FakeSearchRunner::finish(std::vector<DeviceView> devices, int leftOut, int lostReplies) {
    running_ = false;
    Q_EMIT finished(SearchResult{std::move(devices), leftOut, 0, lostReplies});
}

void FakeSearchRunner::fail(const Error& error) {
    running_ = false;
    Q_EMIT failed(error);
}

DeviceView makeDevice(std::string model, std::uint8_t last, MacBytes mac, std::string firmware,
                      std::string copyText) {
    // As the core views a reply of these fields, icon and listed MAC included.
    DeviceTable table;
    table.addReply(reply({{FieldAddress, addressValue(mac, {192, 0, 2, last})},
                          {FieldFirmware, text(firmware)},
                          {FieldModel, text(model)},
                          {FieldCopyText, text(copyText)}}));
    return viewDevice(table, 0);
}

Error messageTooLong() {
    return socketError(10040);
}

void WindowTest::SetUp() {
    // Each window starts from the defaults, whatever a test before it left in the settings.
    QSettings(QStringLiteral("Nimbrel"), QStringLiteral("nimbrel-utility")).clear();
    auto runner = std::make_unique<FakeSearchRunner>();
    runner_ = runner.get();
    window_ = std::make_unique<MainWindow>(std::move(runner));
}

void WindowTest::showWindow() {
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
}

void WindowTest::found(std::vector<DeviceView> devices, int leftOut, int lostReplies) {
    ASSERT_TRUE(window_->search());
    runner_->finish(std::move(devices), leftOut, lostReplies);
}

std::vector<DeviceView> manyDevices(int count) {
    static const char* const models[] = {"QZL-TMR1-AC-A", "QZL-TVX2-W", "QZH-P-AC", "Other"};
    std::vector<DeviceView> devices;
    devices.reserve(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        const auto high = static_cast<std::uint8_t>(index >> 8);
        const auto low = static_cast<std::uint8_t>(index & 0xFF);
        DeviceView device = makeDevice(models[index % 4], low, {2, 0, 0, 0, high, low});
        device.ipv4[2] = high;
        devices.push_back(std::move(device));
    }
    return devices;
}

QListView* WindowTest::list() {
    return window_->findChild<QListView*>("deviceList");
}

QTableView* WindowTest::table() {
    return window_->findChild<QTableView*>("deviceTable");
}

QAbstractItemView* WindowTest::shownView() {
    if (window_->view() == MainWindow::View::Details) {
        return table();
    }
    return list();
}

SearchAnimation* WindowTest::animation() {
    return window_->findChild<SearchAnimation*>("searchAnimation");
}

QAction* WindowTest::action(const char* name) {
    auto* action = window_->findChild<QAction*>(name);
    EXPECT_NE(action, nullptr) << name;
    return action;
}

QStringList captions(const MainWindow& window) {
    const auto* list = window.findChild<QListView*>("deviceList");
    const QAbstractItemModel* model = list->model();
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row) {
        texts << model->index(row, list->modelColumn()).data().toString();
    }
    return texts;
}

void WindowTest::selectRow(int row) {
    QAbstractItemView* view = shownView();
    const QModelIndex index = view->model()->index(row, list()->modelColumn());
    view->scrollTo(index);
    QRect place = view->visualRect(index);
    if (view == table()) {
        place = view->visualRect(view->model()->index(row, 0));
    }
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, place.center());
}

int WindowTest::selectedRow() {
    const QModelIndexList selected = list()->selectionModel()->selectedRows(list()->modelColumn());
    return selected.isEmpty() ? -1 : selected.front().row();
}

void WindowTest::clickEmptySpot() {
    QWidget* viewport = shownView()->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, viewport->rect().bottomRight() - QPoint(4, 4));
}

}  // namespace nimbrel::testing
