// Start-up in its order, the guards around the two start-up searches, the show command, the
// ways to quit, and the shutdown.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QSessionManager>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <optional>
#include <vector>

#include "about/about_box.h"
#include "tests/app/startup_fixture.h"
#include "tests/app/when_ready.h"
#include "tests/gui/expected_boxes.h"

namespace nimbrel::testing {
namespace {

/// The program's own windows that exist now, shown or not (menus and boxes aside).
QStringList ProgramWindows() {
    QStringList names;
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<const QMainWindow*>(window) != nullptr ||
            qobject_cast<const TAboutBox*>(window) != nullptr) {
            names << window->objectName();
        }
    }
    names.sort();
    return names;
}

bool AnyProgramWindowVisible() {
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if ((qobject_cast<const QMainWindow*>(window) != nullptr ||
             qobject_cast<const TAboutBox*>(window) != nullptr) &&
            window->isVisible()) {
            return true;
        }
    }
    return false;
}

/// While it lives, every box is run as the program runs it, in a loop of its own, and is
/// answered with OK from inside that loop once `whileOpen` has run there. A box whose loop ended
/// without that answer returns something other than OK.
class BoxesAnsweredInTheirLoop {
public:
    explicit BoxesAnsweredInTheirLoop(std::function<void()> whileOpen = {})
        : whileOpen_(std::move(whileOpen)) {
        previous_ = MessageDialog::SetTestHook([this](QMessageBox& box) {
            texts_ << box.text();
            QTimer::singleShot(0, &box, [this, &box] {
                if (whileOpen_) {
                    whileOpen_();
                }
                // A later event, so that the loop has its turn to end first if it is going to.
                QTimer::singleShot(0, &box, [&box] { box.button(QMessageBox::Ok)->click(); });
            });
            results_.push_back(box.exec());
        });
    }
    ~BoxesAnsweredInTheirLoop() { MessageDialog::SetTestHook(std::move(previous_)); }
    BoxesAnsweredInTheirLoop(const BoxesAnsweredInTheirLoop&) = delete;
    BoxesAnsweredInTheirLoop& operator=(const BoxesAnsweredInTheirLoop&) = delete;

    const QStringList& Texts() const { return texts_; }
    /// What each box's run returned: QMessageBox::Ok when it waited for the answer.
    const std::vector<int>& Results() const { return results_; }

private:
    std::function<void()> whileOpen_;
    QStringList texts_;
    std::vector<int> results_;
    MessageDialog::TestHook previous_;
};

class StartUpOrderTest : public StartupTest {};

TEST_F(StartUpOrderTest, MainWindowWithItsFirstSearchComesBeforeTheAboutWindowBothHidden) {
    Prepare(Replies({Device("A", 1)}));
    // Due at once, but only the first search's event pass dispatches anything during start-up.
    QStringList windowsDuringFirstSearch{"not dispatched"};
    QTimer::singleShot(0, [&] { windowsDuringFirstSearch = ProgramWindows(); });

    ASSERT_TRUE(App().Start());

    EXPECT_EQ(QCoreApplication::applicationName(), "NIMBREL AP/BRIDGE/CloudAP");
    EXPECT_EQ(windowsDuringFirstSearch, QStringList{"Form1"});
    EXPECT_EQ(Requests(), 1);
    EXPECT_EQ(Captions(), QStringList{"A 192.0.2.1"});
    // Only these two windows: the inert configuration windows are not built.
    EXPECT_EQ(ProgramWindows(), (QStringList{"AboutBox", "Form1"}));
    EXPECT_FALSE(AnyProgramWindowVisible());
    EXPECT_FALSE(Timer()->isActive());
}

