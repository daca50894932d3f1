#include "about/about_box.h"

#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>
#include <QApplication>
#include <QEventLoop>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "about/bevel_panel.h"
#include "modal_driver.h"
#include "qt_messages.h"

namespace nimbrel {
namespace {

using testing::ModalDriver;
using testing::QtMessagesCaught;

class AboutBoxTest : public ::testing::Test {
protected:
    // Opens the window modally, runs `step` once it is up, and returns the modal result.
    int OpenAnd(const std::function<void()>& step) {
        ModalDriver driver(box, step);
        const int result = box.ShowModal();
        EXPECT_TRUE(driver.StepRan());
        EXPECT_FALSE(box.isVisible()) << "the modal loop ended but the window stayed up";
        return result;
    }

    static void PressOnFocus(Qt::Key key) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, key);
    }

    static QPoint ScreenCentre() { return QGuiApplication::primaryScreen()->geometry().center(); }

    TAboutBox box;
};

// --- Ending the window --------------------------------------------------------------------

TEST_F(AboutBoxTest, OkClickEndsWithOk) {
    EXPECT_EQ(OpenAnd([this] { QTest::mouseClick(box.OKButton, Qt::LeftButton); }), ModalOk);
}

TEST_F(AboutBoxTest, ReturnEndsWithOk) {
    EXPECT_EQ(OpenAnd([] { PressOnFocus(Qt::Key_Return); }), ModalOk);
}

TEST_F(AboutBoxTest, KeypadEnterEndsWithOk) {
    EXPECT_EQ(OpenAnd([] { PressOnFocus(Qt::Key_Enter); }), ModalOk);
}

TEST_F(AboutBoxTest, SpaceOnTheFocusedButtonEndsWithOk) {
    EXPECT_EQ(OpenAnd([this] {
                  ASSERT_EQ(QApplication::focusWidget(), box.OKButton);
                  PressOnFocus(Qt::Key_Space);
              }),
              ModalOk);
}

TEST_F(AboutBoxTest, CloseEndsWithCancel) {
    EXPECT_EQ(OpenAnd([this] { box.close(); }), ModalCancel);
}

TEST_F(AboutBoxTest, SystemCloseRequestEndsWithCancel) {
    // The close box and Alt+F4 reach the window as a close request from the window system.
    EXPECT_EQ(OpenAnd([this] { box.windowHandle()->close(); }), ModalCancel);
}

TEST_F(AboutBoxTest, EscDoesNothing) {
    EXPECT_EQ(OpenAnd([this] {
                  PressOnFocus(Qt::Key_Escape);
                  QTest::keyClick(&box, Qt::Key_Escape);
                  EXPECT_TRUE(box.isVisible());
                  box.OKButton->click();
              }),
              ModalOk);
}

TEST_F(AboutBoxTest, CancelModalEndsWithCancel) {
    EXPECT_EQ(OpenAnd([this] { box.CancelModal(); }), ModalCancel);
}

TEST_F(AboutBoxTest, CancelModalWhileHiddenLeavesItHidden) {
    box.CancelModal();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(OpenAnd([this] { box.OKButton->click(); }), ModalOk);
}

// Quitting marks the whole thread as quitting, which no public call undoes short of a new main
// loop; so this runs in a process of its own.
using AboutBoxDeathTest = AboutBoxTest;

TEST_F(AboutBoxDeathTest, ApplicationQuittingEndsWithCancel) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const int result = OpenAnd([] { QCoreApplication::exit(0); });
            std::exit(result == ModalCancel && !box.isVisible() && !HasFailure() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// --- While the window is open ---------------------------------------------------------------

TEST_F(AboutBoxTest, OpensWithTheFocusOnOk) {
    OpenAnd([this] {
        EXPECT_EQ(QApplication::focusWidget(), box.OKButton);
        box.OKButton->click();
    });
}

TEST_F(AboutBoxTest, OpensCentredOnTheScreen) {
    OpenAnd([this] {
        EXPECT_LE((box.frameGeometry().center() - ScreenCentre()).manhattanLength(), 1);
        box.OKButton->click();
    });
}

TEST_F(AboutBoxTest, ReopensCentredWithTheSameTexts) {
    const QString product = box.ProductName->text();
    const QString copyright = box.Copyright->text();
    OpenAnd([this] {
        box.move(5, 5);
        box.OKButton->click();
    });
    OpenAnd([&] {
        EXPECT_LE((box.frameGeometry().center() - ScreenCentre()).manhattanLength(), 1);
        EXPECT_EQ(box.ProductName->text(), product);
        EXPECT_EQ(box.Copyright->text(), copyright);
        EXPECT_EQ(QApplication::focusWidget(), box.OKButton);
        box.OKButton->click();
    });
}

TEST_F(AboutBoxTest, ApplicationTimersKeepFiring) {
    int ticksWhileOpen = 0;
    QTimer timer;
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, &timer, [&] {
        if (box.isVisible() && ++ticksWhileOpen == 3) {
            box.OKButton->click();
        }
    });
    timer.start();
    EXPECT_EQ(OpenAnd([] {}), ModalOk);
    EXPECT_EQ(ticksWhileOpen, 3);
}

