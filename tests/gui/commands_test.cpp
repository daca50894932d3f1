// SPDX-License-Identifier: MIT
// The window's commands: copy, open, auto refresh, the menu's keys, and what each does while a
// search runs or after one has failed.
#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include "tests/gui/url_catcher.h"
#include "tests/gui/window_fixture.h"

namespace nimbrel::testing {
namespace {

class CopyTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        Show();
    }
    void PressCtrlC() { QTest::keyClick(List(), Qt::Key_C, Qt::ControlModifier); }
    static QString Clipboard() { return QGuiApplication::clipboard()->text(); }
};

TEST_F(CopyTest, CountIsShownThenTheTextAndLineBreakAreCopied) {
    Found({Device("A", 1, {1, 2, 3, 4, 5, 6}, "1", "Caf\xE9-1234567")});
    QString clipboardWhileOpen;
    ExpectBoxes box(1, [&](const ShownBox&) { clipboardWhileOpen = Clipboard(); });

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
    EXPECT_EQ(Clipboard(), QStringLiteral("Caf\u00E9-1234567\r\n"));
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->formats(), QStringList{"text/plain"});
}

TEST_F(CopyTest, EmptyCopyTextShowsZeroAndEmptiesTheClipboard) {
    Found({Device("A", 1, {1, 2, 3, 4, 5, 6}, "1", "")});
    ExpectBoxes box;

    PressCtrlC();

    EXPECT_EQ(box.Box().text, "0");
    EXPECT_TRUE(Clipboard().isEmpty());
}

TEST_F(CopyTest, NothingSelectedOrNothingListedShowsNoBox) {
    PressCtrlC();
    Found({Device("A", 1, {1, 2, 3, 4, 5, 6}, "1", "text")});
    ClickEmptySpot();
    PressCtrlC();

    EXPECT_EQ(Clipboard(), "before");
}

TEST_F(CopyTest, DuringASearchCopiesTheDeviceShown) {
    Found({Device("A", 1, {1, 2, 3, 4, 5, 6}, "1", "first"),
           Device("B", 2, {1, 2, 3, 4, 5, 7}, "1", "second")});
    Select(1);
    ASSERT_TRUE(Window().search());
    ExpectBoxes box;

    PressCtrlC();

    EXPECT_EQ(box.Box().text, "6");
    EXPECT_EQ(Clipboard(), "second\r\n");
}

TEST_F(CopyTest, AfterAFailedSearchCopiesTheDeviceShownAndSelected) {
    Found({Device("A", 1, {1, 2, 3, 4, 5, 6}, "1", "first"),
           Device("B", 2, {1, 2, 3, 4, 5, 7}, "1", "second")});
    Select(1);
    ASSERT_TRUE(Window().search());
    Runner().Fail(MessageTooLong());
    ExpectBoxes box;

    PressCtrlC();

    EXPECT_EQ(Captions(), (QStringList{"A 192.0.2.1", "B 192.0.2.2"}));
    EXPECT_EQ(Clipboard(), "second\r\n");
    EXPECT_EQ(Window().statusText(), "MAC:01-02-03-04-05-07  VER:1");
}

class OpenTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        QDesktopServices::setUrlHandler("http", &catcher_, "Open");
        Show();
    }
    void TearDown() override { QDesktopServices::unsetUrlHandler("http"); }
    UrlCatcher catcher_;
};

TEST_F(OpenTest, DoubleClickOpensTheSelectedDevicesPage) {
    Found({Device("A", 7), Device("B", 200)});
    Select(1);

    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {},
                       List()->visualItemRect(List()->item(1)).center());

    EXPECT_EQ(catcher_.opened, (QList<QUrl>{QUrl("http://192.0.2.200")}));
}

TEST_F(OpenTest, MenuOpenOfADeviceWithoutAddressOpensTheAnyAddress) {
    DeviceView device = Device("QZL-TMR", 1);
    device.ipv4 = {};
    device.hasAddress = false;
    Found({device});

    QTest::keyClick(&Window(), Qt::Key_O, Qt::ControlModifier);

    EXPECT_EQ(catcher_.opened, (QList<QUrl>{QUrl("http://0.0.0.0")}));
}

