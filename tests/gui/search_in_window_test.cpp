// How searches drive the window: start-up order, triggers during a search, the list during a
// search, failures reaching the report, and a quit asked for during a search.
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <stdexcept>

#include "discovery/failure.h"
#include "tests/gui/expected_boxes.h"
#include "tests/gui/form_fixture.h"

namespace nimbrel::testing {
namespace {

using tools::DeviceSpec;

DeviceSpec Device(std::string model, std::uint8_t last) {
    return DeviceSpec{std::move(model), {192, 0, 2, last}, {2, 0, 0, 0, 0, last}, "v", "c"};
}

class SearchInWindowTest : public FormTest {};

TEST_F(SearchInWindowTest, BothStartUpSearchesEndBeforeTheWindowIsFirstExposed) {
    Start(Replies({Device("A", 1)}), false);
    EXPECT_EQ(Requests(), 1);
    EXPECT_FALSE(Form().isVisible());

    int requestsAtExpose = -1;
    int itemsAtExpose = -1;
    bool animationAtExpose = true;
    struct ExposeFilter : QObject {
        std::function<void(QObject*)> onExpose;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Expose && onExpose) {
                onExpose(watched);
            }
            return false;
        }
    } filter;
    filter.onExpose = [&](QObject* watched) {
        if (requestsAtExpose < 0 && watched == Form().windowHandle()) {
            requestsAtExpose = Requests();
            itemsAtExpose = List()->count();
            animationAtExpose = Animation()->isVisible();
        }
    };
    qApp->installEventFilter(&filter);

    Form().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form()));
    qApp->removeEventFilter(&filter);

    EXPECT_EQ(requestsAtExpose, 2);
    EXPECT_EQ(itemsAtExpose, 1);
    EXPECT_FALSE(animationAtExpose);
}

TEST_F(SearchInWindowTest, FailedStartUpSearchesAreReportedAndTheWindowStillComesUp) {
    ExpectBoxes boxes(2);
    Start({{OverlongDatagram(), 0ms}}, false);
    EXPECT_EQ(boxes.Count(), 1);

    Form().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form()));

    EXPECT_EQ(boxes.Count(), 2);
    EXPECT_EQ(boxes.Box(1).text, "Socket Error # 10040\r\nMessage too long.");
    EXPECT_TRUE(Form().isVisible());
    EXPECT_TRUE(Animation()->isVisible());
}

TEST_F(SearchInWindowTest, TriggersDuringASearchAreIgnored) {
    Start(Replies({Device("A", 1)}), true, {.receiveTimeout = 300ms});
    ReplaceReplies(
        {{tools::BuildReply(Device("B", 2)), 0ms}, {tools::BuildReply(Device("C", 3)), 100ms}});
    const int before = Requests();
    bool running = false;
    DuringNextSearch([&] {
        running = Animation()->isVisible();
        QTest::keyClick(List(), Qt::Key_F5);
        Form().tmr1Timer();
        Form().bbrowClick();
    });

    QTest::keyClick(List(), Qt::Key_F5);

    EXPECT_TRUE(running);
    EXPECT_EQ(Requests(), before + 1);
    EXPECT_EQ(Captions(), (QStringList{"B 192.0.2.2", "C 192.0.2.3"}));
}

TEST_F(SearchInWindowTest, PreviousListStaysSelectableWhileTheTableRefills) {
    Start(Replies({Device("A", 1), Device("B", 2), Device("C", 3)}), true,
          {.receiveTimeout = 400ms});
    ReplaceReplies(
        {{tools::BuildReply(Device("D", 4)), 0ms}, {tools::BuildReply(Device("E", 5)), 200ms}});
    QStringList captionsDuring;
    int tableCountDuring = -1;
    QString statusForRow1;
    QString statusForRow0;
    DuringNextSearch([&] {
        captionsDuring = Captions();
        tableCountDuring = Form().Table().RecordCount();
        Select(1);
        statusForRow1 = Form().StatusText();
        Select(0);
        statusForRow0 = Form().StatusText();
    });

    Action("bbrow")->trigger();

    EXPECT_EQ(captionsDuring, (QStringList{"A 192.0.2.1", "B 192.0.2.2", "C 192.0.2.3"}));
    EXPECT_EQ(tableCountDuring, 1);
    EXPECT_EQ(statusForRow1, "MAC:00-00-00-00-00-00  VER:");  // record 1 not refilled yet
    EXPECT_EQ(statusForRow0, "MAC:02-00-00-00-00-04  VER:v");
    EXPECT_EQ(Captions(), (QStringList{"D 192.0.2.4", "E 192.0.2.5"}));
    EXPECT_EQ(Form().StatusText(), "MAC:02-00-00-00-00-04  VER:v");
}