TEST_F(AboutBoxTest, MainWindowTakesNoInputWhileOpen) {
    QWidget mainWindow;
    auto* button = new QPushButton(QStringLiteral("Search"), &mainWindow);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, button, [&] { ++clicks; });
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));

    // A click that comes through the window system, as a user's does, so that modality applies.
    const auto clickButton = [&] {
        QTest::mouseClick(mainWindow.windowHandle(), Qt::LeftButton, {},
                          button->mapTo(&mainWindow, button->rect().center()));
    };
    OpenAnd([&] {
        EXPECT_EQ(QApplication::activeModalWidget(), &box);
        clickButton();
        box.OKButton->click();
    });
    EXPECT_EQ(clicks, 0);

    // The same click once the window is closed reaches the button, so the check above can fail.
    clickButton();
    EXPECT_EQ(clicks, 1);
}

// A handler that runs beneath the window's loop (a search started there by a timer tick) keeps
// the showing from returning after OK; until it has returned, the other windows take no input.
TEST_F(AboutBoxTest, OtherWindowsTakeNoInputUntilTheShowingHasReturned) {
    QWidget mainWindow;
    auto* button = new QPushButton(QStringLiteral("Search"), &mainWindow);
    auto* field = new QLineEdit(&mainWindow);
    field->move(0, 40);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, button, [&] { ++clicks; });
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));
    field->setFocus();
    // Disabled by someone else: it stays so.
    QWidget disabledWindow;
    disabledWindow.setEnabled(false);
    disabledWindow.show();

    bool enabledBeneath = true;
    OpenAnd([&] {
        QEventLoop beneath;
        QTimer::singleShot(0, &beneath, [&] {
            box.OKButton->click();
            EXPECT_FALSE(box.isVisible());
            QTest::mouseClick(mainWindow.windowHandle(), Qt::LeftButton, {},
                              button->mapTo(&mainWindow, button->rect().center()));
            enabledBeneath = mainWindow.isEnabled();
            beneath.exit(0);
        });
        beneath.exec();
    });

    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(enabledBeneath);
    EXPECT_EQ(box.ModalResult(), ModalOk);
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_EQ(mainWindow.focusWidget(), field) << "the focus inside the window was lost";
    EXPECT_FALSE(disabledWindow.isEnabled());
}

TEST_F(AboutBoxTest, ShowingAgainBeforeTheShowingHasReturnedDoesNothing) {
    int again = -1;
    bool visibleAgain = true;
    QStringList messages;
    const int result = OpenAnd([&] {
        QEventLoop beneath;
        QTimer::singleShot(0, &beneath, [&] {
            box.OKButton->click();
            {
                const QtMessagesCaught caught;
                again = box.ShowModal();
                messages = caught.Messages();
            }
            visibleAgain = box.isVisible();
            beneath.exit(0);
        });
        beneath.exec();
    });

    EXPECT_EQ(again, 0);
    EXPECT_FALSE(visibleAgain);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(result, ModalOk);
    EXPECT_EQ(box.ModalResult(), ModalOk);
}

// --- Contents and layout --------------------------------------------------------------------

TEST_F(AboutBoxTest, WindowIsAFixedDialogWithACloseBoxOnly) {
    EXPECT_EQ(box.objectName(), QStringLiteral("AboutBox"));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(box.size(), QSize(342, 190));
    EXPECT_EQ(box.minimumSize(), QSize(342, 190));
    EXPECT_EQ(box.maximumSize(), QSize(342, 190));
    const Qt::WindowFlags flags = box.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowContextHelpButtonHint));
    EXPECT_EQ(box.windowModality(), Qt::ApplicationModal);
    EXPECT_FALSE(box.isVisible()) << "the window is created hidden";
}

