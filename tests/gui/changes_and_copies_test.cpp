// SPDX-License-Identifier: MIT
// What the window adds on top of a search's list: the device history's marks (new, not
// answering), the context menu's copies, the saved list, the interface with Search All
// Networks, and one failure box for failures that repeat.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include "app/failure_report.h"
#include "app/startup.h"
#include "main/device_model.h"
#include "tests/gui/window_fixture.h"
#include "tools/report.h"

namespace nimbrel::testing {
namespace {

QString clipboardText() {
    return QGuiApplication::clipboard()->text();
}

DeviceView deviceOn(std::string model, std::uint8_t last, const char* interfaceName) {
    DeviceView device = makeDevice(std::move(model), last, {2, 0, 0, 0, 0, last});
    device.interfaceName = interfaceName;
    return device;
}

class ChangesTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        showWindow();
    }
    QVariant role(int row, int role) {
        return list()->model()->index(row, DeviceModel::Caption).data(role);
    }
};

TEST_F(ChangesTest, NewDevicesAreMarkedForOneSearchAndMissingOnesGreyedUntilBackOrGone) {
    const DeviceView a = makeDevice("A", 1, {1, 1, 1, 1, 1, 1});
    const DeviceView b = makeDevice("B", 2, {2, 2, 2, 2, 2, 2});
    found({a});
    EXPECT_FALSE(role(0, NewRole).toBool());  // the first search has nothing to compare with
    found({a, b});
    EXPECT_FALSE(role(0, NewRole).toBool());
    EXPECT_TRUE(role(1, NewRole).toBool());
    EXPECT_TRUE(role(1, Qt::FontRole).value<QFont>().bold());

    found({a});  // B misses one search: still listed, greyed
    ASSERT_EQ(captions(), (QStringList{"A 192.0.2.1", "B 192.0.2.2"}));
    EXPECT_FALSE(role(1, NewRole).toBool());
    EXPECT_TRUE(role(1, MissingRole).toBool());
    EXPECT_TRUE(role(1, Qt::ForegroundRole).isValid());
    EXPECT_FALSE(role(0, MissingRole).toBool());
    selectRow(1);
    const QString lastSeen = table()->model()->index(1, DeviceModel::LastSeen).data().toString();
    EXPECT_EQ(window().statusText(),
              "MAC:02-02-02-02-02-02  VER:1.6.2  not answering since " + lastSeen);
    // Copy and Open still act on it.
    window().copyAddress();
    EXPECT_EQ(clipboardText(), "192.0.2.2");

    found({b, a});  // back before it is gone: neither greyed nor new
    EXPECT_EQ(captions(), (QStringList{"B 192.0.2.2", "A 192.0.2.1"}));
    EXPECT_FALSE(role(0, MissingRole).toBool());
    EXPECT_FALSE(role(0, NewRole).toBool());
    found({a});
    found({a});  // two misses in a row: gone
    EXPECT_EQ(captions(), QStringList{"A 192.0.2.1"});
}

TEST_F(ChangesTest, SearchAllNetworksSearchesAtOnceAndShowsEachItemsInterface) {
    found({deviceOn("A", 1, "eth0")});
    const int starts = runner().starts;
    action("allNetworksAction")->trigger();
    EXPECT_EQ(runner().starts, starts + 1);
    EXPECT_TRUE(runner().allNetworks());
    runner().finish({deviceOn("A", 1, "eth0"), deviceOn("A", 1, "wlan\x1B")});

    // The same device reached two ways: told apart by the third caption line.
    EXPECT_EQ(role(0, InterfaceLineRole).toString(), "eth0");
    EXPECT_EQ(role(1, InterfaceLineRole).toString(), QStringLiteral("wlan\u241B"));
    selectRow(1);
    EXPECT_EQ(window().statusText(),
              QStringLiteral("MAC:02-00-00-00-00-01  VER:1.6.2  Interface: wlan\u241B"));

    action("allNetworksAction")->trigger();
    EXPECT_EQ(runner().starts, starts + 2);
    EXPECT_TRUE(role(0, InterfaceLineRole).toString().isEmpty());
    EXPECT_EQ(window().statusText(), "MAC:02-00-00-00-00-01  VER:1.6.2");
}

class CopyMenuTest : public ChangesTest {};