TEST_F(StartUpOrderTest, NormalRunShowsTheWindowAfterItsSecondSearchAndEndsWithStatusZero) {
    Prepare(Replies({Device("A", 1)}));
    int requestsOnScreen = -1;
    Qt::WindowStates stateOnScreen;
    QStringList destroyed;
    WhenReady exit([this] { return Idle(); },
                   [&] {
                       requestsOnScreen = Requests();
                       stateOnScreen = Form().windowState();
                       for (QWidget* window :
                            {static_cast<QWidget*>(&Form()), static_cast<QWidget*>(&About())}) {
                           QObject::connect(
                               window, &QObject::destroyed,
                               [&destroyed, name = window->objectName()] { destroyed << name; });
                       }
                       QTest::keyClick(List(), Qt::Key_X, Qt::ControlModifier);
                   });

    EXPECT_EQ(App().Run(), 0);

    EXPECT_EQ(requestsOnScreen, 2);
    EXPECT_EQ(stateOnScreen, Qt::WindowNoState);
    EXPECT_TRUE(App().Terminated());
    // The last created goes first; the main window takes its endpoint with it.
    EXPECT_EQ(destroyed, (QStringList{"AboutBox", "Form1"}));
    EXPECT_EQ(App().Form1(), nullptr);
    EXPECT_EQ(App().AboutBox(), nullptr);
}

class StartUpGuardsTest : public StartupTest {};

TEST_F(StartUpGuardsTest, FailedFirstSearchIsReportedBeforeAnyWindowShowsAndStartUpGoesOn) {
    Prepare({{OverlongDatagram(), 0ms}});
    bool windowVisibleDuringBox = true;
    ExpectBoxes box(1, [&](const ShownBox&) {
        windowVisibleDuringBox = AnyProgramWindowVisible();
        ReplaceReplies(Replies({Device("B", 2)}));
    });

    ASSERT_TRUE(App().Start());

    ASSERT_EQ(box.Count(), 1);
    EXPECT_EQ(box.Box().text, "Socket Error # 10040\r\nMessage too long.");
    EXPECT_EQ(box.Box().title, "NIMBREL AP/BRIDGE/CloudAP");
    EXPECT_EQ(box.Box().icon, QMessageBox::Critical);
    EXPECT_FALSE(windowVisibleDuringBox);
    // The window was still created, and start-up went on to the About window.
    EXPECT_NE(App().Form1(), nullptr);
    EXPECT_NE(App().AboutBox(), nullptr);

    QStringList captionsOnScreen;
    WhenReady quit([this] { return Idle(); },
                   [&] {
                       captionsOnScreen = Captions();
                       App().RequestQuit();
                   });
    App().RunEventLoop();

    EXPECT_EQ(Requests(), 2);
    EXPECT_EQ(captionsOnScreen, QStringList{"B 192.0.2.2"});
}

TEST_F(StartUpGuardsTest, FailedShowTimeSearchIsReportedAndTheWindowStillComesUp) {
    Prepare(Replies({Device("A", 1)}));
    ASSERT_TRUE(App().Start());
    ReplaceReplies({{OverlongDatagram(), 0ms}});
    bool exposedDuringBox = true;
    ExpectBoxes box(1, [&](const ShownBox&) {
        exposedDuringBox = Form().windowHandle() != nullptr && Form().windowHandle()->isExposed();
    });

    bool onScreen = false;
    WhenReady quit([this] { return OnScreen(); },
                   [&] {
                       onScreen = true;
                       App().RequestQuit();
                   });
    App().RunEventLoop();

    ASSERT_EQ(box.Count(), 1);
    EXPECT_EQ(box.Box().text, "Socket Error # 10040\r\nMessage too long.");
    EXPECT_FALSE(exposedDuringBox);
    EXPECT_TRUE(onScreen);
    EXPECT_EQ(Requests(), 2);
}

class ShowCommandTest : public StartupTest {};

TEST_F(ShowCommandTest, MaximisedCommandOpensTheWindowMaximised) {
    Prepare(Replies({Device("A", 1)}), ShowMaximized);
    ASSERT_TRUE(App().Start());
    Qt::WindowStates state;
    WhenReady quit([this] { return Idle(); },
                   [&] {
                       state = Form().windowState();
                       App().RequestQuit();
                   });

    App().RunEventLoop();

    EXPECT_TRUE(state.testFlag(Qt::WindowMaximized));
    EXPECT_EQ(Requests(), 2);
}

