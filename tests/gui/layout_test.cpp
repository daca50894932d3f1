// SPDX-License-Identifier: MIT
// The window as it opens: caption, frame, how its parts share it, menu, status text, focus, the
// names a screen reader hears, and the item's caption at several font sizes.
#include <QActionGroup>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <string_view>

#include "main/device_item_delegate.h"
#include "main/device_model.h"
#include "tests/gui/window_fixture.h"

namespace nimbrel::testing {
namespace {

class LayoutTest : public WindowTest {};

TEST_F(LayoutTest, WindowHasItsCaptionAndCloseButtonOnlyAndCanBeResized) {
    EXPECT_EQ(window().windowTitle(), " Nimbrel AP/Bridge/CloudAP Utility Config");
    EXPECT_LT(window().minimumSize().width(), window().width());
    EXPECT_LT(window().minimumSize().height(), window().height());
    EXPECT_GT(window().maximumSize().width(), window().width());
    // The menu bar, and under it the client area, nothing else.
    EXPECT_EQ(window().height(), window().menuBar()->height() + window().centralWidget()->height());
    const Qt::WindowFlags flags = window().windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Window);  // a taskbar entry of its own
    EXPECT_EQ(window().palette().color(QPalette::Window),
              window().palette().color(QPalette::Button));
}

TEST_F(LayoutTest, WindowOpensCentredWithTheFocusOnTheList) {
    showWindow();

    const QPoint centre = window().screen()->availableGeometry().center();
    EXPECT_LE((window().frameGeometry().center() - centre).manhattanLength(), 2);
    EXPECT_EQ(QApplication::focusWidget(), list());
}

// The list's framed panel and the status bar under it share the client area, each its full
// width; the views fill the panel inside its frame, the animation lies on the list, and the
// status bar's hints are read whole inside it.
TEST_F(LayoutTest, PartsShareTheClientAreaWithoutOverlappingAndShowTheirTextsWhole) {
    showWindow();
    const QRect client = window().centralWidget()->rect();
    auto* panel = window().findChild<QFrame*>("listPanel");
    auto* status = window().findChild<QStatusBar*>("statusBar");
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(panel->geometry() | status->geometry(), client);
    EXPECT_FALSE(panel->geometry().intersects(status->geometry()));
    EXPECT_EQ(panel->width(), client.width());
    EXPECT_EQ(status->width(), client.width());
    EXPECT_EQ(panel->frameShadow(), QFrame::Raised);
    auto* views = window().findChild<QWidget*>("deviceViews");
    ASSERT_NE(views, nullptr);
    EXPECT_EQ(views->geometry(), panel->contentsRect());
    EXPECT_EQ(list()->geometry(), views->rect());
    EXPECT_TRUE(views->geometry().contains(animation()->geometry()));
    EXPECT_TRUE(animation()->isHidden());
    EXPECT_EQ(window().statusText(), "Press F5 to search,Double click to config");
    for (const char* name : {"statusText", "networksText"}) {
        const auto* label = status->findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
        EXPECT_GE(label->width(), label->sizeHint().width()) << name;
        EXPECT_TRUE(status->rect().contains(label->geometry())) << name;
    }
}

TEST_F(LayoutTest, ListIsAReadOnlySingleSelectionIconView) {
    EXPECT_EQ(list()->viewMode(), QListView::IconMode);
    EXPECT_EQ(list()->movement(), QListView::Static);
    EXPECT_EQ(list()->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(list()->editTriggers(), QAbstractItemView::NoEditTriggers);
    const QPalette palette = list()->palette();
    EXPECT_EQ(palette.color(QPalette::Inactive, QPalette::Highlight),
              palette.color(QPalette::Active, QPalette::Highlight));
}

struct Item {
    QString name;
    QString caption;
    QKeySequence shortcut;
    bool operator==(const Item&) const = default;
};

std::vector<Item> items(const QList<QAction*>& actions) {
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

TEST_F(LayoutTest, MenuHasItsCaptionsAccessKeysAndShortcuts) {
    EXPECT_EQ(items(window().menuBar()->actions()),
              (std::vector<Item>{{"fileMenu", "&File", QKeySequence()},
                                 {"viewMenu", "&View", QKeySequence("Ctrl+V")},
                                 {"aboutAction", "&About", QKeySequence()}}));
    ASSERT_NE(action("fileMenu")->menu(), nullptr);
    EXPECT_EQ(items(action("fileMenu")->menu()->actions()),
              (std::vector<Item>{{"autoRefreshAction", "&Auto Refresh", QKeySequence()},
                                 {"browseAction", "&Browse", QKeySequence("F5")},
                                 {"openAction", "&Open", QKeySequence("Ctrl+O")},
                                 {"saveListAction", "&Save List As…", QKeySequence("Ctrl+S")},
                                 {"exitAction", "&Exit", QKeySequence("Ctrl+X")}}));
    ASSERT_NE(action("viewMenu")->menu(), nullptr);
    EXPECT_EQ(items(action("viewMenu")->menu()->actions()),
              (std::vector<Item>{{"largeImageAction", "Lar&ge Image", QKeySequence("Ctrl+G")},
                                 {"smallImageAction", "S&mall Image", QKeySequence("Ctrl+M")},
                                 {"detailsAction", "&Details", QKeySequence("Ctrl+D")},
                                 {"viewSeparator", "-", QKeySequence()},
                                 {"findAction", "&Find...", QKeySequence("Ctrl+F")},
                                 {"allNetworksAction", "&Search All Networks", QKeySequence()}}));
    EXPECT_EQ(action("aboutAction")->menu(), nullptr);
    EXPECT_TRUE(action("autoRefreshAction")->isCheckable());
    EXPECT_FALSE(action("autoRefreshAction")->isChecked());
    for (const char* name : {"largeImageAction", "smallImageAction", "detailsAction"}) {
        EXPECT_TRUE(action(name)->isCheckable()) << name;
        EXPECT_EQ(action(name)->actionGroup(), action("largeImageAction")->actionGroup()) << name;
        EXPECT_EQ(action(name)->isChecked(), name == std::string_view("largeImageAction")) << name;
    }
    EXPECT_TRUE(action("largeImageAction")->actionGroup()->isExclusive());
    EXPECT_TRUE(action("allNetworksAction")->isCheckable());
}

// The announcement of each new status text (a NameChanged event) cannot be seen here: Qt
// drops accessibility updates where no platform accessibility is active, as offscreen.
TEST_F(LayoutTest, ScreenReadersHearTheNamesOfTheParts) {
    EXPECT_EQ(list()->accessibleName(), "Devices found");
    EXPECT_EQ(table()->accessibleName(), "Devices found");
    EXPECT_EQ(animation()->accessibleName(), "Searching for devices");
    EXPECT_EQ(window().findChild<QStatusBar*>("statusBar")->accessibleName(), "Status");
}

// The caption's lines lie wholly inside the item's cell at every font size, the address on the
// last; a model too long for the lines above it ends in "…", while the selected item shows it
// whole. A line break that the device put into its model breaks no line of the caption.
TEST_F(LayoutTest, EveryItemShowsItsWholeAddressOnItsLastLine) {
    const QFont original = QApplication::font();
    for (const int points : {0, 11, 14}) {
        SCOPED_TRACE(points);
        QFont font = original;
        if (points > 0) {
            font.setPointSize(points);
        }
        QApplication::setFont(font);
        SetUp();
        showWindow();
        found({makeDevice("QZL-TMR1-AC-A with a\r\nmodel name far too long for two lines", 255,
                          {1, 2, 3, 4, 5, 6}),
               makeDevice("QZL-P-AC", 254, {1, 2, 3, 4, 5, 7})});
        selectRow(1);

        const QModelIndex item = list()->model()->index(0, list()->modelColumn());
        const DeviceView device = item.data(DeviceViewRole).value<DeviceView>();
        const QRect cell = list()->visualRect(item);
        const std::vector<CaptionLine> lines =
            DeviceItemDelegate::captionLines(list()->font(), cell, list()->iconSize(),
                                             modelCaption(device), addressCaption(device), false);
        ASSERT_GE(lines.size(), 2u);
        const CaptionLine& address = lines.back();
        EXPECT_EQ(address.text, "192.0.2.255");
        for (const CaptionLine& line : lines) {
            EXPECT_TRUE(cell.contains(line.rect)) << line.text.toStdString();
            EXPECT_FALSE(line.text.contains(QLatin1Char('\n'))) << line.text.toStdString();
        }
        EXPECT_LE(QFontMetrics(list()->font()).horizontalAdvance(address.text),
                  address.rect.width());
        EXPECT_TRUE(lines[lines.size() - 2].text.endsWith(QChar(0x2026)));

        const std::vector<CaptionLine> whole =
            DeviceItemDelegate::captionLines(list()->font(), cell, list()->iconSize(),
                                             modelCaption(device), addressCaption(device), true);
        QString model;
        for (std::size_t line = 0; line + 1 < whole.size(); ++line) {
            model += whole[line].text;
        }
        EXPECT_EQ(model.remove(' '), modelCaption(device).remove(' '));
        EXPECT_EQ(whole.back().text, "192.0.2.255");
    }
    QApplication::setFont(original);
}

}  // namespace
}  // namespace nimbrel::testing