TEST_F(CopyMenuTest, ContextMenuCopiesAddressMacAndRowOfTheDeviceUnderTheClick) {
    found({makeDevice("A", 1, {1, 1, 1, 1, 1, 1}),
           makeDevice("QZL-TMR1", 7, {0xA0, 1, 2, 3, 0, 0}, "2.0\t1")});
    const QPoint second =
        list()->visualRect(list()->model()->index(1, DeviceModel::Caption)).center();
    QTest::mouseClick(list()->viewport(), Qt::RightButton, {}, second);
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, second,
                                list()->viewport()->mapToGlobal(second));
    QApplication::sendEvent(list()->viewport(), &menuEvent);

    QMenu* menu = window().contextMenu();
    ASSERT_TRUE(menu->isVisible());
    QStringList items;
    for (const QAction* item : menu->actions()) {
        items << item->text();
    }
    EXPECT_EQ(items,
              (QStringList{"Copy &IPv4 Address", "Copy &MAC Address", "Copy &Row", "", "&Open"}));
    menu->hide();

    menu->actions()[0]->trigger();
    EXPECT_EQ(clipboardText(), "192.0.2.7");
    menu->actions()[1]->trigger();
    EXPECT_EQ(clipboardText(), "A0-01-02-03-FF-FF");  // as the status bar shows it
    menu->actions()[2]->trigger();
    EXPECT_EQ(clipboardText(),
              QStringLiteral("QZL-TMR1\t192.0.2.7\tA0-01-02-03-FF-FF\t2.0\u24091\t") +
                  table()->model()->index(1, DeviceModel::LastSeen).data().toString() + "\n");
}

TEST_F(CopyMenuTest, TheMenuKeyOpensTheMenuAtTheSelectedDeviceAndNothingSelectedOpensNone) {
    found({makeDevice("A", 1, {1, 1, 1, 1, 1, 1}), makeDevice("B", 2, {2, 2, 2, 2, 2, 2})});
    selectRow(1);
    const QPoint corner = list()->viewport()->rect().bottomRight() - QPoint(4, 4);
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, corner,
                              list()->viewport()->mapToGlobal(corner));
    QApplication::sendEvent(list()->viewport(), &menuKey);

    QMenu* menu = window().contextMenu();
    ASSERT_TRUE(menu->isVisible());
    const QRect item = list()->visualRect(list()->model()->index(1, DeviceModel::Caption));
    EXPECT_EQ(menu->pos(), list()->viewport()->mapToGlobal(item.center()));
    menu->hide();

    clickEmptySpot();
    QApplication::sendEvent(list()->viewport(), &menuKey);
    EXPECT_FALSE(menu->isVisible());
}

TEST_F(CopyMenuTest, InDetailsCtrlASelectsEveryRowAndCopyRowsAddsTheHeader) {
    window().setView(MainWindow::View::Details);
    found({makeDevice("A", 1, {1, 1, 1, 1, 1, 1}), makeDevice("B", 2, {2, 2, 2, 2, 2, 2})});
    table()->setFocus();
    QTest::keyClick(table(), Qt::Key_A, Qt::ControlModifier);
    ASSERT_EQ(table()->selectionModel()->selectedRows().size(), 2);

    window().copyRows();

    const QString seen = table()->model()->index(0, DeviceModel::LastSeen).data().toString();
    EXPECT_EQ(clipboardText(),
              "Model\tIPv4\tMAC\tFirmware\tLast seen\n"
              "A\t192.0.2.1\t01-01-01-01-01-01\t1.6.2\t" +
                  seen + "\nB\t192.0.2.2\t02-02-02-02-02-02\t1.6.2\t" + seen + "\n");
}

