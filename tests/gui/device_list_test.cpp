// SPDX-License-Identifier: MIT
// The device list after a search: order, images, captions, the selection kept across searches,
// the status bar's details, the left-out count and the View commands.
#include <QLabel>
#include <QTest>

#include "main/device_item.h"
#include "main/image_list.h"
#include "tests/gui/window_fixture.h"

namespace nimbrel::testing {
namespace {

class DeviceListTest : public WindowTest {};

TEST_F(DeviceListTest, ItemsFollowTheSearchWithImageAndCaptionByModel) {
    Found({Device("QZL-TMR1-AC-A", 1), Device("new QZL-P-AC pro", 4), Device("", 6),
           Device("<b>QZL&amp;</b>", 7)});

    EXPECT_EQ(Captions(), (QStringList{"QZL-TMR1-AC-A 192.0.2.1", "new QZL-P-AC pro 192.0.2.4",
                                       " 192.0.2.6", "<b>QZL&amp;</b> 192.0.2.7"}));
    const auto* images = Window().findChild<ImageList*>("deviceImages");
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(images->Count(), 15);
    const std::vector<int> expected{9, 11, 6, 6};
    for (int row = 0; row < List()->count(); ++row) {
        const QListWidgetItem* item = List()->item(row);
        EXPECT_EQ(item->icon().cacheKey(),
                  images->Icon(expected[static_cast<std::size_t>(row)]).cacheKey());
        EXPECT_EQ(item->flags(), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    }
}

TEST_F(DeviceListTest, FirstItemIsSelectedAndItsListedMacShows) {
    Found({Device("QZL-TVX-5", 1, {0xA0, 1, 2, 3, 4, 5}, "2.0.1"), Device("Second", 2)});

    ASSERT_EQ(List()->selectedItems().size(), 1);
    EXPECT_EQ(List()->row(List()->selectedItems().front()), 0);
    EXPECT_EQ(Window().statusText(), "MAC:00-01-02-03-04-05  VER:2.0.1");
}

TEST_F(DeviceListTest, RefreshKeepsTheSelectedDeviceWhereverItIsListedNow) {
    Show();
    Found({Device("A", 1, {1, 1, 1, 1, 1, 1}), Device("B", 2, {2, 2, 2, 2, 2, 2})});
    Select(1);

    // Same MAC and address, newer firmware, now listed first but one.
    Found({Device("C", 3, {3, 3, 3, 3, 3, 3}), Device("A", 1, {1, 1, 1, 1, 1, 1}),
           Device("B", 2, {2, 2, 2, 2, 2, 2}, "1.7"), Device("B", 9, {2, 2, 2, 2, 2, 2})});

    ASSERT_EQ(List()->selectedItems().size(), 1);
    EXPECT_EQ(List()->row(List()->selectedItems().front()), 2);
    EXPECT_EQ(Window().statusText(), "MAC:02-02-02-02-02-02  VER:1.7");
}

TEST_F(DeviceListTest, RefreshSelectsTheFirstItemWhenTheSelectedDeviceIsGone) {
    Show();
    Found({Device("A", 1, {1, 1, 1, 1, 1, 1}), Device("B", 2, {2, 2, 2, 2, 2, 2})});
    Select(1);

    // The same MAC at another address is another device.
    Found({Device("C", 3, {3, 3, 3, 3, 3, 3}), Device("B", 5, {2, 2, 2, 2, 2, 2})});

    EXPECT_EQ(List()->row(List()->selectedItems().front()), 0);
    EXPECT_EQ(Window().statusText(), "MAC:03-03-03-03-03-03  VER:1.6.2");
}

TEST_F(DeviceListTest, DeselectingKeepsTheDetailsOfTheDeviceStillListed) {
    Show();
    Found({Device("A", 1, {1, 2, 3, 4, 5, 6}), Device("B", 2, {6, 5, 4, 3, 2, 1}, "9")});
    Select(1);
    ASSERT_EQ(Window().statusText(), "MAC:06-05-04-03-02-01  VER:9");

    ClickEmptySpot();

    EXPECT_TRUE(List()->selectedItems().isEmpty());
    EXPECT_EQ(Window().statusText(), "MAC:06-05-04-03-02-01  VER:9");
    // With nothing selected, the next search selects the first device.
    Found({Device("A", 1, {1, 2, 3, 4, 5, 6}), Device("B", 2, {6, 5, 4, 3, 2, 1}, "9")});
    EXPECT_EQ(Window().statusText(), "MAC:01-02-03-04-05-06  VER:1.6.2");
}

TEST_F(DeviceListTest, ASearchThatFindsNothingShowsTheStartHintNotAGoneDevice) {
    Show();
    Found({Device("A", 1, {1, 2, 3, 4, 5, 6})});
    ASSERT_EQ(Window().statusText(), "MAC:01-02-03-04-05-06  VER:1.6.2");
    ClickEmptySpot();

    Found({});

    EXPECT_EQ(List()->count(), 0);
    EXPECT_EQ(Window().statusText(), "Press F5 to search,Double click to config");
}

TEST_F(DeviceListTest, DevicesLeftOutAreCountedBesideTheDetails) {
    auto* leftOut = Window().findChild<QLabel*>("leftOutText");
    ASSERT_NE(leftOut, nullptr);
    std::vector<DeviceView> eleven;
    for (std::uint8_t last = 1; last <= 11; ++last) {
        eleven.push_back(Device("A", last, {1, 2, 3, 4, 5, last}));
    }

    Found(eleven, 3);
    EXPECT_EQ(leftOut->text(), "11 of 14 devices shown");
    EXPECT_FALSE(leftOut->isHidden());
    EXPECT_EQ(leftOut->textFormat(), Qt::PlainText);
    EXPECT_EQ(Window().statusText(), "MAC:01-02-03-04-05-01  VER:1.6.2");

    // A failed search changes nothing of what is listed; a complete one clears the count.
    ASSERT_TRUE(Window().search());
    Runner().Fail(MessageTooLong());
    EXPECT_EQ(leftOut->text(), "11 of 14 devices shown");
    Found(eleven);
    EXPECT_TRUE(leftOut->isHidden());
}

TEST_F(DeviceListTest, SearchAllNetworksIsRememberedAndShownWhileTheListIsEmpty) {
    auto* action = Window().findChild<QAction*>("allNetworksAction");
    auto* hint = Window().findChild<QLabel*>("networksText");
    ASSERT_NE(action, nullptr);
    ASSERT_NE(hint, nullptr);
    ASSERT_FALSE(action->isChecked());  // off by default
    EXPECT_EQ(hint->text(), "One network");

    action->trigger();
    EXPECT_TRUE(Runner().AllNetworks());
    EXPECT_EQ(hint->text(), "All networks");
    Found({Device("A", 1)});
    EXPECT_TRUE(hint->isHidden());
    Found({});
    EXPECT_EQ(hint->text(), "All networks");

    // The next run starts as this one left it.
    auto runner = std::make_unique<FakeSearchRunner>();
    FakeSearchRunner& next = *runner;
    MainWindow again(std::move(runner));
    EXPECT_TRUE(again.findChild<QAction*>("allNetworksAction")->isChecked());
    EXPECT_TRUE(next.AllNetworks());
    action->trigger();
    EXPECT_FALSE(MainWindow(std::make_unique<FakeSearchRunner>())
                     .findChild<QAction*>("allNetworksAction")
                     ->isChecked());
}

TEST_F(DeviceListTest, ItemsCarryTheDeviceTheyShow) {
    const DeviceView shown = Device("QZL-TMR", 3, {9, 8, 7, 6, 5, 4}, "fw", "copy");
    Found({shown});

    const std::optional<DeviceView> carried = DeviceOf(List()->item(0));
    ASSERT_TRUE(carried.has_value());
    EXPECT_TRUE(carried->SameDeviceAs(shown));
    EXPECT_EQ(carried->copyText, "copy");
    EXPECT_EQ(carried->firmware, "fw");
}

TEST_F(DeviceListTest, ViewCommandsChangeNothingInTheList) {
    Show();
    Found({Device("QZL-TMR", 1), Device("QZL-P-AC", 2)});
    const QStringList captions = Captions();
    const QImage before = List()->grab().toImage();

    QTest::keyClick(&Window(), Qt::Key_G, Qt::ControlModifier);
    QTest::keyClick(&Window(), Qt::Key_M, Qt::ControlModifier);
    Action("smallImageAction")->trigger();
    Action("largeImageAction")->trigger();

    EXPECT_EQ(Captions(), captions);
    EXPECT_EQ(List()->viewMode(), QListView::IconMode);
    EXPECT_EQ(List()->iconSize(), QSize(32, 32));
    EXPECT_EQ(List()->grab().toImage(), before);
}

}  // namespace
}  // namespace nimbrel::testing
