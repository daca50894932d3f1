// The About command through the application shell: the shell's own About window, modal over a
// main window that takes no input meanwhile, while its timer and searches go on behind it.
// How the window itself ends (OK, Enter, close box, Esc) is the About window's own test.
#include <QApplication>
#include <QPushButton>
#include <QSessionManager>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <optional>

#include "about/about_box.h"
#include "tests/about/modal_driver.h"
#include "tests/about/qt_messages.h"
#include "tests/app/startup_fixture.h"
#include "tests/app/when_ready.h"

namespace nimbrel::testing {
namespace {

class AboutCommandTest : public StartupTest {
protected:
    /// Starts and, once the main window is idle on screen, gives the About command, running
    /// `insideAbout` once the About window is up; then runs the loop until the program quits.
    void OpenAboutAnd(std::function<void()> insideAbout) {
        ASSERT_TRUE(App().Start());
        std::optional<ModalDriver> driver;
        WhenReady open([this] { return Idle(); },
                       [&] {
                           driver.emplace(About(), insideAbout);
                           Action("about")->trigger();
                           EXPECT_TRUE(driver->StepRan());
                           afterAbout_();
                       });
        App().RunEventLoop();
    }

    void PressOnWindow(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        // Through the window system, as a user's key comes, so that modality applies.
        QTest::keyClick(window.windowHandle(), key, modifiers);
    }