class SaveListTest : public ChangesTest {
protected:
    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
    static QByteArray contents(const QString& fileName) {
        QFile file(fileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
    }
    // Not the default name, which holds the application's name and so a "/".
    QTemporaryDir dir_{QDir::tempPath() + "/list-XXXXXX"};
};

TEST_F(SaveListTest, CsvQuotesCommasQuotesAndLineBreaksAndKeepsEveryByte) {
    DeviceView odd = makeDevice("Caf\xE9 \"AP\", 2\r\nfloor", 9, {4, 5, 6, 7, 8, 9}, "1.0");
    odd.interfaceName = "br\xFF";
    found({makeDevice("A", 1, {1, 1, 1, 1, 1, 1}), odd});

    ASSERT_TRUE(window().saveList(path("devices.csv")));

    EXPECT_EQ(contents(path("devices.csv")).toStdString(),
              "model,ipv4,mac,firmware,copy_text,source,interface,interface_hex\r\n"
              "A,192.0.2.1,01-01-01-01-01-01,1.6.2,,0.0.0.0:0,,\r\n"
              "\"Caf\xC3\xA9 \"\"AP\"\", 2\r\nfloor\",192.0.2.9,04-05-06-07-08-09,1.0,,"
              "0.0.0.0:0,br\xEF\xBF\xBD,6272ff\r\n");
}

// The devices that the find text leaves in view, in the report of nimbrel-discover, byte for
// byte; a name ending in ".JSON" is JSON too.
TEST_F(SaveListTest, JsonIsTheReportOfNimbrelDiscoverForWhatTheFindTextLeavesInView) {
    std::vector<DeviceView> devices{makeDevice("A", 1, {1, 1, 1, 1, 1, 1}, "1", "copy\x1B"),
                                    deviceOn("B\x7F", 2, "eth\xC0")};
    found(devices, 1, 2);

    ASSERT_TRUE(window().saveList(path("devices.json")));
    EXPECT_EQ(contents(path("devices.json")).toStdString(),
              tools::jsonReport(SearchResult{devices, 1, 0, 2}));

    window().setFindText("B");
    ASSERT_TRUE(window().saveList(path("devices.JSON")));
    EXPECT_EQ(contents(path("devices.JSON")).toStdString(),
              tools::jsonReport(SearchResult{{devices[1]}, 1, 0, 2}));
}

TEST_F(SaveListTest, AFailedWriteSaysWhyInABoxAndLeavesTheOlderFile) {
    found({makeDevice("A", 1)});
    ASSERT_TRUE(QDir(dir_.path()).mkdir("taken"));
    ExpectBoxes box;

    EXPECT_FALSE(window().saveList(path("taken")));

    EXPECT_EQ(box.box().icon, QMessageBox::Critical);
    const QString start =
        "The list could not be saved to " + QDir::toNativeSeparators(path("taken"));
    EXPECT_TRUE(box.box().text.startsWith(start + ":\n")) << box.box().text.toStdString();
    EXPECT_GT(box.box().text.size(), start.size() + 2);
    EXPECT_TRUE(QFileInfo(path("taken")).isDir());
}

// Auto Refresh on a network that is down: a failure every few seconds.
class RepeatedFailureTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto runner = std::make_unique<FakeSearchRunner>();
        runner_ = runner.get();
        startup_ = std::make_unique<Startup>(std::move(runner));
        MessageDialog::setTestLeavesFailuresOpen(true);
    }
    void TearDown() override {
        MessageDialog::setTestLeavesFailuresOpen(false);
        if (QMessageBox* open = startup_->failureReports().openBox()) {
            open->done(QMessageBox::Ok);
        }
    }
    void failTimes(int count) {
        for (int failure = 0; failure < count; ++failure) {
            ASSERT_TRUE(startup_->window().search());
            runner_->fail(socketError(10050));
        }
    }
    QAction* action(const char* name) { return startup_->window().findChild<QAction*>(name); }

    FakeSearchRunner* runner_ = nullptr;
    std::unique_ptr<Startup> startup_;
};

TEST_F(RepeatedFailureTest, TenFailuresOpenOneBoxThatCountsTheRestAndLeavesTheMenuUsable) {
    ExpectBoxes boxes(2);
    action("autoRefreshAction")->trigger();

    failTimes(10);

    ASSERT_EQ(boxes.count(), 1);
    QMessageBox* open = startup_->failureReports().openBox();
    ASSERT_NE(open, nullptr);
    EXPECT_TRUE(open->isVisible());
    EXPECT_EQ(open->windowModality(), Qt::NonModal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(open->informativeText(), "9 more failures followed.");
    // The menu still answers: Auto Refresh can be switched off.
    action("autoRefreshAction")->trigger();
    EXPECT_FALSE(action("autoRefreshAction")->isChecked());

    // Once closed, the next failure shows again.
    open->done(QMessageBox::Ok);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(startup_->failureReports().openBox(), nullptr);
    failTimes(1);
    EXPECT_EQ(boxes.count(), 2);
    ASSERT_NE(startup_->failureReports().openBox(), nullptr);
    EXPECT_TRUE(startup_->failureReports().openBox()->informativeText().isEmpty());
}

}  // namespace
}  // namespace nimbrel::testing
