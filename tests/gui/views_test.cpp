// SPDX-License-Identifier: MIT
// The three views of the devices, the details table's columns and sort, find, and the view,
// size and position kept in the settings file.
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <algorithm>

#include "main/device_model.h"
#include "tests/gui/expected_boxes.h"
#include "tests/gui/window_fixture.h"

namespace nimbrel::testing {
namespace {

class ViewsTest : public WindowTest {
protected:
    /// The texts of one column of the details table, in the order shown.
    QStringList column(int column) {
        QStringList texts;
        const QAbstractItemModel* model = table()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            texts << model->index(row, column).data().toString();
        }
        return texts;
    }
    QString countText() { return window().findChild<QLabel*>("countText")->text(); }
    QLineEdit* findField() { return window().findChild<QLineEdit*>("findField"); }
    static QSettings settings() {
        return QSettings(QStringLiteral("Nimbrel"), QStringLiteral("nimbrel-utility"));
    }
    /// The window of the next run, as it starts from the settings file.
    static std::unique_ptr<MainWindow> nextRun() {
        return std::make_unique<MainWindow>(std::make_unique<FakeSearchRunner>());
    }
};

TEST_F(ViewsTest, EachViewListsEveryDeviceOfA1024DeviceResult) {
    showWindow();
    found(manyDevices(1024));

    for (const char* name : {"largeImageAction", "smallImageAction", "detailsAction"}) {
        SCOPED_TRACE(name);
        action(name)->trigger();
        QAbstractItemView* view = shownView();
        ASSERT_TRUE(view->isVisible());
        ASSERT_EQ(view->model()->rowCount(), 1024);
        EXPECT_GT(view->verticalScrollBar()->maximum(), 0);  // more than fit: it scrolls
        const QModelIndex last =
            view->model()->index(1023, view == list() ? list()->modelColumn() : 0);
        view->scrollTo(last);
        EXPECT_TRUE(view->viewport()->rect().intersects(view->visualRect(last)));
    }
    EXPECT_TRUE(countText().isEmpty());
}

TEST_F(ViewsTest, SmallImagesFitMoreDevicesThanLargeOnes) {
    showWindow();
    found(manyDevices(64));
    const auto cells = [this] {
        const QSize grid = list()->gridSize();
        const QSize area = list()->viewport()->size();
        return (area.width() / grid.width()) * (area.height() / grid.height());
    };
    const int large = cells();
    QTest::keyClick(&window(), Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(list()->iconSize(), QSize(16, 16));
    EXPECT_GE(cells(), 2 * large);
    QTest::keyClick(&window(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(list()->iconSize(), QSize(32, 32));
}

TEST_F(ViewsTest, SmallImageCellsTakeTheWidestCaptionOfTheList) {
    showWindow();
    std::vector<DeviceView> devices = manyDevices(3);
    devices[1].model = "QZL-AP-OUTDOOR-5G-PRO";
    found(devices);
    action("smallImageAction")->trigger();
    const QString caption = list()->model()->index(1, list()->modelColumn()).data().toString();
    EXPECT_GT(list()->gridSize().width(), list()->fontMetrics().horizontalAdvance(caption));
}

TEST_F(ViewsTest, ArrowKeysGoOnFromTheCurrentDeviceAfterAViewSwitchOrARefresh) {
    showWindow();
    std::vector<DeviceView> devices = manyDevices(8);
    found(devices);
    action("detailsAction")->trigger();
    table()->setFocus();
    table()->setCurrentIndex(table()->model()->index(3, DeviceModel::Firmware));
    action("largeImageAction")->trigger();
    QTest::keyClick(list(), Qt::Key_Right);
    EXPECT_EQ(selectedRow(), 4);

    // A refresh that lists the devices in another order keeps the current device too.
    std::ranges::reverse(devices);
    found(devices);
    EXPECT_EQ(list()->currentIndex().row(), 3);
    EXPECT_EQ(selectedRow(), 3);
    QTest::keyClick(list(), Qt::Key_Left);
    EXPECT_EQ(selectedRow(), 2);
    EXPECT_EQ(window().selectedDevice()->ipv4, devices[2].ipv4);
}

TEST_F(ViewsTest, DetailsShowEachDevicesColumnsAsPlainVisibleText) {
    DeviceView device = makeDevice("QZL-TMR\r", 9, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x00}, "fw\x1B");
    device.interfaceName = "eth1";
    found({device});
    action("detailsAction")->trigger();

    EXPECT_EQ(column(DeviceModel::Model), QStringList{QString::fromUtf16(u"QZL-TMR\u240D")});
    EXPECT_EQ(column(DeviceModel::Ipv4), QStringList{"192.0.2.9"});
    // As the status bar shows it: this family's MAC one less.
    EXPECT_EQ(column(DeviceModel::Mac), QStringList{"00-1A-2B-3C-4C-FF"});
    EXPECT_EQ(column(DeviceModel::Firmware), QStringList{QString::fromUtf16(u"fw\u241B")});
    EXPECT_EQ(column(DeviceModel::Interface), QStringList{"eth1"});
    const QTime seen = QTime::fromString(column(DeviceModel::LastSeen).front(), "HH:mm:ss");
    ASSERT_TRUE(seen.isValid());
    const int apart = std::abs(seen.secsTo(QTime::currentTime()));
    EXPECT_LE(std::min(apart, 24 * 3600 - apart), 2);  // also when midnight lies between

    // The interface only while all networks are searched.
    EXPECT_TRUE(table()->isColumnHidden(DeviceModel::Interface));
    action("allNetworksAction")->trigger();
    EXPECT_FALSE(table()->isColumnHidden(DeviceModel::Interface));
    EXPECT_TRUE(table()->isColumnHidden(DeviceModel::Caption));
}

TEST_F(ViewsTest, AHeaderClickSortsByItsColumnAndTheSortIsKeptAcrossARefresh) {
    showWindow();
    const std::vector<DeviceView> devices{makeDevice("beta", 10, {0x10, 0, 0, 0, 0, 2}, "2.10"),
                                          makeDevice("Alpha", 9, {0x0F, 0xFF, 0, 0, 0, 1}, "2.9"),
                                          makeDevice("gamma", 100, {0x02, 0, 0, 0, 0, 3}, "10.0")};
    found(devices);
    action("detailsAction")->trigger();
    const auto click = [this](int section) {
        QHeaderView* header = table()->horizontalHeader();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
    };
    // Unsorted at first: in the order of the replies.
    EXPECT_EQ(column(DeviceModel::Model), (QStringList{"beta", "Alpha", "gamma"}));

    click(DeviceModel::Model);  // texts without regard to case
    EXPECT_EQ(column(DeviceModel::Model), (QStringList{"Alpha", "beta", "gamma"}));
    click(DeviceModel::Model);
    EXPECT_EQ(column(DeviceModel::Model), (QStringList{"gamma", "beta", "Alpha"}));
    click(DeviceModel::Ipv4);  // as numbers
    EXPECT_EQ(column(DeviceModel::Ipv4), (QStringList{"192.0.2.9", "192.0.2.10", "192.0.2.100"}));
    click(DeviceModel::Mac);  // by bytes
    EXPECT_EQ(column(DeviceModel::Mac),
              (QStringList{"02-00-00-00-00-03", "0F-FF-00-00-00-01", "10-00-00-00-00-02"}));
    click(DeviceModel::Firmware);
    EXPECT_EQ(column(DeviceModel::Firmware), (QStringList{"10.0", "2.10", "2.9"}));

    // A refresh that finds them in another order lists them in the same sort; so do the
    // icon views.
    found({devices[2], devices[1], devices[0]});
    EXPECT_EQ(column(DeviceModel::Firmware), (QStringList{"10.0", "2.10", "2.9"}));
    EXPECT_EQ(captions(), (QStringList{"gamma 192.0.2.100", "beta 192.0.2.10", "Alpha 192.0.2.9"}));
}

TEST_F(ViewsTest, TheSelectionIsKeptAcrossViewsAndRefreshesAndCommandsWorkInEach) {
    showWindow();
    const std::vector<DeviceView> devices = manyDevices(5);
    found(devices);
    selectRow(3);
    const QString details = window().statusText();

    for (const char* name : {"detailsAction", "smallImageAction", "largeImageAction"}) {
        SCOPED_TRACE(name);
        action(name)->trigger();
        EXPECT_EQ(selectedRow(), 3);
        found({devices[4], devices[3], devices[0]});
        EXPECT_EQ(selectedRow(), 1);
        EXPECT_EQ(window().statusText(), details);
        found(devices);
        // Copy with the focus on the view shown.
        ExpectBoxes box;
        QTest::keyClick(shownView(), Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(box.count(), 1);
    }
    action("detailsAction")->trigger();
    selectRow(1);
    EXPECT_EQ(window().selectedDevice()->ipv4, devices[1].ipv4);
}

TEST_F(ViewsTest, FindMatchesModelAddressMacInThreeSpellingsAndFirmwareInEitherCase) {
    const DeviceView device =
        makeDevice("QZL-TVX2-W", 42, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0xEF}, "V2.1b");
    for (const char* text : {"tvx2", "192.0.2.42", "2.4", "00-1A-2B", "3c:4d:ef", "001a2b3c4def",
                             "2B-3C", "v2.1B", ""}) {
        EXPECT_TRUE(deviceMatches(device, QString::fromLatin1(text))) << text;
    }
    for (const char* text : {"TMR", "192.0.2.43", "00-1A:2B", "1A2B-3C", "V2.2", "4D EF"}) {
        EXPECT_FALSE(deviceMatches(device, QString::fromLatin1(text))) << text;
    }
}

TEST_F(ViewsTest, FindNarrowsEveryViewCountsWhatIsShownAndEscClosesIt) {
    showWindow();
    found(
        {makeDevice("QZL-TVX", 1, {1, 1, 1, 1, 1, 1}),
         makeDevice("QZL-P-AC", 2, {2, 2, 2, 2, 2, 2}), makeDevice("Other", 3, {3, 3, 3, 3, 3, 3})},
        2);
    selectRow(1);

    QTest::keyClick(&window(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(findField()->isVisible());
    QTest::keyClicks(findField(), "03:03");
    EXPECT_EQ(captions(), QStringList{"Other 192.0.2.3"});
    EXPECT_EQ(countText(), "1 of 5 devices shown");
    // The selected device was filtered out: the first one shown is selected.
    EXPECT_EQ(selectedRow(), 0);
    EXPECT_EQ(window().statusText(), "MAC:03-03-03-03-03-03  VER:1.6.2");
    action("detailsAction")->trigger();
    EXPECT_EQ(table()->model()->rowCount(), 1);

    // A refresh keeps the filter (the device that did not answer is still listed, greyed).
    found(
        {makeDevice("QZL-TVX", 1, {1, 1, 1, 1, 1, 1}), makeDevice("Other", 3, {3, 3, 3, 3, 3, 3})});
    EXPECT_EQ(captions(), QStringList{"Other 192.0.2.3"});
    EXPECT_EQ(countText(), "1 of 3 devices shown");
    window().setFindText("qzl");
    EXPECT_EQ(countText(), "2 of 3 devices shown");
    window().setFindText("192.0.2");
    EXPECT_EQ(countText(), "3 of 3 devices shown");

    QTest::keyClick(findField(), Qt::Key_Escape);
    EXPECT_FALSE(findField()->isVisible());
    EXPECT_TRUE(findField()->text().isEmpty());
    EXPECT_TRUE(countText().isEmpty());
    EXPECT_EQ(captions().size(), 3);
    EXPECT_TRUE(table()->hasFocus());
}

TEST_F(ViewsTest, ViewSizeAndPlaceAreKeptForTheNextRun) {
    showWindow();
    const QSize opened = window().size();
    action("detailsAction")->trigger();
    const QRect screen = window().screen()->availableGeometry();
    window().resize(opened + QSize(40, 30));
    window().move(screen.topLeft() + QPoint(20, 10));
    window().close();

    std::unique_ptr<MainWindow> next = nextRun();
    EXPECT_EQ(next->view(), MainWindow::View::Details);
    EXPECT_TRUE(next->findChild<QAction*>("detailsAction")->isChecked());
    EXPECT_EQ(next->size(), opened + QSize(40, 30));
    next->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(next.get()));
    EXPECT_EQ(next->pos(), screen.topLeft() + QPoint(20, 10));
    next->close();

    // A place on no screen of today's set-up is not taken: the window opens centred.
    QSettings saved = settings();
    saved.setValue("windowPosition", screen.bottomRight() + QPoint(500, 500));
    saved.sync();
    std::unique_ptr<MainWindow> moved = nextRun();
    moved->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(moved.get()));
    EXPECT_LE((moved->frameGeometry().center() - screen.center()).manhattanLength(), 2);
}

TEST_F(ViewsTest, AMaximisedWindowOpensMaximisedWithItsEarlierSizeKept) {
    showWindow();
    const QSize earlier = window().size() + QSize(40, 30);
    window().resize(earlier);
    window().close();
    std::unique_ptr<MainWindow> next = nextRun();
    next->showMaximized();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(next.get()));
    next->close();

    std::unique_ptr<MainWindow> third = nextRun();
    EXPECT_TRUE(third->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(third->size(), earlier);  // the size that it takes when restored
}

TEST_F(ViewsTest, WithoutSettingsTheWindowOpensInLargeImagesAndReflowsWhenResized) {
    EXPECT_EQ(window().view(), MainWindow::View::LargeImage);
    showWindow();
    found(manyDevices(6));
    const auto firstRowCount = [this] {
        int count = 0;
        const int top = list()->visualRect(list()->model()->index(0, list()->modelColumn())).top();
        for (int row = 0; row < list()->model()->rowCount(); ++row) {
            count +=
                list()->visualRect(list()->model()->index(row, list()->modelColumn())).top() == top;
        }
        return count;
    };
    const int before = firstRowCount();
    ASSERT_LT(before, 6);
    window().resize(window().width() + 3 * list()->gridSize().width(), window().height());
    // The view lays its items out again on the event loop.
    EXPECT_TRUE(QTest::qWaitFor([&] { return firstRowCount() > before; }, 2000));
}

}  // namespace
}  // namespace nimbrel::testing