TEST_F(SearchInWindowTest, SocketFailureReachesTheReportAndLeavesListAndAnimation) {
    Start(Replies({Device("A", 1), Device("B", 2)}));
    ReplaceReplies({{tools::BuildReply(Device("C", 3)), 0ms}, {OverlongDatagram(), 0ms}});
    ExpectBoxes box;

    QTest::keyClick(List(), Qt::Key_F5);

    ASSERT_EQ(box.Count(), 1);
    EXPECT_EQ(box.Box().text, "Socket Error # 10040\r\nMessage too long.");
    EXPECT_EQ(box.Box().title, "NIMBREL AP/BRIDGE/CloudAP");
    EXPECT_EQ(box.Box().icon, QMessageBox::Critical);
    EXPECT_EQ(box.Box().buttons, QMessageBox::Ok);
    EXPECT_EQ(box.Box().buttonCount, 1);
    EXPECT_EQ(box.Box().textFormat, Qt::PlainText);
    EXPECT_TRUE(Animation()->isVisible());
    EXPECT_TRUE(Animation()->IsPlaying());
    EXPECT_EQ(Captions(), (QStringList{"A 192.0.2.1", "B 192.0.2.2"}));
    EXPECT_EQ(Form().Table().RecordCount(), 1);

    // The next search that completes hides the animation again.
    ReplaceReplies({});
    Action("bbrow")->trigger();
    EXPECT_FALSE(Animation()->isVisible());
    EXPECT_EQ(List()->count(), 0);
}

TEST_F(SearchInWindowTest, QuitDuringASearchTakesEffectWhenTheSearchHasEnded) {
    useRealQuit_ = true;
    Start(Replies({Device("A", 1)}), true, {.receiveTimeout = 400ms});
    ReplaceReplies(
        {{tools::BuildReply(Device("B", 2)), 0ms}, {tools::BuildReply(Device("C", 3)), 150ms}});
    bool closedDuringSearch = false;
    QTimer::singleShot(0, &Form(), [&] {
        DuringNextSearch([&] {
            closedDuringSearch = Animation()->isVisible();
            QTest::keyClick(List(), Qt::Key_X, Qt::ControlModifier);
        });
        Action("bbrow")->trigger();
    });

    const int code = QCoreApplication::exec();

    EXPECT_EQ(code, 0);
    EXPECT_TRUE(closedDuringSearch);
    EXPECT_TRUE(Form().isVisible());
    EXPECT_EQ(Captions(), (QStringList{"B 192.0.2.2", "C 192.0.2.3"}));
    EXPECT_FALSE(Animation()->isVisible());
}

TEST(FailureReport, AnyFailureEscapingAHandlerIsShownAndTheProgramGoesOn) {
    ExpectBoxes boxes(2);
    bool later = false;
    QTimer::singleShot(0, [] { throw std::runtime_error("Cannot open clipboard"); });
    QTimer::singleShot(0, [] { throw Failure("ESocketAllocation", "Cannot allocate socket."); });
    QTimer::singleShot(0, [&] { later = true; });

    QCoreApplication::processEvents();

    ASSERT_EQ(boxes.Count(), 2);
    EXPECT_EQ(boxes.Box(0).text, "Cannot open clipboard.");
    EXPECT_EQ(boxes.Box(0).title, "NIMBREL AP/BRIDGE/CloudAP");
    EXPECT_EQ(boxes.Box(0).icon, QMessageBox::Critical);
    EXPECT_EQ(boxes.Box(0).textFormat, Qt::PlainText);
    EXPECT_FALSE(boxes.Box(0).hasParent);
    EXPECT_EQ(boxes.Box(1).text, "Cannot allocate socket.");
    EXPECT_TRUE(later);
}

TEST(FailureReport, MarkupInAMessageStaysText) {
    ExpectBoxes box;
    QTimer::singleShot(0, [] { throw std::runtime_error("<b>bold</b>"); });

    QCoreApplication::processEvents();

    EXPECT_EQ(box.Box().text, "<b>bold</b>.");
    EXPECT_EQ(box.Box().textFormat, Qt::PlainText);
}

}  // namespace
}  // namespace nimbrel::testing