TEST_F(ShowCommandTest, MinimisedCommandLeavesTheShowTimeSearchForTheFirstRestore) {
    Prepare(Replies({Device("A", 1)}), ShowMinimizedNoActive);
    ASSERT_TRUE(App().Start());
    bool minimised = false;
    int requestsWhileMinimised = -1;
    int requestsAfterRestore = -1;
    WhenReady restore([this] { return App().Form1()->isVisible(); },
                      [&] {
                          minimised = Form().isMinimized();
                          requestsWhileMinimised = Requests();
                          Form().setWindowState(Qt::WindowNoState);
                          requestsAfterRestore = Requests();
                          App().RequestQuit();
                      });

    App().RunEventLoop();

    EXPECT_TRUE(minimised);
    EXPECT_EQ(requestsWhileMinimised, 1);
    EXPECT_EQ(requestsAfterRestore, 2);
}

TEST_F(ShowCommandTest, OtherCommandsShowTheWindowNormally) {
    for (const int command : {1, 5, 10}) {
        Prepare({}, command);
        ASSERT_TRUE(App().Start());
        Qt::WindowStates state = Qt::WindowMinimized;
        WhenReady quit([this] { return Idle(); },
                       [&] {
                           state = Form().windowState();
                           App().RequestQuit();
                       });
        App().RunEventLoop();
        EXPECT_EQ(state, Qt::WindowNoState) << command;
        startup_.reset();
    }
}

// Every way to quit posts the quit; the loop ends and the main window stays on screen until
// the shutdown.
class QuitTest : public StartupTest {
protected:
    void QuitsBy(const std::function<void()>& action) {
        Prepare(Replies({Device("A", 1)}));
        ASSERT_TRUE(App().Start());
        WhenReady quit([this] { return Idle(); }, action);
        App().RunEventLoop();
        EXPECT_TRUE(App().Terminated());
        EXPECT_TRUE(Form().isVisible());
        EXPECT_FALSE(About().isVisible());
    }
};

TEST_F(QuitTest, CtrlX) {
    QuitsBy([this] { QTest::keyClick(List(), Qt::Key_X, Qt::ControlModifier); });
}

TEST_F(QuitTest, ExitMenuItem) {
    QuitsBy([this] { Action("sep")->trigger(); });
}

TEST_F(QuitTest, CloseBoxAndTaskbarClose) {
    // Both reach the window as the window system's request to close it.
    QuitsBy([this] { Form().windowHandle()->close(); });
}

TEST_F(QuitTest, ExitDuringASearchLetsItFinishAndUpdateTheList) {
    Prepare(Replies({Device("A", 1)}), ShowDefault, {.receiveTimeout = 400ms});
    ASSERT_TRUE(App().Start());
    bool searchRunningAtExit = false;
    bool terminatedAtExit = false;
    std::optional<WhenReady> exitInside;
    WhenReady search([this] { return Idle(); },
                     [&] {
                         ReplaceReplies({{tools::BuildReply(Device("B", 2)), 0ms},
                                         {tools::BuildReply(Device("C", 3)), 150ms}});
                         exitInside.emplace([this] { return Animation()->isVisible(); },
                                            [&] {
                                                searchRunningAtExit = true;
                                                QTest::keyClick(List(), Qt::Key_X,
                                                                Qt::ControlModifier);
                                                QCoreApplication::processEvents();
                                                terminatedAtExit = App().Terminated();
                                            });
                         Action("bbrow")->trigger();
                     });

    App().RunEventLoop();

    EXPECT_TRUE(searchRunningAtExit);
    // The quit was taken inside the search, which then ran on to its end.
    EXPECT_TRUE(terminatedAtExit);
    EXPECT_EQ(Captions(), (QStringList{"B 192.0.2.2", "C 192.0.2.3"}));
    EXPECT_FALSE(Animation()->isVisible());
    EXPECT_TRUE(Form().isVisible());
}

