// SPDX-License-Identifier: MIT
// The device list after a search: order, images, captions, the selection kept across searches,
// the status bar's details and the left-out count.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "main/device_model.h"
#include "main/image_list.h"
#include "tests/gui/window_fixture.h"

namespace nimbrel::testing {
namespace {

class DeviceListTest : public WindowTest {};

TEST_F(DeviceListTest, ItemsFollowTheSearchWithImageAndCaptionByModel) {
    found({makeDevice("QZL-TMR1-AC-A", 1), makeDevice("new QZL-P-AC pro", 4), makeDevice("", 6),
           makeDevice("<b>QZL&amp;</b>", 7)});

    EXPECT_EQ(captions(), (QStringList{"QZL-TMR1-AC-A 192.0.2.1", "new QZL-P-AC pro 192.0.2.4",
                                       " 192.0.2.6", "<b>QZL&amp;</b> 192.0.2.7"}));
    const auto* images = window().findChild<ImageList*>("deviceImages");
    ASSERT_NE(images, nullptr);
    const std::vector<int> expected{9, 11, 6, 6};
    const QAbstractItemModel* model = list()->model();
    ASSERT_EQ(model->rowCount(), 4);
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, list()->modelColumn());
        EXPECT_EQ(index.data(Qt::DecorationRole).value<QIcon>().cacheKey(),
                  images->icon(expected[static_cast<std::size_t>(row)]).cacheKey());
        EXPECT_EQ(index.flags(),
                  Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren);
    }
}

TEST_F(DeviceListTest, FirstItemIsSelectedAndItsListedMacShows) {
    found({makeDevice("QZL-TVX-5", 1, {0xA0, 1, 2, 3, 4, 5}, "2.0.1"), makeDevice("Second", 2)});

    EXPECT_EQ(selectedRow(), 0);
    EXPECT_FALSE(list()->currentIndex().isValid());
    EXPECT_EQ(window().statusText(), "MAC:00-01-02-03-04-05  VER:2.0.1");
}

TEST_F(DeviceListTest, RefreshKeepsTheSelectedDeviceWhereverItIsListedAndThenSelectsTheFirst) {
    showWindow();
    found({makeDevice("A", 1, {1, 1, 1, 1, 1, 1}), makeDevice("B", 2, {2, 2, 2, 2, 2, 2})});
    selectRow(1);

    // Same MAC and address, newer firmware, now listed first but one.
    found({makeDevice("C", 3, {3, 3, 3, 3, 3, 3}), makeDevice("A", 1, {1, 1, 1, 1, 1, 1}),
           makeDevice("B", 2, {2, 2, 2, 2, 2, 2}, "1.7"), makeDevice("B", 9, {2, 2, 2, 2, 2, 2})});
    EXPECT_EQ(selectedRow(), 2);
    EXPECT_EQ(window().statusText(), "MAC:02-02-02-02-02-02  VER:1.7");

    // The same MAC on the same interface is the same device, at its new address.
    found({makeDevice("C", 3, {3, 3, 3, 3, 3, 3}), makeDevice("B", 5, {2, 2, 2, 2, 2, 2})});
    EXPECT_EQ(selectedRow(), 1);
    // Two searches without it: gone, and the first device is selected.
    found({makeDevice("C", 3, {3, 3, 3, 3, 3, 3})});
    found({makeDevice("C", 3, {3, 3, 3, 3, 3, 3})});

    EXPECT_EQ(captions(), QStringList{"C 192.0.2.3"});
    EXPECT_EQ(selectedRow(), 0);
    EXPECT_EQ(window().statusText(), "MAC:03-03-03-03-03-03  VER:1.6.2");
}

TEST_F(DeviceListTest, DeselectingKeepsTheDetailsOfTheDeviceStillListed) {
    showWindow();
    found({makeDevice("A", 1, {1, 2, 3, 4, 5, 6}), makeDevice("B", 2, {6, 5, 4, 3, 2, 1}, "9")});
    selectRow(1);
    ASSERT_EQ(window().statusText(), "MAC:06-05-04-03-02-01  VER:9");

    clickEmptySpot();

    EXPECT_EQ(selectedRow(), -1);
    EXPECT_EQ(window().statusText(), "MAC:06-05-04-03-02-01  VER:9");
    // With nothing selected, the next search selects the first device.
    found({makeDevice("A", 1, {1, 2, 3, 4, 5, 6}), makeDevice("B", 2, {6, 5, 4, 3, 2, 1}, "9")});
    EXPECT_EQ(window().statusText(), "MAC:01-02-03-04-05-06  VER:1.6.2");
}

TEST_F(DeviceListTest, ASearchThatFindsNothingShowsTheStartHintNotAGoneDevice) {
    showWindow();
    found({makeDevice("A", 1, {1, 2, 3, 4, 5, 6})});
    ASSERT_EQ(window().statusText(), "MAC:01-02-03-04-05-06  VER:1.6.2");
    clickEmptySpot();

    found({});
    found({});  // the second search that it missed: gone

    EXPECT_EQ(list()->model()->rowCount(), 0);
    EXPECT_EQ(window().statusText(), "Press F5 to search,Double click to config");
}