TEST_F(AboutBoxTest, WindowHasTheButtonFaceColourAndDefaultFont) {
    EXPECT_EQ(box.palette().color(QPalette::Window),
              QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(box.font(), QApplication::font());
}

TEST_F(AboutBoxTest, PartsCarryTheirDesignerNames) {
    EXPECT_EQ(box.findChild<QWidget*>(QStringLiteral("Panel1")), box.Panel1);
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("Image1")), box.Image1);
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("ProductName")), box.ProductName);
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("Version")), box.Version);
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("Copyright")), box.Copyright);
    EXPECT_EQ(box.findChild<QPushButton*>(QStringLiteral("OKButton")), box.OKButton);
}

TEST_F(AboutBoxTest, PanelAndButtonSitAtTheirDesignedPlaces) {
    EXPECT_EQ(box.Panel1->parentWidget(), &box);
    EXPECT_EQ(box.Panel1->geometry(), QRect(8, 8, 329, 137));
    EXPECT_EQ(box.OKButton->parentWidget(), &box);
    EXPECT_EQ(box.OKButton->geometry(), QRect(127, 156, 75, 25));
}

TEST_F(AboutBoxTest, OkIsTheDefaultButtonAndTheOnlyFocusTaker) {
    EXPECT_EQ(box.OKButton->text(), QStringLiteral("OK"));
    EXPECT_TRUE(box.OKButton->isDefault());
    for (QWidget* child : box.findChildren<QWidget*>()) {
        if (child != box.OKButton) {
            EXPECT_EQ(child->focusPolicy(), Qt::NoFocus) << child->objectName().toStdString();
        }
    }
}

TEST_F(AboutBoxTest, TextsAreTheProductsOwn) {
    EXPECT_EQ(box.ProductName->text(), QStringLiteral(" Nimbrel AP/Bridge/CloudAP Utility Config"));
    EXPECT_EQ(box.Version->text(), QStringLiteral(" Version:1.6"));
    const QString copyright = box.Copyright->text();
    EXPECT_TRUE(copyright.contains(QStringLiteral("Nimbrel"))) << copyright.toStdString();
    EXPECT_TRUE(copyright.contains(QRegularExpression(QStringLiteral("\\b20\\d\\d\\b"))))
        << copyright.toStdString();
}

TEST_F(AboutBoxTest, LabelsArePlainCentredText) {
    for (QLabel* label : {box.ProductName, box.Version, box.Copyright}) {
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
        EXPECT_TRUE(label->alignment().testFlag(Qt::AlignHCenter));
    }
    EXPECT_EQ(box.Image1->textFormat(), Qt::PlainText);
}

// Each label sits at its designed rectangle inside the panel, grown to the right and downwards
// only as far as the default font needs to show the whole text, and never past the bevel.
TEST_F(AboutBoxTest, LabelsKeepTheirDesignedPlaceAndShowTheirWholeText) {
    struct Designed {
        QLabel* label;
        QRect rect;
    };
    for (const auto& [label, rect] : {Designed{box.ProductName, QRect(64, 24, 217, 13)},
                                      Designed{box.Version, QRect(121, 56, 120, 13)},
                                      Designed{box.Copyright, QRect(72, 106, 214, 13)}}) {
        SCOPED_TRACE(label->objectName().toStdString());
        EXPECT_EQ(label->parentWidget(), box.Panel1);
        const QFontMetrics metrics(label->font());
        const QRect actual = label->geometry();
        EXPECT_EQ(actual.topLeft(), rect.topLeft());
        EXPECT_EQ(actual.width(), std::max(rect.width(), metrics.horizontalAdvance(label->text())));
        EXPECT_EQ(actual.height(), std::max(rect.height(), metrics.height()));
        const int bevel = 2;
        EXPECT_TRUE(box.Panel1->rect().adjusted(bevel, bevel, -bevel, -bevel).contains(actual));
    }
}

TEST_F(AboutBoxTest, CopyrightFitsItsDesignedWidth) {
    const QFontMetrics metrics(box.Copyright->font());
    EXPECT_LE(metrics.horizontalAdvance(box.Copyright->text()), 214);
}

TEST_F(AboutBoxTest, ImageShowsTheProgramIconUnstretchedAtItsTopLeft) {
    EXPECT_EQ(box.Image1->parentWidget(), box.Panel1);
    EXPECT_EQ(box.Image1->geometry(), QRect(24, 16, 73, 73));
    EXPECT_FALSE(box.Image1->hasScaledContents());
    EXPECT_EQ(box.Image1->alignment(), Qt::AlignLeft | Qt::AlignTop);
    EXPECT_EQ(box.Image1->pixmap().size(), QSize(32, 32));
}

}  // namespace
}  // namespace nimbrel
