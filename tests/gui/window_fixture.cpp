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

QListWidget* WindowTest::list() {
    return window_->findChild<QListWidget*>("deviceList");
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
    const auto* list = window.findChild<QListWidget*>("deviceList");
    QStringList texts;
    for (int row = 0; row < list->count(); ++row) {
        texts << list->item(row)->text();
    }
    return texts;
}

void WindowTest::selectRow(int row) {
    const QRect place = list()->visualItemRect(list()->item(row));
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, place.center());
}

void WindowTest::clickEmptySpot() {
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, QPoint(380, 370));
}

}  // namespace nimbrel::testing