TEST_F(QuitTest, BoxesRaisedAfterAQuitTakenDuringASearchWaitForOk) {
    Prepare(Replies({Device("A", 1)}), ShowDefault, {.receiveTimeout = 400ms});
    ASSERT_TRUE(App().Start());
    bool terminatedAtExit = false;
    std::optional<WhenReady> exitInside;
    BoxesAnsweredInTheirLoop boxes;
    WhenReady search([this] { return Idle(); },
                     [&] {
                         ReplaceReplies({{OverlongDatagram(), 150ms}});
                         exitInside.emplace(
                             [this] { return Animation()->isVisible(); },
                             [&] {
                                 QTest::keyClick(List(), Qt::Key_X, Qt::ControlModifier);
                                 QCoreApplication::processEvents();
                                 terminatedAtExit = App().Terminated();
                                 // The count of the emptied table's copy text.
                                 QTest::keyClick(List(), Qt::Key_C, Qt::ControlModifier);
                             });
                         Action("bbrow")->trigger();
                     });

    App().RunEventLoop();

    EXPECT_TRUE(terminatedAtExit);
    EXPECT_EQ(boxes.Texts(), (QStringList{"0", "Socket Error # 10040\r\nMessage too long."}));
    EXPECT_EQ(boxes.Results(), (std::vector<int>{QMessageBox::Ok, QMessageBox::Ok}));
    EXPECT_TRUE(App().Terminated());
}

class SessionEndTest : public StartupTest {
protected:
    static void EndSession() {
        auto* manager = qApp->findChild<QSessionManager*>();
        ASSERT_NE(manager, nullptr) << "the platform has no session manager";
        Q_EMIT qApp->commitDataRequest(*manager);
    }
};

TEST_F(SessionEndTest, SetsTheFlagAndEndsTheLoopWithoutClosingAnyWindow) {
    Prepare(Replies({Device("A", 1)}));
    ASSERT_TRUE(App().Start());
    bool flagRightAfter = false;
    WhenReady end([this] { return Idle(); },
                  [&] {
                      EndSession();
                      flagRightAfter = App().Terminated();
                  });

    App().RunEventLoop();

    EXPECT_TRUE(flagRightAfter);
    EXPECT_TRUE(Form().isVisible());
}

TEST_F(SessionEndTest, DuringTheShowTimeSearchKeepsTheLoopFromStarting) {
    Prepare(Replies({Device("A", 1)}));
    ASSERT_TRUE(App().Start());
    WhenReady end([this] { return Form().isVisible() && Animation()->isVisible(); },
                  [] { EndSession(); });

    App().RunEventLoop();

    EXPECT_TRUE(App().Terminated());
    // The search ran to its end and the window was still shown.
    EXPECT_EQ(Captions(), QStringList{"A 192.0.2.1"});
    EXPECT_TRUE(Form().isVisible());
}

TEST_F(SessionEndTest, LeavesAnOpenFailureBoxOpenUntilItIsAnswered) {
    Prepare(Replies({Device("A", 1)}));
    ASSERT_TRUE(App().Start());
    bool flagWhileOpen = false;
    BoxesAnsweredInTheirLoop boxes([&] {
        EndSession();
        flagWhileOpen = App().Terminated();
    });
    WhenReady search([this] { return Idle(); },
                     [this] {
                         ReplaceReplies({{OverlongDatagram(), 0ms}});
                         Action("bbrow")->trigger();
                     });

    App().RunEventLoop();

    EXPECT_TRUE(flagWhileOpen);
    EXPECT_EQ(boxes.Texts(), QStringList{"Socket Error # 10040\r\nMessage too long."});
    EXPECT_EQ(boxes.Results(), std::vector<int>{QMessageBox::Ok});
    // The loop ended once the search that failed had been abandoned.
    EXPECT_TRUE(App().Terminated());
}

}  // namespace
}  // namespace nimbrel::testing