TEST_F(OpenTest, OpenWithNothingSelectedShowsTheHint) {
    Found({Device("A", 1)});
    ClickEmptySpot();

    QTest::keyClick(&Window(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(Window().statusText(), "Please Double Click the items listed!");

    Select(0);
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, QPoint(380, 370));
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, QPoint(380, 370));
    EXPECT_EQ(Window().statusText(), "Please Double Click the items listed!");
    EXPECT_TRUE(catcher_.opened.isEmpty());
}

class SearchCommandTest : public WindowTest {};

TEST_F(SearchCommandTest, AnimationPlaysWhileASearchRunsAndStopsWhenItFails) {
    Show();
    Found({Device("A", 1), Device("B", 2)});
    QSignalSpy failed(&Window(), &MainWindow::searchFailed);

    QTest::keyClick(List(), Qt::Key_F5);
    EXPECT_TRUE(Animation()->isVisible());
    EXPECT_TRUE(Animation()->IsPlaying());
    Runner().Fail(MessageTooLong());

    EXPECT_FALSE(Animation()->isVisible());
    EXPECT_FALSE(Animation()->IsPlaying());
    ASSERT_EQ(failed.size(), 1);
    EXPECT_EQ(failed[0][0].value<Error>().message, "Socket Error # 10040\r\nMessage too long.");
    EXPECT_EQ(Captions(), (QStringList{"A 192.0.2.1", "B 192.0.2.2"}));
}

TEST_F(SearchCommandTest, AFailureAtTheStartIsReportedAndLeavesNoAnimation) {
    Runner().failAtStart = MessageTooLong();
    QSignalSpy failed(&Window(), &MainWindow::searchFailed);

    EXPECT_TRUE(Window().search());

    EXPECT_EQ(failed.size(), 1);
    EXPECT_FALSE(Animation()->IsPlaying());
}

TEST_F(SearchCommandTest, TriggersDuringASearchAreIgnored) {
    Show();
    Action("autoRefreshAction")->trigger();
    auto* timer = Window().findChild<QTimer*>("autoRefreshTimer");
    ASSERT_TRUE(Window().search());

    QTest::keyClick(List(), Qt::Key_F5);
    Action("browseAction")->trigger();
    QMetaObject::invokeMethod(timer, "timeout");
    EXPECT_FALSE(Window().search());

    EXPECT_EQ(Runner().starts, 1);
    Runner().Finish({Device("A", 1)});
    // Once it has ended, each trigger starts one again.
    QMetaObject::invokeMethod(timer, "timeout");
    EXPECT_EQ(Runner().starts, 2);
}

TEST_F(SearchCommandTest, AutoRefreshTogglesItsTimer) {
    auto* timer = Window().findChild<QTimer*>("autoRefreshTimer");
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 8000);
    ASSERT_FALSE(timer->isActive());

    Action("autoRefreshAction")->trigger();
    EXPECT_TRUE(Action("autoRefreshAction")->isChecked());
    EXPECT_TRUE(timer->isActive());

    Window().toggleAutoRefresh();
    EXPECT_FALSE(Action("autoRefreshAction")->isChecked());
    EXPECT_FALSE(timer->isActive());
}

class MenuKeysTest : public WindowTest {};

TEST_F(MenuKeysTest, MenuBarAndSeparatorShortcutsAreSwallowed) {
    Show();
    Found({Device("A", 1)});
    const QString status = Window().statusText();
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
    } counter;
    List()->installEventFilter(&counter);

    QTest::keyClick(List(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(List(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(List(), Qt::Key_F2, Qt::ShiftModifier | Qt::ControlModifier);

    EXPECT_EQ(counter.presses, 0);
    EXPECT_EQ(Window().statusText(), status);
    EXPECT_EQ(Runner().starts, 1);
}

TEST_F(MenuKeysTest, CtrlXAndTheCloseBoxAskToQuitAndAboutAsksForTheAboutWindow) {
    Show();
    QSignalSpy quit(&Window(), &MainWindow::quitRequested);
    QSignalSpy about(&Window(), &MainWindow::aboutRequested);

    QTest::keyClick(List(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(quit.size(), 1);
    Show();
    Window().windowHandle()->close();
    EXPECT_EQ(quit.size(), 2);
    Action("aboutAction")->trigger();
    EXPECT_EQ(about.size(), 1);
}

}  // namespace
}  // namespace nimbrel::testing
