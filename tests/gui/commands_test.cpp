// SPDX-License-Identifier: MIT
// The window's commands: copy, open (by double click, Enter or the menu, and an open that
// fails), auto refresh, the menu's keys, and what each does while a search runs or after one
// has failed.
#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
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
        showWindow();
    }
    void pressCtrlC() { QTest::keyClick(list(), Qt::Key_C, Qt::ControlModifier); }
    static QString clipboardText() { return QGuiApplication::clipboard()->text(); }
};

// A device's control characters could act on a terminal that the text is pasted into (ESC [
// 201 ~ ends a bracketed paste): they are left out of the copy and of the count before it.
TEST_F(CopyTest, CountIsShownThenTheTextWithoutControlsAndALineBreakAreCopied) {
    found({makeDevice("A", 1, {1, 2, 3, 4, 5, 6}, "1", "Caf\xE9-12\x1B[201~\r\nrm\x9B\x07")});
    QString clipboardWhileOpen;
    ExpectBoxes box(1, [&](const ShownBox&) { clipboardWhileOpen = clipboardText(); });

    pressCtrlC();

    // 0x9B is a C1 control in Latin-1 and "›" in Windows-1252, the code page of the tests there.
#ifdef _WIN32
    const QString expected = QString::fromUtf16(u"Caf\u00E9-12[201~rm\u203A\r\n");
    const QString count = "15";
#else
    const QString expected = QString::fromUtf16(u"Caf\u00E9-12[201~rm\r\n");
    const QString count = "14";
#endif
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.box().text, count);
    EXPECT_EQ(box.box().title, "NIMBREL AP/BRIDGE/CloudAP");
    EXPECT_EQ(box.box().icon, QMessageBox::NoIcon);
    EXPECT_EQ(box.box().buttons, QMessageBox::Ok);
    EXPECT_EQ(box.box().buttonCount, 1);
    EXPECT_EQ(box.box().textFormat, Qt::PlainText);
    EXPECT_FALSE(box.box().hasParent);
    EXPECT_EQ(clipboardWhileOpen, "before");
    EXPECT_EQ(clipboardText(), expected);
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->formats(), QStringList{"text/plain"});
}

TEST_F(CopyTest, NothingSelectedOrListedShowsNoBoxAndNothingToCopyShowsZero) {
    pressCtrlC();
    found({makeDevice("A", 1, {1, 2, 3, 4, 5, 6}, "1", "\r\n\x7F")});
    clickEmptySpot();
    pressCtrlC();
    EXPECT_EQ(clipboardText(), "before");

    selectRow(0);
    ExpectBoxes box;
    pressCtrlC();
    EXPECT_EQ(box.box().text, "0");
    EXPECT_TRUE(clipboardText().isEmpty());
}

TEST_F(CopyTest, DuringASearchAndAfterItFailedCopiesTheDeviceShownAndSelected) {
    found({makeDevice("A", 1, {1, 2, 3, 4, 5, 6}, "1", "first"),
           makeDevice("B", 2, {1, 2, 3, 4, 5, 7}, "1", "second")});
    selectRow(1);
    ASSERT_TRUE(window().search());
    ExpectBoxes boxes(2);

    pressCtrlC();
    EXPECT_EQ(boxes.box().text, "6");
    EXPECT_EQ(clipboardText(), "second\r\n");

    QGuiApplication::clipboard()->setText(QStringLiteral("between"));
    runner().fail(messageTooLong());
    pressCtrlC();
    EXPECT_EQ(boxes.count(), 2);
    EXPECT_EQ(captions(), (QStringList{"A 192.0.2.1", "B 192.0.2.2"}));
    EXPECT_EQ(clipboardText(), "second\r\n");
    EXPECT_EQ(window().statusText(), "MAC:01-02-03-04-05-07  VER:1");
}

class OpenTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        QDesktopServices::setUrlHandler("http", &catcher_, "open");
        showWindow();
    }
    void TearDown() override { QDesktopServices::unsetUrlHandler("http"); }
    UrlCatcher catcher_;
};

TEST_F(OpenTest, DoubleClickEnterAndKeypadEnterOpenTheSelectedDevicesPage) {
    found({makeDevice("A", 7), makeDevice("B", 200)});
    selectRow(1);

    QTest::mouseDClick(
        list()->viewport(), Qt::LeftButton, {},
        list()->visualRect(list()->model()->index(1, list()->modelColumn())).center());
    QTest::keyClick(list(), Qt::Key_Return);
    window().setView(MainWindow::View::Details);
    QTest::keyClick(table(), Qt::Key_Enter, Qt::KeypadModifier);

    const QUrl page("http://192.0.2.200");
    EXPECT_EQ(catcher_.opened, (QList<QUrl>{page, page, page}));
}