TEST_F(DeviceListTest, DevicesLeftOutAndRepliesLostAreCountedBesideTheDetails) {
    auto* leftOut = window().findChild<QLabel*>("countText");
    ASSERT_NE(leftOut, nullptr);
    std::vector<DeviceView> eleven;
    for (std::uint8_t last = 1; last <= 11; ++last) {
        eleven.push_back(makeDevice("A", last, {1, 2, 3, 4, 5, last}));
    }

    found(eleven, 3);
    EXPECT_EQ(leftOut->text(), "11 of 14 devices shown");
    EXPECT_FALSE(leftOut->isHidden());
    EXPECT_EQ(leftOut->textFormat(), Qt::PlainText);
    EXPECT_EQ(window().statusText(), "MAC:01-02-03-04-05-01  VER:1.6.2");

    // A failed search changes nothing of what is listed; a complete one clears the count.
    ASSERT_TRUE(window().search());
    runner().fail(messageTooLong());
    EXPECT_EQ(leftOut->text(), "11 of 14 devices shown");
    found(eleven);
    EXPECT_TRUE(leftOut->isHidden());
    found(eleven, 3, 5);
    EXPECT_EQ(leftOut->text(), "11 of 14 devices shown, 5 replies lost");
    found({makeDevice("A", 1)}, 0, 1);
    EXPECT_EQ(leftOut->text(), "1 reply lost");
}

// A device's text breaks no line of the status bar, where a firmware "fw\r\nVER:9.9" would
// pass for details of their own, nor of a caption (see the layout's tests).
TEST_F(DeviceListTest, ControlCharactersInDeviceTextsShowAsPicturesAndBreakNoLine) {
    found({makeDevice("QZL\r\n192.0.2.99", 1, {1, 2, 3, 4, 5, 6}, "fw\r\nVER:9.9\x1B")});

    EXPECT_EQ(window().statusText(),
              QString::fromUtf16(u"MAC:01-02-03-04-05-06  VER:fw\u240D\u240AVER:9.9\u241B"));
    auto* status = window().findChild<QLabel*>("statusText");
    QLabel oneLine(QStringLiteral("MAC"));
    oneLine.setFont(status->font());
    EXPECT_EQ(status->sizeHint().height(), oneLine.sizeHint().height());

    EXPECT_EQ(captions(), QStringList{QString::fromUtf16(u"QZL\u240D\u240A192.0.2.99 192.0.2.1")});
}

TEST_F(DeviceListTest, SearchAllNetworksIsRememberedAndShownWhileTheListIsEmpty) {
    auto* action = window().findChild<QAction*>("allNetworksAction");
    auto* hint = window().findChild<QLabel*>("networksText");
    ASSERT_NE(action, nullptr);
    ASSERT_NE(hint, nullptr);
    ASSERT_FALSE(action->isChecked());  // off by default
    EXPECT_EQ(hint->text(), "One network");

    action->trigger();  // and searches
    EXPECT_TRUE(runner().allNetworks());
    EXPECT_EQ(hint->text(), "All networks");
    runner().finish({makeDevice("A", 1)});
    EXPECT_TRUE(hint->isHidden());
    found({});
    found({});
    EXPECT_EQ(hint->text(), "All networks");

    // The next run starts as this one left it.
    auto nextRunner = std::make_unique<FakeSearchRunner>();
    FakeSearchRunner& next = *nextRunner;
    MainWindow again(std::move(nextRunner));
    EXPECT_TRUE(again.findChild<QAction*>("allNetworksAction")->isChecked());
    EXPECT_TRUE(next.allNetworks());
    action->trigger();
    EXPECT_FALSE(MainWindow(std::make_unique<FakeSearchRunner>())
                     .findChild<QAction*>("allNetworksAction")
                     ->isChecked());
}

// A file where the settings' folder would be made: the choice holds for this run only.
TEST_F(DeviceListTest, SettingsThatCannotBeSavedAreReportedInTheStatusBar) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows keeps the settings in the registry, where no file stands in the way";
#endif
    const QTemporaryDir home(QDir::tempPath() + "/settings-XXXXXX");  // not the app's "/" name
    ASSERT_TRUE(QFile(home.filePath("Nimbrel")).open(QIODevice::WriteOnly));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
    action("allNetworksAction")->trigger();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       qEnvironmentVariable("XDG_CONFIG_HOME"));

    EXPECT_EQ(window().statusText(),
              "Settings could not be saved: " + home.path() + "/Nimbrel/nimbrel-utility.conf");
    EXPECT_TRUE(runner().allNetworks());
}

}  // namespace
}  // namespace nimbrel::testing
