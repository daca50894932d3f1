// SPDX-License-Identifier: MIT
// Start-up with a stand-in for the search: the window on screen at once, the two searches one
// after the other in it, failures on the way, the show command, and the About command and the
// ways to quit, during the start-up searches and after them.
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
    /// Starts up with both searches finding `devices`.
    void startUp(const std::vector<DeviceView>& devices = {}) {
        startup_->begin();
        runner_->finish(devices);
        settle();
        runner_->finish(devices);
        settle();
        ASSERT_EQ(runner_->starts, 2);
    }
    /// Whether the search animation is on show, the sign of a search running in the window.
    bool animationShown() {
        const auto* animation = window().findChild<QWidget*>("searchAnimation");
        return animation != nullptr && animation->isVisible();
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

TEST_F(StartupTest, TheWindowShowsAtOnceAndTheTwoSearchesRunInItOneAfterTheOther) {
    make();
    EXPECT_EQ(QCoreApplication::applicationName(), "NIMBREL AP/BRIDGE/CloudAP");
    EXPECT_EQ(QGuiApplication::desktopFileName(), "com.nimbrel.utility");

    startup_->begin();
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(window().windowState(), Qt::WindowNoState);
    EXPECT_EQ(runner_->starts, 1);
    EXPECT_TRUE(animationShown());
    settle();
    EXPECT_EQ(runner_->starts, 1);

    runner_->finish({makeDevice("A", 1)});
    EXPECT_EQ(captions(), QStringList{"A 192.0.2.1"});
    settle();
    EXPECT_EQ(runner_->starts, 2);
    EXPECT_TRUE(animationShown());
    runner_->finish({makeDevice("B", 2)});
    settle();

    EXPECT_EQ(runner_->starts, 2);
    EXPECT_FALSE(animationShown());
    EXPECT_EQ(captions(), QStringList{"B 192.0.2.2"});
    EXPECT_FALSE(startup_->about().isVisible());
}

TEST_F(StartupTest, AFailedFirstSearchIsReportedOverTheWindowAndStartUpGoesOnAfterwards) {
    make();
    int startsWhileOpen = -1;
    bool windowWhileOpen = false;
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
    EXPECT_TRUE(windowWhileOpen);
    EXPECT_EQ(runner_->starts, 2);
    runner_->finish({makeDevice("B", 2)});
    settle();
    EXPECT_EQ(captions(), QStringList{"B 192.0.2.2"});
}

TEST_F(StartupTest, SearchesThatFailAtTheirStartOrCannotLookUpStillLeaveTheWindowWorking) {
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
    runner_->lookUpFails = false;
    EXPECT_TRUE(window().search());
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

TEST_F(StartupTest, MaximisedCommandOpensTheWindowMaximisedAtOnce) {
    make(ShowMaximized);
    startup_->begin();
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(runner_->starts, 1);
    // The window system reports the state back through the event loop.
    settle();
    EXPECT_TRUE(window().windowState().testFlag(Qt::WindowMaximized));
}

TEST_F(StartupTest, MinimisedCommandLeavesTheSecondSearchForTheFirstRestore) {
    make(ShowMinimizedNoActive);
    startup_->begin();
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(window().isMinimized());
    runner_->finish({});
    settle();
    EXPECT_EQ(runner_->starts, 1);

    window().setWindowState(Qt::WindowNoState);
    settle();

    EXPECT_EQ(runner_->starts, 2);
    runner_->finish({});
    window().setWindowState(Qt::WindowMinimized);
    window().setWindowState(Qt::WindowNoState);
    settle();
    EXPECT_EQ(runner_->starts, 2);
}

TEST_F(StartupTest, MinimisedWindowRestoredDuringTheFirstSearchRunsTheSecondAfterIt) {
    make(ShowMinimizedNoActive);
    startup_->begin();
    window().setWindowState(Qt::WindowNoState);
    settle();
    EXPECT_EQ(runner_->starts, 1);

    runner_->finish({});
    settle();

    EXPECT_EQ(runner_->starts, 2);
}

// What the About window blocks while it is open is its own test's. The first time is during
// the first start-up search.
TEST_F(StartupTest, AboutCommandOpensTheOneAboutWindowEachTime) {
    make();
    startup_->begin();

    for (int opening = 0; opening < 2; ++opening) {
        window().findChild<QAction*>("aboutAction")->trigger();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&startup_->about()));
        startup_->about().okButton()->click();
        EXPECT_FALSE(startup_->about().isVisible());
        runner_->finish({});
        settle();
    }
    EXPECT_EQ(runner_->starts, 2);
}

// Each way to quit ends the event loop at once, during the first start-up search as after it.
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
    for (const bool duringStartUp : {true, false}) {
        for (std::size_t way = 0; way < ways.size(); ++way) {
            SCOPED_TRACE(::testing::Message()
                         << "way " << way << ", during start-up " << duringStartUp);
            make();
            if (duringStartUp) {
                startup_->begin();
            } else {
                startUp();
                ASSERT_TRUE(window().search());
            }
            ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));

            EXPECT_EQ(runLoopWith([&] { ways[way](window()); }), 0);
            EXPECT_TRUE(runner_->running());
        }
    }
}

}  // namespace
}  // namespace nimbrel::testing