TEST_F(OpenTest, AnAddressTheSystemCannotOpenIsNamedInTheStatusBar) {
    // A handler without the slot named: the system reports that it could not open the address.
    QDesktopServices::setUrlHandler("http", &catcher_, "noSuchSlot");
    found({makeDevice("A", 7), makeDevice("B", 8, {2, 2, 2, 2, 2, 2})});
    selectRow(1);

    window().openSelectedDevice();

    EXPECT_EQ(window().statusText(), "Could not open http://192.0.2.8");
    EXPECT_EQ(selectedRow(), 1);
    EXPECT_EQ(captions().size(), 2);
}

TEST_F(OpenTest, MenuOpenOfADeviceWithoutAddressOpensTheAnyAddress) {
    DeviceView device = makeDevice("QZL-TMR", 1);
    device.ipv4 = {};
    device.hasAddress = false;
    found({device});

    QTest::keyClick(&window(), Qt::Key_O, Qt::ControlModifier);

    EXPECT_EQ(catcher_.opened, (QList<QUrl>{QUrl("http://0.0.0.0")}));
}

TEST_F(OpenTest, OpenWithNothingSelectedShowsTheHint) {
    found({makeDevice("A", 1)});
    clickEmptySpot();

    QTest::keyClick(&window(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(window().statusText(), "Please Double Click the items listed!");

    selectRow(0);
    clickEmptySpot();
    const QPoint emptySpot = list()->viewport()->rect().bottomRight() - QPoint(4, 4);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, emptySpot);
    EXPECT_EQ(window().statusText(), "Please Double Click the items listed!");
    EXPECT_TRUE(catcher_.opened.isEmpty());
}

class SearchCommandTest : public WindowTest {};

TEST_F(SearchCommandTest, AnimationPlaysWhileASearchRunsAndStopsWhenItFails) {
    showWindow();
    found({makeDevice("A", 1), makeDevice("B", 2)});
    QSignalSpy failed(&window(), &MainWindow::searchFailed);

    QTest::keyClick(list(), Qt::Key_F5);
    EXPECT_TRUE(animation()->isVisible());
    EXPECT_TRUE(animation()->isPlaying());
    runner().fail(messageTooLong());

    EXPECT_FALSE(animation()->isVisible());
    EXPECT_FALSE(animation()->isPlaying());
    ASSERT_EQ(failed.size(), 1);
    EXPECT_EQ(failed[0][0].value<Error>().message, "Socket Error # 10040\r\nMessage too long.");
    EXPECT_EQ(captions(), (QStringList{"A 192.0.2.1", "B 192.0.2.2"}));
}

TEST_F(SearchCommandTest, AFailureAtTheStartIsReportedAndLeavesNoAnimation) {
    runner().failAtStart = messageTooLong();
    QSignalSpy failed(&window(), &MainWindow::searchFailed);

    EXPECT_TRUE(window().search());

    EXPECT_EQ(failed.size(), 1);
    EXPECT_FALSE(animation()->isPlaying());
}

TEST_F(SearchCommandTest, TriggersDuringASearchAreIgnored) {
    showWindow();
    action("autoRefreshAction")->trigger();
    auto* timer = window().findChild<QTimer*>("autoRefreshTimer");
    ASSERT_TRUE(window().search());

    QTest::keyClick(list(), Qt::Key_F5);
    action("browseAction")->trigger();
    QMetaObject::invokeMethod(timer, "timeout");
    EXPECT_FALSE(window().search());

    EXPECT_EQ(runner().starts, 1);
    runner().finish({makeDevice("A", 1)});
    // Once it has ended, each trigger starts one again.
    QMetaObject::invokeMethod(timer, "timeout");
    EXPECT_EQ(runner().starts, 2);
}

TEST_F(SearchCommandTest, AutoRefreshTogglesItsTimer) {
    auto* timer = window().findChild<QTimer*>("autoRefreshTimer");
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 8000);
    ASSERT_FALSE(timer->isActive());

    action("autoRefreshAction")->trigger();
    EXPECT_TRUE(action("autoRefreshAction")->isChecked());
    EXPECT_TRUE(timer->isActive());

    window().toggleAutoRefresh();
    EXPECT_FALSE(action("autoRefreshAction")->isChecked());
    EXPECT_FALSE(timer->isActive());
}

class MenuKeysTest : public WindowTest {};

TEST_F(MenuKeysTest, TheViewMenusShortcutIsSwallowedAndCtrlFOpensTheFindField) {
    showWindow();
    found({makeDevice("A", 1)});
    const QString status = window().statusText();
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
    list()->installEventFilter(&counter);

    QTest::keyClick(list(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(list(), Qt::Key_F, Qt::ControlModifier);

    EXPECT_EQ(counter.presses, 0);
    EXPECT_EQ(window().statusText(), status);
    EXPECT_EQ(runner().starts, 1);
    auto* find = window().findChild<QLineEdit*>("findField");
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(find->isVisible());
    EXPECT_TRUE(find->hasFocus());
}

}  // namespace
}  // namespace nimbrel::testing
