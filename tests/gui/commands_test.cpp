// The window's commands: device details, copy, open, auto refresh and the menu's keys.
#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "tests/gui/expected_boxes.h"
#include "tests/gui/form_fixture.h"
#include "tests/gui/url_catcher.h"

namespace nimbrel::testing {
namespace {

using tools::DeviceSpec;

DeviceSpec Device(std::string model, MacBytes mac, std::string firmware = "1.6.2",
                  std::string copy = "", std::uint8_t last = 1) {
    return DeviceSpec{
        std::move(model), {192, 0, 2, last}, mac, std::move(firmware), std::move(copy)};
}

class DetailsTest : public FormTest {};

TEST_F(DetailsTest, TmrFamilyShowsItsLastTwoMacBytesOneLess) {
    Start(Replies({
        Device("QZL-TMR-M", {0x00, 0x11, 0x22, 0x33, 0x12, 0x34}),
        Device("QZL-TMR1-AC", {0x00, 0x11, 0x22, 0x33, 0x12, 0x00}),
        Device("QZL-TMR", {0x00, 0x00, 0x00, 0x00, 0x00, 0x00}),
        Device("x-qzl-tmr-m", {0xAA, 0xBB, 0xCC, 0xDD, 0x12, 0x34}),
        Device("QZL-P-AC", {0xAA, 0xBB, 0xCC, 0xDD, 0x12, 0x34}),
    }));

    const QStringList expected{
        "MAC:00-11-22-33-12-33  VER:1.6.2", "MAC:00-11-22-33-11-FF  VER:1.6.2",
        "MAC:00-00-00-00-FF-FF  VER:1.6.2", "MAC:AA-BB-CC-DD-12-33  VER:1.6.2",
        "MAC:AA-BB-CC-DD-12-34  VER:1.6.2"};
    for (int row = 0; row < List()->count(); ++row) {
        Select(row);
        EXPECT_EQ(Form().StatusText(), expected[row]) << row;
    }
    EXPECT_EQ(Form().Table().MacAddress(0)[5], 0x34);  // only the text is adjusted
}

TEST_F(DetailsTest, DeviceWithoutFirmwareEndsAfterVer) {
    Start(Replies({Device("Other", {1, 2, 3, 4, 5, 6}, "")}));

    EXPECT_EQ(Form().StatusText(), "MAC:01-02-03-04-05-06  VER:");
}

TEST_F(DetailsTest, DeselectingKeepsTheDetails) {
    Start(Replies({Device("A", {1, 2, 3, 4, 5, 6}), Device("B", {6, 5, 4, 3, 2, 1}, "9", "", 2)}));
    Select(1);
    ASSERT_EQ(Form().StatusText(), "MAC:06-05-04-03-02-01  VER:9");

    // A click on the empty part of the list clears the selection.
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, QPoint(380, 370));

