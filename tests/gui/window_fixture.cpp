// SPDX-License-Identifier: MIT
#include "tests/gui/window_fixture.h"

#include <QSettings>
#include <QTest>

#include "discovery/device_view.h"
#include "tests/discovery/reply_bytes.h"

namespace nimbrel::testing {

Search::StartOutcome FakeSearchRunner::Start() {
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

void FakeSearchRunner::Finish(std::vector<DeviceView> devices, int leftOut) {
    running_ = false;
    Q_EMIT finished(SearchResult{std::move(devices), leftOut, 0});
}

void FakeSearchRunner::Fail(const Error& error) {
    running_ = false;
    Q_EMIT failed(error);
}

DeviceView Device(std::string model, std::uint8_t last, MacBytes mac, std::string firmware,
                  std::string copyText) {
    // As the core views a reply of these fields, icon and listed MAC included.
    DeviceTable table;
    table.AddReply(Reply({{FieldAddress, AddressValue(mac, {192, 0, 2, last})},
                          {FieldFirmware, Text(firmware)},
                          {FieldModel, Text(model)},
                          {FieldCopyText, Text(copyText)}}));
    return ViewDevice(table, 0);
}

Error MessageTooLong() {
    return SocketError(10040);
}

void WindowTest::SetUp() {
    // Each window starts from the defaults, whatever a test before it left in the settings.
    QSettings(QStringLiteral("Nimbrel"), QStringLiteral("nimbrel-utility")).clear();
    auto runner = std::make_unique<FakeSearchRunner>();
    runner_ = runner.get();
    window_ = std::make_unique<MainWindow>(std::move(runner));
}

void WindowTest::Show() {
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
}

void WindowTest::Found(std::vector<DeviceView> devices, int leftOut) {
    ASSERT_TRUE(window_->search());
    runner_->Finish(std::move(devices), leftOut);
}

QListWidget* WindowTest::List() {
    return window_->findChild<QListWidget*>("deviceList");
}

SearchAnimation* WindowTest::Animation() {
    return window_->findChild<SearchAnimation*>("searchAnimation");
}

QAction* WindowTest::Action(const char* name) {
    auto* action = window_->findChild<QAction*>(name);
    EXPECT_NE(action, nullptr) << name;
    return action;
}

QStringList WindowTest::Captions() {
    QStringList captions;
    for (int row = 0; row < List()->count(); ++row) {
        captions << List()->item(row)->text();
    }
    return captions;
}

void WindowTest::Select(int row) {
    const QRect place = List()->visualItemRect(List()->item(row));
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, place.center());
}

void WindowTest::ClickEmptySpot() {
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, QPoint(380, 370));
}

}  // namespace nimbrel::testing
