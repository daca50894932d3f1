// SPDX-License-Identifier: MIT
// The About window: how it ends, what it blocks while open, and what it shows where.
#include "about/about_dialog.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <algorithm>

namespace nimbrel {
namespace {

class AboutDialogTest : public ::testing::Test {
protected:
    void openDialog() {
        dialog_.openCentred();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog_));
    }
    /// The results that the window finished with so far.
    std::vector<int> results() const {
        std::vector<int> results;
        for (const QList<QVariant>& arguments : finished_) {
            results.push_back(arguments.at(0).toInt());
        }
        return results;
    }
    QLabel* labelNamed(const char* name) { return dialog_.findChild<QLabel*>(name); }
    static QPoint screenCentre() { return QGuiApplication::primaryScreen()->geometry().center(); }

    AboutDialog dialog_;
    QSignalSpy finished_{&dialog_, &QDialog::finished};
};

TEST_F(AboutDialogTest, OkByClickEnterOrSpaceFinishesWithOne) {
    openDialog();
    QTest::mouseClick(dialog_.okButton(), Qt::LeftButton);
    openDialog();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    openDialog();
    ASSERT_EQ(QApplication::focusWidget(), dialog_.okButton());
    QTest::keyClick(dialog_.okButton(), Qt::Key_Space);

    EXPECT_EQ(results(), (std::vector<int>{1, 1, 1}));
    EXPECT_FALSE(dialog_.isVisible());
}

TEST_F(AboutDialogTest, CloseBoxFinishesWithTwoAndEscDoesNothing) {
    openDialog();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(dialog_.isVisible());
    EXPECT_TRUE(results().empty());

    dialog_.windowHandle()->close();

    EXPECT_EQ(results(), std::vector<int>{2});
    EXPECT_FALSE(dialog_.isVisible());
}

TEST_F(AboutDialogTest, OpensWithoutALoopOfItsOwnCentredWithTheFocusOnOk) {
    dialog_.openCentred();  // returns at once: the test goes on with the window open
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog_));
    EXPECT_EQ(QApplication::focusWidget(), dialog_.okButton());
    EXPECT_LE((dialog_.frameGeometry().center() - screenCentre()).manhattanLength(), 1);

    dialog_.move(5, 5);
    dialog_.okButton()->click();
    openDialog();
    EXPECT_LE((dialog_.frameGeometry().center() - screenCentre()).manhattanLength(), 1);
    dialog_.openCentred();  // already open: still one window, still open
    EXPECT_TRUE(dialog_.isVisible());
    dialog_.okButton()->click();
}

TEST_F(AboutDialogTest, OtherWindowsTakeNoInputWhileItIsOpen) {
    QWidget mainWindow;
    auto* button = new QPushButton(QStringLiteral("Search"), &mainWindow);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, button, [&] { ++clicks; });
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));
    // Through the window system, as a user's click comes, so that modality applies.
    const auto clickButton = [&] {
        QTest::mouseClick(mainWindow.windowHandle(), Qt::LeftButton, {},
                          button->mapTo(&mainWindow, button->rect().center()));
    };

    openDialog();
    EXPECT_EQ(QApplication::activeModalWidget(), &dialog_);
    clickButton();
    EXPECT_EQ(clicks, 0);

    dialog_.okButton()->click();
    clickButton();
    EXPECT_EQ(clicks, 1);
}

TEST_F(AboutDialogTest, IsAFixedDialogWithACloseBoxOnlyCreatedHidden) {
    EXPECT_EQ(dialog_.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(dialog_.size(), QSize(342, 190));
    EXPECT_EQ(dialog_.minimumSize(), dialog_.maximumSize());
    const Qt::WindowFlags flags = dialog_.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowContextHelpButtonHint));
    EXPECT_FALSE(dialog_.isVisible());
    EXPECT_EQ(dialog_.palette().color(QPalette::Window),
              QApplication::palette().color(QPalette::Button));
}

TEST_F(AboutDialogTest, OkIsTheDefaultButtonAndTheOnlyFocusTaker) {
    EXPECT_EQ(dialog_.okButton()->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog_.okButton()->geometry(), QRect(127, 156, 75, 25));
    EXPECT_TRUE(dialog_.okButton()->isDefault());
    for (QWidget* child : dialog_.findChildren<QWidget*>()) {
        if (child != dialog_.okButton()) {
            EXPECT_EQ(child->focusPolicy(), Qt::NoFocus) << child->objectName().toStdString();
        }
    }
}

TEST_F(AboutDialogTest, ShowsTheProductsTextsWithTheVersionOfTheBuild) {
    EXPECT_EQ(labelNamed("productName")->text(), " Nimbrel AP/Bridge/CloudAP Utility Config");
    EXPECT_EQ(labelNamed("version")->text(), " Version:1.6");
    EXPECT_EQ(labelNamed("copyright")->text(), "Copyright (C) 2019-2026 Nimbrel");
}

// Each label sits at its designed rectangle inside the panel, grown to the right and downwards
// only as far as the default font needs to show the whole text, and never past the bevel.
TEST_F(AboutDialogTest, LabelsArePlainCentredTextInTheirDesignedPlaces) {
    auto* panel = dialog_.findChild<QWidget*>("panel");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->geometry(), QRect(8, 8, 329, 137));
    struct Designed {
        const char* name;
        QRect rect;
    };
    for (const auto& [name, rect] : {Designed{"productName", QRect(64, 24, 217, 13)},
                                     Designed{"version", QRect(121, 56, 120, 13)},
                                     Designed{"copyright", QRect(72, 106, 214, 13)}}) {
        SCOPED_TRACE(name);
        QLabel* label = labelNamed(name);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->parentWidget(), panel);
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
        EXPECT_TRUE(label->alignment().testFlag(Qt::AlignHCenter));
        const QFontMetrics metrics(label->font());
        const QRect actual = label->geometry();
        EXPECT_EQ(actual.topLeft(), rect.topLeft());
        EXPECT_EQ(actual.width(), std::max(rect.width(), metrics.horizontalAdvance(label->text())));
        EXPECT_EQ(actual.height(), std::max(rect.height(), metrics.height()));
        EXPECT_TRUE(panel->rect().adjusted(2, 2, -2, -2).contains(actual));
    }
    QLabel* icon = labelNamed("icon");
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->geometry(), QRect(24, 16, 73, 73));
    EXPECT_FALSE(icon->hasScaledContents());
    EXPECT_EQ(icon->alignment(), Qt::AlignLeft | Qt::AlignTop);
    EXPECT_EQ(icon->pixmap().size(), QSize(32, 32));
}

}  // namespace
}  // namespace nimbrel
