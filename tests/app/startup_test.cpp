// SPDX-License-Identifier: MIT
// Start-up with a stand-in for the search: the two searches one after the other before the
// window shows, failures on the way, the show command, the About command and the ways to quit.
#include <QApplication>
#include <QPushButton>
#include <QSessionManager>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "about/about_dialog.h"
#include "app/startup.h"
#include "tests/gui/window_fixture.h"

namespace nimbrel::testing {
namespace {

class StartupTest : public ::testing::Test {
protected:
    void Make(int showCommand = ShowDefault) {
        startup_.reset();
        auto runner = std::make_unique<FakeSearchRunner>();
        runner_ = runner.get();
        startup_ = std::make_unique<Startup>(std::move(runner), showCommand);
    }
    /// Lets the event loop take the start-up's next step.
    static void Settle() { QCoreApplication::processEvents(); }
    /// Starts up with both searches finding `devices`; the window is shown afterwards.
    void StartUp(const std::vector<DeviceView>& devices = {}) {
        startup_->Begin();
        runner_->Finish(devices);
        Settle();
        runner_->Finish(devices);
        Settle();
        ASSERT_TRUE(Window().isVisible());
    }
    /// Runs the program's event loop with `action` as its first event; the loop's result.
    static int RunLoopWith(const std::function<void()>& action) {
        QTimer watchdog;
        watchdog.callOnTimeout([] { QCoreApplication::exit(99); });
        watchdog.start(10000);
        QTimer::singleShot(0, action);
        return QApplication::exec();
    }
    MainWindow& Window() { return startup_->Window(); }
    QStringList Captions() {
        QStringList captions;
        const auto* list = Window().findChild<QListWidget*>("deviceList");
        for (int row = 0; row < list->count(); ++row) {
            captions << list->item(row)->text();
        }
        return captions;
    }

    FakeSearchRunner* runner_ = nullptr;
    std::unique_ptr<Startup> startup_;
};

TEST_F(StartupTest, TwoSearchesOneAfterTheOtherComeBeforeTheWindowShows) {
    Make();
    EXPECT_EQ(QCoreApplication::applicationName(), "NIMBREL AP/BRIDGE/CloudAP");
    EXPECT_EQ(QGuiApplication::desktopFileName(), "com.nimbrel.utility");

    startup_->Begin();
    Settle();
    EXPECT_EQ(runner_->starts, 1);
    runner_->Finish({Device("A", 1)});
    Settle();
    EXPECT_EQ(runner_->starts, 2);
    EXPECT_FALSE(Window().isVisible());
    EXPECT_EQ(Captions(), QStringList{"A 192.0.2.1"});
    runner_->Finish({Device("B", 2)});
    Settle();

    EXPECT_TRUE(Window().isVisible());
    EXPECT_EQ(Window().windowState(), Qt::WindowNoState);
    EXPECT_EQ(Captions(), QStringList{"B 192.0.2.2"});
    EXPECT_FALSE(startup_->About().isVisible());
    EXPECT_FALSE(Window().findChild<QTimer*>("autoRefreshTimer")->isActive());
}

TEST_F(StartupTest, AFailedFirstSearchIsReportedBeforeAnyWindowAndStartUpGoesOnAfterwards) {
    Make();
    int startsWhileOpen = -1;
    bool windowWhileOpen = true;
    ExpectBoxes box(1, [&](const ShownBox&) {
        startsWhileOpen = runner_->starts;
        windowWhileOpen = Window().isVisible();
    });
    startup_->Begin();
    runner_->Fail(MessageTooLong());
    Settle();

    ASSERT_EQ(box.Count(), 1);
    EXPECT_EQ(box.Box().text, "Socket Error # 10040\r\nMessage too long.");
    EXPECT_EQ(box.Box().icon, QMessageBox::Critical);
    EXPECT_EQ(startsWhileOpen, 1);
    EXPECT_FALSE(windowWhileOpen);
    EXPECT_EQ(runner_->starts, 2);
    runner_->Finish({Device("B", 2)});
    Settle();
    EXPECT_TRUE(Window().isVisible());
}

TEST_F(StartupTest, SearchesThatFailAtTheirStartOrCannotLookUpStillLeadToTheWindow) {
    Make();
    runner_->failAtStart = MessageTooLong();
    ExpectBoxes box(1, [&](const ShownBox&) {
        runner_->failAtStart.reset();
        runner_->lookUpFails = true;
    });

    startup_->Begin();
    Settle();
    Settle();

    EXPECT_EQ(runner_->starts, 2);
    EXPECT_TRUE(Window().isVisible());
}

TEST_F(StartupTest, AFailureAfterStartUpIsReportedAndNothingElseHappens) {
    Make();
    StartUp({Device("A", 1)});
    ExpectBoxes box;

    ASSERT_TRUE(Window().search());
    runner_->Fail(MessageTooLong());
    Settle();

    EXPECT_EQ(box.Count(), 1);
    EXPECT_EQ(runner_->starts, 3);
    EXPECT_EQ(Captions(), QStringList{"A 192.0.2.1"});
}

TEST_F(StartupTest, MaximisedCommandOpensTheWindowMaximised) {
    Make(ShowMaximized);
    StartUp();
    EXPECT_TRUE(Window().windowState().testFlag(Qt::WindowMaximized));
}

TEST_F(StartupTest, MinimisedCommandLeavesTheSecondSearchForTheFirstRestore) {
    Make(ShowMinimizedNoActive);
    startup_->Begin();
    runner_->Finish({});
    Settle();
    EXPECT_TRUE(Window().isVisible());
    EXPECT_TRUE(Window().isMinimized());
    EXPECT_EQ(runner_->starts, 1);

    Window().setWindowState(Qt::WindowNoState);
    Settle();

    EXPECT_EQ(runner_->starts, 2);
    runner_->Finish({});
    Window().setWindowState(Qt::WindowMinimized);
    Window().setWindowState(Qt::WindowNoState);
    EXPECT_EQ(runner_->starts, 2);
}

TEST_F(StartupTest, AboutCommandOpensTheOneAboutWindowModally) {
    Make();
    StartUp();

    Window().findChild<QAction*>("aboutAction")->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&startup_->About()));

    EXPECT_EQ(QApplication::activeModalWidget(), &startup_->About());
    startup_->About().okButton()->click();
    EXPECT_FALSE(startup_->About().isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// Each way to quit ends the event loop at once, a search running or not.
TEST_F(StartupTest, ExitTheCloseBoxAndTheSessionsEndEachEndTheLoop) {
    const std::vector<std::function<void(MainWindow&)>> ways{
        [](MainWindow& window) { QTest::keyClick(&window, Qt::Key_X, Qt::ControlModifier); },
        [](MainWindow& window) { window.findChild<QAction*>("exitAction")->trigger(); },
        [](MainWindow& window) { window.windowHandle()->close(); },
        [](MainWindow&) {
            auto* manager = qApp->findChild<QSessionManager*>();
            ASSERT_NE(manager, nullptr) << "the platform has no session manager";
            Q_EMIT qApp->commitDataRequest(*manager);
        },
    };
    for (std::size_t way = 0; way < ways.size(); ++way) {
        SCOPED_TRACE(way);
        Make();
        StartUp();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
        ASSERT_TRUE(Window().search());

        EXPECT_EQ(RunLoopWith([&] { ways[way](Window()); }), 0);
        EXPECT_TRUE(runner_->Running());
    }
}

}  // namespace
}  // namespace nimbrel::testing