    EXPECT_TRUE(List()->selectedItems().isEmpty());
    EXPECT_EQ(Form().StatusText(), "MAC:06-05-04-03-02-01  VER:9");
}

TEST_F(DetailsTest, OpenWithNothingSelectedShowsTheHint) {
    Start(Replies({Device("A", {1, 2, 3, 4, 5, 6})}));
    List()->clearSelection();

    QTest::keyClick(&Form(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(Form().StatusText(), "Please Double Click the items listed!");

    Select(0);
    DoubleClick(QPoint(380, 370));
    EXPECT_EQ(Form().StatusText(), "Please Double Click the items listed!");
}

class CopyTest : public FormTest {
protected:
    void SetUp() override { QGuiApplication::clipboard()->setText(QStringLiteral("before")); }
    void PressCtrlC() { QTest::keyClick(List(), Qt::Key_C, Qt::ControlModifier); }
};

TEST_F(CopyTest, CountIsShownThenTheTextAndLineBreakAreCopied) {
    Start(Replies({Device("A", {1, 2, 3, 4, 5, 6}, "1", "Caf\xE9-1234567")}));
    QString clipboardWhileOpen;
    ExpectBoxes box(
        1, [&](const ShownBox&) { clipboardWhileOpen = QGuiApplication::clipboard()->text(); });

    PressCtrlC();

    ASSERT_EQ(box.Count(), 1);
    EXPECT_EQ(box.Box().text, "12");
    EXPECT_EQ(box.Box().title, "NIMBREL AP/BRIDGE/CloudAP");
    EXPECT_EQ(box.Box().icon, QMessageBox::NoIcon);
    EXPECT_EQ(box.Box().buttons, QMessageBox::Ok);
    EXPECT_EQ(box.Box().buttonCount, 1);
    EXPECT_EQ(box.Box().textFormat, Qt::PlainText);
    EXPECT_FALSE(box.Box().hasParent);
    EXPECT_EQ(clipboardWhileOpen, "before");
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_EQ(copied, QStringLiteral("Caf\u00E9-1234567\r\n"));
    EXPECT_EQ(copied.size(), 14);
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->formats(), QStringList{"text/plain"});
}

TEST_F(CopyTest, EmptyCopyTextShowsZeroAndEmptiesTheClipboard) {
    Start(Replies({Device("A", {1, 2, 3, 4, 5, 6}, "1", "")}));
    ExpectBoxes box;

    PressCtrlC();

    EXPECT_EQ(box.Box().text, "0");
    EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
}

TEST_F(CopyTest, NothingSelectedShowsNoBoxAndLeavesTheClipboard) {
    Start(Replies({Device("A", {1, 2, 3, 4, 5, 6}, "1", "text")}));
    List()->clearSelection();

    PressCtrlC();

    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
}

TEST_F(CopyTest, EmptyListShowsNoBox) {
    Start({});

    PressCtrlC();

    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
}

class OpenTest : public FormTest {
protected:
    void SetUp() override { QDesktopServices::setUrlHandler("http", &catcher_, "Open"); }
    void TearDown() override { QDesktopServices::unsetUrlHandler("http"); }
    UrlCatcher catcher_;
};

TEST_F(OpenTest, DoubleClickOpensTheSelectedDevicesPage) {
    Start(Replies({Device("A", {1, 2, 3, 4, 5, 6}, "1", "", 7),
                   Device("B", {1, 2, 3, 4, 5, 7}, "1", "", 200)}));
    Select(1);

    DoubleClick(List()->visualItemRect(List()->item(1)).center());

    EXPECT_EQ(catcher_.opened, (QList<QUrl>{QUrl("http://192.0.2.200")}));
}

TEST_F(OpenTest, MenuOpenActsOnTheSelectedItem) {
    Start({{ReplyWithoutAddress("QZL-TMR"), 0ms}});

    QTest::keyClick(&Form(), Qt::Key_O, Qt::ControlModifier);

    EXPECT_EQ(catcher_.opened, (QList<QUrl>{QUrl("http://0.0.0.0")}));
}

class AutoRefreshTest : public FormTest {};

TEST_F(AutoRefreshTest, ItemTogglesTheTimer) {
    Start({});
    auto* timer = Form().findChild<QTimer*>("tmr1");
    ASSERT_NE(timer, nullptr);
    ASSERT_FALSE(timer->isActive());

    Action("AutoRefresh1")->trigger();
    EXPECT_TRUE(Action("AutoRefresh1")->isChecked());
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 8000);

    Action("AutoRefresh1")->trigger();
    EXPECT_FALSE(Action("AutoRefresh1")->isChecked());
    EXPECT_FALSE(timer->isActive());
}

TEST_F(AutoRefreshTest, EachTickRunsOneSearch) {
    Start({});
    const int before = Requests();

    Form().tmr1Timer();

    EXPECT_EQ(Requests(), before + 1);
}

class MenuKeysTest : public FormTest {
protected:
    struct KeyCounter : QObject {
        int presses = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            // The modifier keys themselves do reach the list; the combinations must not.
            if (event->type() == QEvent::KeyPress) {
                const int key = static_cast<QKeyEvent*>(event)->key();
                presses += key == Qt::Key_Control || key == Qt::Key_Shift ? 0 : 1;
            }
            return false;
        }
    };
};

TEST_F(MenuKeysTest, MenuBarAndSeparatorShortcutsAreSwallowed) {
    Start(Replies({Device("A", {1, 2, 3, 4, 5, 6})}));
    const QString status = Form().StatusText();
    const int requests = Requests();
    KeyCounter counter;
    List()->installEventFilter(&counter);

    QTest::keyClick(List(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(List(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(List(), Qt::Key_F2, Qt::ShiftModifier | Qt::ControlModifier);

    EXPECT_EQ(counter.presses, 0);
    EXPECT_EQ(Form().StatusText(), status);
    EXPECT_EQ(Requests(), requests);
    EXPECT_EQ(quitRequests_, 0);
}

TEST_F(MenuKeysTest, F5SearchesAndCtrlCReachesTheList) {
    Start(Replies({Device("A", {1, 2, 3, 4, 5, 6}, "1", "abc")}));
    const int requests = Requests();

    QTest::keyClick(List(), Qt::Key_F5);
    EXPECT_EQ(Requests(), requests + 1);

    ExpectBoxes box;
    QTest::keyClick(List(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(box.Box().text, "3");
}

TEST_F(MenuKeysTest, CtrlXRequestsTheQuitAndTheWindowStays) {
    Start({});

    QTest::keyClick(List(), Qt::Key_X, Qt::ControlModifier);

    EXPECT_EQ(quitRequests_, 1);
    EXPECT_TRUE(Form().isVisible());
}

TEST_F(MenuKeysTest, AboutRunsTheActionItIsGiven) {
    Start({});
    int shown = 0;
    Form().SetAboutAction([&] { ++shown; });

    Action("about")->trigger();

    EXPECT_EQ(shown, 1);
}

}  // namespace
}  // namespace nimbrel::testing
