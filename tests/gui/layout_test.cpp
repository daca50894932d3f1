// The window as it opens: caption, frame, layout in pixels, menu, status text and focus.
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "tests/gui/form_fixture.h"

namespace nimbrel::testing {
namespace {

class LayoutTest : public FormTest {};

TEST_F(LayoutTest, WindowHasItsCaptionFixedSizeAndCloseButtonOnly) {
    Start({});

    EXPECT_EQ(Form().objectName(), "Form1");
    EXPECT_EQ(Form().windowTitle(), " Nimbrel AP/Bridge/CloudAP Utility Config");
    EXPECT_EQ(Form().centralWidget()->size(), QSize(392, 405));
    EXPECT_EQ(Form().minimumSize(), Form().maximumSize());
    EXPECT_EQ(Form().height(), 405 + Form().menuBar()->height());
    const Qt::WindowFlags flags = Form().windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(Form().palette().color(QPalette::Window), Form().palette().color(QPalette::Button));
}

TEST_F(LayoutTest, WindowOpensCentredWithTheFocusOnTheList) {
    Start({});

    const QPoint centre = Form().screen()->availableGeometry().center();
    EXPECT_LE((Form().frameGeometry().center() - centre).manhattanLength(), 2);
    EXPECT_EQ(QApplication::focusWidget(), List());
}

TEST_F(LayoutTest, ControlsSitWhereTheDesignPutsThem) {
    Start({});

    auto* panel = Form().findChild<QFrame*>("Panel2");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->geometry(), QRect(0, 0, 392, 381));
    EXPECT_EQ(panel->frameShape(), QFrame::Panel);
    EXPECT_EQ(panel->frameShadow(), QFrame::Raised);
    EXPECT_EQ(panel->lineWidth(), 1);
    EXPECT_EQ(List()->parentWidget(), panel);
    EXPECT_EQ(List()->geometry(), QRect(1, 1, 390, 379));
    EXPECT_EQ(Animation()->parentWidget(), panel);
    EXPECT_EQ(Animation()->geometry(), QRect(187, 197, 80, 50));
    EXPECT_FALSE(Animation()->isVisible());
    EXPECT_FALSE(Animation()->IsPlaying());
    EXPECT_EQ(Animation()->palette().color(QPalette::Window), QColor(Qt::white));
    auto* status = Form().findChild<QStatusBar*>("StatusBar1");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->geometry(), QRect(0, 381, 392, 24));
    auto* timer = Form().findChild<QTimer*>("tmr1");
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 8000);
    EXPECT_FALSE(timer->isActive());
}

TEST_F(LayoutTest, StatusBarStartsWithTheHintAsPlainText) {
    Start({});

    auto* label = Form().findChild<QStatusBar*>("StatusBar1")->findChild<QLabel*>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Press F5 to search,Double click to config");
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
}

TEST_F(LayoutTest, ListIsAReadOnlySingleSelectionIconView) {
    Start({});

    EXPECT_EQ(List()->viewMode(), QListView::IconMode);
    EXPECT_EQ(List()->movement(), QListView::Static);
    EXPECT_EQ(List()->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(List()->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(List()->iconSize(), QSize(32, 32));
    const QPalette palette = List()->palette();
    EXPECT_EQ(palette.color(QPalette::Inactive, QPalette::Highlight),
              palette.color(QPalette::Active, QPalette::Highlight));
}

struct Item {
    QString name;
    QString caption;
    QKeySequence shortcut;
    bool operator==(const Item&) const = default;
};

std::vector<Item> Items(const QList<QAction*>& actions) {
    std::vector<Item> items;
    for (const QAction* action : actions) {
        items.push_back({action->objectName(), action->isSeparator() ? "-" : action->text(),
                         action->shortcut()});
    }
    return items;
}

void PrintTo(const Item& item, std::ostream* out) {
    *out << item.name.toStdString() << " \"" << item.caption.toStdString() << "\" "
         << item.shortcut.toString().toStdString();
}

TEST_F(LayoutTest, MenuFollowsTheDesign) {
    Start({});
    auto* bar = Form().findChild<QMenuBar*>("MainMenu1");
    ASSERT_NE(bar, nullptr);

    EXPECT_EQ(Items(bar->actions()),
              (std::vector<Item>{{"mnifile", "&File", QKeySequence("Ctrl+F")},
                                 {"view", "&View", QKeySequence("Ctrl+V")},
                                 {"about", "&About", QKeySequence()}}));
    ASSERT_NE(Action("mnifile")->menu(), nullptr);
    EXPECT_EQ(Items(Action("mnifile")->menu()->actions()),
              (std::vector<Item>{{"AutoRefresh1", "Auto Refresh", QKeySequence()},
                                 {"bbrow", "&Browse", QKeySequence("F5")},
                                 {"open", "&Open", QKeySequence("Ctrl+O")},
                                 {"sep", "&Exit", QKeySequence("Ctrl+X")}}));
    ASSERT_NE(Action("view")->menu(), nullptr);
    EXPECT_EQ(Items(Action("view")->menu()->actions()),
              (std::vector<Item>{{"lar", "Lar&ge Image", QKeySequence("Ctrl+G")},
                                 {"sm", "S&mall Image", QKeySequence("Ctrl+M")},
                                 {"N1", "-", QKeySequence("Shift+Ctrl+F2")}}));
    EXPECT_EQ(Action("about")->menu(), nullptr);
    EXPECT_TRUE(Action("AutoRefresh1")->isCheckable());
    EXPECT_FALSE(Action("AutoRefresh1")->isChecked());
    EXPECT_FALSE(Action("lar")->isCheckable());
    EXPECT_FALSE(Action("sm")->isCheckable());
}

}  // namespace
}  // namespace nimbrel::testing
