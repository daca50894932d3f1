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
    void make(int showCommand = ShowDefault) {
        startup_.reset();
        auto runner = std::make_unique<FakeSearchRunner>();
        runner_ = runner.get();
        startup_ = std::make_unique<Startup>(std::move(runner), showCommand);
    }
    /// Lets the event loop take the start-up's next step.
    static void settle() { QCoreApplication::processEvents(); }
    /// Starts up with both searches finding `devices`; the window is shown afterwards.
    void startUp(const std::vector<DeviceView>& devices = {}) {
        startup_->begin();
        runner_->finish(devices);
        settle();
        runner_->finish(devices);
        settle();
        ASSERT_TRUE(window().isVisible());
    }
    /// Runs the program's event loop with `action` as its first event; the loop's result.
    static int runLoopWith(const std::function<void()>& action) {
        QTimer watchdog;
        watchdog.callOnTimeout([] { QCoreApplication::exit(99); });
        watchdog.start(10000);
        QTimer::singleShot(0, action);
        return QApplication::exec();
    }
    MainWindow& window() { return startup_->window(); }
    QStringList captions() { return testing::captions(window()); }

    FakeSearchRunner* runner_ = nullptr;
    std::unique_ptr<Startup> startup_;
};

TEST_F(StartupTest, TwoSearchesOneAfterTheOtherComeBeforeTheWindowShows) {
    make();
    EXPECT_EQ(QCoreApplication::applicationName(), "NIMBREL AP/BRIDGE/CloudAP");
    EXPECT_EQ(QGuiApplication::desktopFileName(), "com.nimbrel.utility");

    startup_->begin();
    settle();
    EXPECT_EQ(runner_->starts, 1);
    runner_->finish({makeDevice("A", 1)});
    settle();
    EXPECT_EQ(runner_->starts, 2);
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(captions(), QStringList{"A 192.0.2.1"});
    runner_->finish({makeDevice("B", 2)});
    settle();

    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(window().windowState(), Qt::WindowNoState);
    EXPECT_EQ(captions(), QStringList{"B 192.0.2.2"});
    EXPECT_FALSE(startup_->about().isVisible());
    EXPECT_FALSE(window().findChild<QTimer*>("autoRefreshTimer")->isActive());
}

TEST_F(StartupTest, AFailedFirstSearchIsReportedBeforeAnyWindowAndStartUpGoesOnAfterwards) {
    make();
    int startsWhileOpen = -1;
    bool windowWhileOpen = true;
    ExpectBoxes box(1, [&](const ShownBox&) {
        startsWhileOpen = runner_->starts;
        windowWhileOpen = window().isVisible();
    });
    startup_->begin();
    runner_->fail(messageTooLong());
    settle();

    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.box().text, "Socket Error # 10040\r\nMessage too long.");
    EXPECT_EQ(box.box().icon, QMessageBox::Critical);
    EXPECT_EQ(startsWhileOpen, 1);
    EXPECT_FALSE(windowWhileOpen);
    EXPECT_EQ(runner_->starts, 2);
    runner_->finish({makeDevice("B", 2)});
    settle();
    EXPECT_TRUE(window().isVisible());
}

TEST_F(StartupTest, SearchesThatFailAtTheirStartOrCannotLookUpStillLeadToTheWindow) {
    make();
    runner_->failAtStart = messageTooLong();
    ExpectBoxes box(1, [&](const ShownBox&) {
        runner_->failAtStart.reset();
        runner_->lookUpFails = true;
    });

    startup_->begin();
    settle();
    settle();

    EXPECT_EQ(runner_->starts, 2);
    EXPECT_TRUE(window().isVisible());
}

TEST_F(StartupTest, AFailureAfterStartUpIsReportedAndNothingElseHappens) {
    make();
    startUp({makeDevice("A", 1)});
    ExpectBoxes box;

    ASSERT_TRUE(window().search());
    runner_->fail(messageTooLong());
    settle();

    EXPECT_EQ(box.count(), 1);
    EXPECT_EQ(runner_->starts, 3);
    EXPECT_EQ(captions(), QStringList{"A 192.0.2.1"});
}

TEST_F(StartupTest, MaximisedCommandOpensTheWindowMaximised) {
    make(ShowMaximized);
    startUp();
    EXPECT_TRUE(window().windowState().testFlag(Qt::WindowMaximized));
}

TEST_F(StartupTest, MinimisedCommandLeavesTheSecondSearchForTheFirstRestore) {
    make(ShowMinimizedNoActive);
    startup_->begin();
    runner_->finish({});
    settle();
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(window().isMinimized());
    EXPECT_EQ(runner_->starts, 1);

    window().setWindowState(Qt::WindowNoState);
    settle();

    EXPECT_EQ(runner_->starts, 2);
    runner_->finish({});
    window().setWindowState(Qt::WindowMinimized);
    window().setWindowState(Qt::WindowNoState);
    EXPECT_EQ(runner_->starts, 2);
}

// What the About window blocks while it is open is its own test's.
TEST_F(StartupTest, AboutCommandOpensTheOneAboutWindowEachTime) {
    make();
    startUp();

    for (int opening = 0; opening < 2; ++opening) {
        window().findChild<QAction*>("aboutAction")->trigger();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&startup_->about()));
        startup_->about().okButton()->click();
        EXPECT_FALSE(startup_->about().isVisible());
    }
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
        make();
        startUp();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
        ASSERT_TRUE(window().search());

        EXPECT_EQ(runLoopWith([&] { ways[way](window()); }), 0);
        EXPECT_TRUE(runner_->running());
    }
}

}  // namespace
}  // namespace nimbrel::testing
