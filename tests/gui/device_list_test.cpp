// The device list after a search: order, images, captions, selection, and the View commands.
#include <QImage>
#include <QTest>

#include "main/image_list.h"
#include "tests/gui/form_fixture.h"

namespace nimbrel::testing {
namespace {

using tools::DeviceSpec;

DeviceSpec Device(std::string model, std::uint8_t last,
                  MacBytes mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}) {
    return DeviceSpec{std::move(model), {192, 0, 2, last}, mac, "2.0.1", "copy"};
}

class DeviceListTest : public FormTest {};

TEST_F(DeviceListTest, ItemsFollowTheTableWithImageAndCaptionByModel) {
    std::vector<DeviceSpec> devices{
        Device("QZL-TMR1-AC-A", 1),    Device("QZL-TMR1-AC", 2), Device("QZL-TMR", 3),
        Device("new QZL-P-AC pro", 4), Device("qzl-tmr-m", 5),   Device("", 6),
        Device("QZL-TVX2-W", 7),       Device("QZH-P-AC", 9),    Device("QZL-TLX2", 10),
    };
    auto replies = Replies(devices);
    replies.push_back({ReplyWithoutAddress("QZL-TMR-A"), 0ms});
    Start(std::move(replies));

    EXPECT_EQ(Captions(),
              (QStringList{"QZL-TMR1-AC-A 192.0.2.1", "QZL-TMR1-AC 192.0.2.2", "QZL-TMR 192.0.2.3",
                           "new QZL-P-AC pro 192.0.2.4", "qzl-tmr-m 192.0.2.5", " 192.0.2.6",
                           "QZL-TVX2-W 192.0.2.7", "QZH-P-AC 192.0.2.9", "QZL-TLX2 192.0.2.10",
                           "QZL-TMR-A 0.0.0.0"}));
    EXPECT_EQ(ImageIndexes(), (std::vector<int>{9, 10, 4, 11, 6, 6, 2, 12, 3, 1}));

    const auto* images = Form().findChild<ImageList*>("ImageList1");
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(images->Count(), 15);
    for (int row = 0; row < List()->count(); ++row) {
        const QListWidgetItem* item = List()->item(row);
        EXPECT_EQ(item->icon().cacheKey(),
                  images->Icon(ImageIndexes()[static_cast<std::size_t>(row)]).cacheKey());
        EXPECT_EQ(item->flags(), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    }
}

TEST_F(DeviceListTest, FirstItemIsSelectedAndItsDetailsShow) {
    Start(Replies({Device("Other", 1, {0xA0, 1, 2, 3, 4, 5}), Device("Second", 2)}));

    ASSERT_EQ(List()->selectedItems().size(), 1);
    EXPECT_EQ(List()->row(List()->selectedItems().front()), 0);
    EXPECT_EQ(Form().StatusText(), "MAC:A0-01-02-03-04-05  VER:2.0.1");
}

TEST_F(DeviceListTest, LastRowZeroesTheFirstMacByteWhileTheTvx2RowDoesNot) {
    Start(Replies({Device("QZL-TVX-5", 1, {0xA0, 1, 2, 3, 4, 5}),
                   Device("QZL-TVX2-W", 2, {0xB0, 1, 2, 3, 4, 5})}));

    EXPECT_EQ(ImageIndexes(), (std::vector<int>{5, 2}));
    EXPECT_EQ(Form().Table().MacAddress(0)[0], 0);
    EXPECT_EQ(Form().Table().MacAddress(1)[0], 0xB0);
    EXPECT_EQ(Form().StatusText(), "MAC:00-01-02-03-04-05  VER:2.0.1");
}

TEST_F(DeviceListTest, DeviceTextIsShownAsPlainText) {
    Start(Replies({Device("<b>QZL&amp;</b>", 1)}));

    EXPECT_EQ(Captions(), QStringList{"<b>QZL&amp;</b> 192.0.2.1"});
}

TEST_F(DeviceListTest, NoDeviceLeavesAnEmptyListAndTheStartHint) {
    Start({});

    EXPECT_EQ(List()->count(), 0);
    EXPECT_TRUE(List()->selectedItems().isEmpty());
    EXPECT_EQ(Form().StatusText(), "Press F5 to search,Double click to config");
    EXPECT_FALSE(Animation()->isVisible());
}

TEST_F(DeviceListTest, NoDeviceKeepsTheDetailsOfTheDeviceSelectedBefore) {
    Start(Replies({Device("Other", 1, {1, 2, 3, 4, 5, 6})}));
    ReplaceReplies({});

    Action("bbrow")->trigger();

    EXPECT_EQ(List()->count(), 0);
    EXPECT_EQ(Form().StatusText(), "MAC:01-02-03-04-05-06  VER:2.0.1");
}

TEST_F(DeviceListTest, ViewCommandsChangeNothingInTheList) {
    Start(Replies({Device("QZL-TMR", 1), Device("QZL-P-AC", 2)}));
    QCoreApplication::processEvents();
    const QStringList captions = Captions();
    const std::vector<int> images = ImageIndexes();
    const QImage before = List()->grab().toImage();
    int paints = 0;
    struct PaintCounter : QObject {
        int& count;
        explicit PaintCounter(int& counter) : count(counter) {}
        bool eventFilter(QObject*, QEvent* event) override {
            count += event->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
    } counter(paints);
    List()->viewport()->installEventFilter(&counter);

    QTest::keyClick(&Form(), Qt::Key_G, Qt::ControlModifier);
    QTest::keyClick(&Form(), Qt::Key_M, Qt::ControlModifier);
    Action("sm")->trigger();
    Action("lar")->trigger();
    QCoreApplication::processEvents();

    EXPECT_EQ(paints, 0);
    EXPECT_EQ(Captions(), captions);
    EXPECT_EQ(ImageIndexes(), images);
    EXPECT_EQ(List()->viewMode(), QListView::IconMode);
    EXPECT_EQ(List()->iconSize(), QSize(32, 32));
    EXPECT_EQ(List()->grab().toImage(), before);
}

}  // namespace
}  // namespace nimbrel::testing