    /// Runs once the About command has returned, still inside the main loop.
    std::function<void()> afterAbout_ = [this] { App().RequestQuit(); };
};

TEST_F(AboutCommandTest, ShowsTheShellsAboutWindowModallyAndEnterEndsItWithOk) {
    Prepare({});
    QWidget* modal = nullptr;
    OpenAboutAnd([&] {
        modal = QApplication::activeModalWidget();
        PressOnWindow(About(), Qt::Key_Return);
    });

    EXPECT_EQ(modal, App().AboutBox());
    EXPECT_EQ(About().ModalResult(), ModalOk);
    EXPECT_FALSE(About().isVisible());
}

TEST_F(AboutCommandTest, CloseBoxEndsItWithCancelAndTheNextCommandOpensTheSameWindow) {
    Prepare({});
    int firstResult = 0;
    QWidget* reopened = nullptr;
    afterAbout_ = [&] {
        firstResult = About().ModalResult();
        ModalDriver again(About(), [&] {
            reopened = QApplication::activeModalWidget();
            QTest::mouseClick(About().OKButton, Qt::LeftButton);
        });
        Action("about")->trigger();
        EXPECT_TRUE(again.StepRan());
        App().RequestQuit();
    };
    OpenAboutAnd([this] { About().windowHandle()->close(); });

    EXPECT_EQ(firstResult, ModalCancel);
    // Hidden in between, never destroyed: the one window of the start-up opens again.
    EXPECT_EQ(reopened, App().AboutBox());
    EXPECT_EQ(About().ModalResult(), ModalOk);
}

TEST_F(AboutCommandTest, MainWindowTakesNoInputWhileItIsOpen) {
    Prepare(Replies({Device("A", 1)}));
    int requestsBefore = -1;
    bool terminatedWhileOpen = true;
    int requestsWhileOpen = -1;
    // Once it has closed, the same key reaches the main window and ends the program; so the
    // checks inside could have failed.
    std::optional<WhenReady> exit;
    afterAbout_ = [&] {
        exit.emplace([this] { return Form().isActiveWindow(); },
                     [this] { PressOnWindow(Form(), Qt::Key_X, Qt::ControlModifier); });
    };
    OpenAboutAnd([&] {
        requestsBefore = Requests();
        PressOnWindow(Form(), Qt::Key_X, Qt::ControlModifier);
        PressOnWindow(Form(), Qt::Key_F5);
        QCoreApplication::processEvents();
        terminatedWhileOpen = App().Terminated();
        requestsWhileOpen = Requests();
        About().OKButton->click();
    });

    EXPECT_FALSE(terminatedWhileOpen);
    EXPECT_EQ(requestsWhileOpen, requestsBefore);
    EXPECT_TRUE(App().Terminated());
}

TEST_F(AboutCommandTest, AutoRefreshSearchesGoOnBehindItAndTheListShowsTheLatest) {
    Prepare(Replies({Device("A", 1)}));
    ASSERT_TRUE(App().Start());
    QStringList captionsBehind;
    bool timerRunningBehind = false;
    QStringList captionsAfter;
    int requestsAtOpen = -1;
    std::optional<WhenReady> searched;
    std::optional<ModalDriver> driver;
    WhenReady open([this] { return Idle(); },
                   [&] {
                       Action("AutoRefresh1")->trigger();
                       // Eight seconds between ticks would only slow the test down; what counts
                       // is that the ticks go on while the About window's loop runs.
                       Timer()->setInterval(20);
                       ReplaceReplies(Replies({Device("B", 2)}));
                       driver.emplace(About(), [&] {
                           requestsAtOpen = Requests();
                           searched.emplace(
                               [&] {
                                   return Requests() > requestsAtOpen &&
                                          !Animation()->isVisible() &&
                                          Captions() == QStringList{"B 192.0.2.2"};
                               },
                               [&] {
                                   captionsBehind = Captions();
                                   timerRunningBehind = Timer()->isActive();
                                   EXPECT_TRUE(About().isVisible());
                                   About().OKButton->click();
                               });
                       });
                       Action("about")->trigger();
                       captionsAfter = Captions();
                       Action("AutoRefresh1")->trigger();
                       App().RequestQuit();
                   });

    App().RunEventLoop();

    EXPECT_EQ(captionsBehind, QStringList{"B 192.0.2.2"});
    EXPECT_TRUE(timerRunningBehind);
    EXPECT_EQ(captionsAfter, QStringList{"B 192.0.2.2"});
}

TEST_F(AboutCommandTest, SearchWaitingForRepliesStandsStillUntilItCloses) {
    Prepare(Replies({Device("A", 1)}), ShowDefault,
            {.receiveTimeout = 200ms, .idleSlice = 20ms, .pause = 30ms});
    ASSERT_TRUE(App().Start());
    int recordsAtOpen = -1;
    int requestsAtOpen = -1;
    QStringList captionsAfterWaiting;
    int recordsAfterWaiting = -1;
    bool searchStillRunning = false;
    std::optional<WhenReady> waited;
    std::optional<WhenReady> aboutDuringSearch;
    std::optional<ModalDriver> driver;
    WhenReady search([this] { return Idle(); },
                     [&] {
                         // The second reply comes well after the About window has opened.
                         ReplaceReplies({{tools::BuildReply(Device("B", 2)), 0ms},
                                         {tools::BuildReply(Device("C", 3)), 300ms}});
                         driver.emplace(About(), [&] {
                             recordsAtOpen = Form().Table().RecordCount();
                             requestsAtOpen = Requests();
                             // Neither a tick nor the menu's item may start a search inside this
                             // one.
                             Form().tmr1Timer();
                             Form().bbrowClick();
                             EXPECT_EQ(Requests(), requestsAtOpen);
                             // Both replies wait at the search's socket once they are sent; a
                             // search that went on would read them.
                             waited.emplace([this] { return simulator_->RepliesSent() == 2; },
                                            [&] {
                                                QCoreApplication::processEvents();
                                                recordsAfterWaiting = Form().Table().RecordCount();
                                                captionsAfterWaiting = Captions();
                                                searchStillRunning = Animation()->isVisible();
                                                About().OKButton->click();
                                            });
                         });
                         aboutDuringSearch.emplace([this] { return Animation()->isVisible(); },
                                                   [this] { Action("about")->trigger(); });
                         Action("bbrow")->trigger();
                         App().RequestQuit();
                     });

    App().RunEventLoop();

    EXPECT_EQ(recordsAfterWaiting, recordsAtOpen);
    EXPECT_EQ(captionsAfterWaiting, QStringList{"A 192.0.2.1"});
    EXPECT_TRUE(searchStillRunning);
    EXPECT_EQ(Requests(), requestsAtOpen);
    // Once the About window has closed the search went on and read the reply that waited.
    EXPECT_EQ(Captions(), (QStringList{"B 192.0.2.2", "C 192.0.2.3"}));
}

// OK pressed while a search that a tick started inside the window's loop still runs: the window
// hides at once, but its showing returns only when that search has ended, and until then the
// main window takes no input and the About command shows nothing.
TEST_F(AboutCommandTest, OkDuringASearchStartedInsideItLeavesTheMainWindowInertUntilItReturns) {
    Prepare(Replies({Device("A", 1)}));
    bool hiddenAfterOk = false;
    bool enabledAfterOk = true;
    bool terminatedAfterOk = true;
    bool shownAgain = true;
    QStringList messages{"not run"};
    std::optional<WhenReady> okDuringSearch;
    afterAbout_ = [&] {
        EXPECT_TRUE(Form().isEnabled());
        App().RequestQuit();
    };
    OpenAboutAnd([&] {
        ReplaceReplies(Replies({Device("B", 2)}));
        okDuringSearch.emplace([this] { return Animation()->isVisible(); },
                               [&] {
                                   About().OKButton->click();
                                   hiddenAfterOk = !About().isVisible();
                                   enabledAfterOk = Form().isEnabled();
                                   {
                                       const QtMessagesCaught caught;
                                       Action("about")->trigger();
                                       shownAgain = About().isVisible();
                                       messages = caught.Messages();
                                   }
                                   // A user's Ctrl+X on the main window, activated for it.
                                   Form().activateWindow();
                                   QCoreApplication::processEvents();
                                   PressOnWindow(Form(), Qt::Key_X, Qt::ControlModifier);
                                   QCoreApplication::processEvents();
                                   terminatedAfterOk = App().Terminated();
                               });
        // The tick's handler, run from inside the window's loop.
        Form().tmr1Timer();
    });

    EXPECT_TRUE(hiddenAfterOk);
    EXPECT_FALSE(enabledAfterOk);
    EXPECT_FALSE(terminatedAfterOk);
    EXPECT_FALSE(shownAgain);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(About().ModalResult(), ModalOk);
    EXPECT_EQ(Captions(), QStringList{"B 192.0.2.2"});
    EXPECT_TRUE(App().Terminated());
}

class AboutQuitTest : public AboutCommandTest {};

TEST_F(AboutQuitTest, QuitTakenInsideItsLoopEndsItWithCancelAndThenTheProgram) {
    Prepare({});
    afterAbout_ = [] {};
    OpenAboutAnd([this] { App().RequestQuit(); });

    EXPECT_EQ(About().ModalResult(), ModalCancel);
    EXPECT_FALSE(About().isVisible());
    EXPECT_TRUE(App().Terminated());
    EXPECT_TRUE(Form().isVisible());
}

TEST_F(AboutQuitTest, SessionEndWhileItIsOpenEndsItWithCancelAndThenTheProgram) {
    Prepare({});
    afterAbout_ = [] {};
    OpenAboutAnd([] {
        auto* manager = qApp->findChild<QSessionManager*>();
        ASSERT_NE(manager, nullptr) << "the platform has no session manager";
        Q_EMIT qApp->commitDataRequest(*manager);
    });

    EXPECT_EQ(About().ModalResult(), ModalCancel);
    EXPECT_TRUE(App().Terminated());
}

TEST_F(AboutQuitTest, AboutCommandAfterAQuitTakenDuringASearchDoesNotOpenIt) {
    Prepare(Replies({Device("A", 1)}), ShowDefault, {.receiveTimeout = 400ms});
    ASSERT_TRUE(App().Start());
    bool aboutShown = false;
    // Would answer an About window that opened, so that a failing test does not hang.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (About().isVisible()) {
            aboutShown = true;
            About().OKButton->click();
        }
    });
    answer.start(1);
    bool terminatedAtAbout = false;
    std::optional<WhenReady> inside;
    WhenReady search([this] { return Idle(); },
                     [&] {
                         ReplaceReplies({{tools::BuildReply(Device("B", 2)), 0ms},
                                         {tools::BuildReply(Device("C", 3)), 150ms}});
                         inside.emplace([this] { return Animation()->isVisible(); },
                                        [&] {
                                            Action("sep")->trigger();
                                            QCoreApplication::processEvents();
                                            terminatedAtAbout = App().Terminated();
                                            Action("about")->trigger();
                                        });
                         Action("bbrow")->trigger();
                     });

    App().RunEventLoop();

    EXPECT_TRUE(terminatedAtAbout);
    EXPECT_FALSE(aboutShown);
    // Never shown, so no showing has a result.
    EXPECT_EQ(About().ModalResult(), 0);
    EXPECT_EQ(Captions(), (QStringList{"B 192.0.2.2", "C 192.0.2.3"}));
}

}  // namespace
}  // namespace nimbrel::testing
