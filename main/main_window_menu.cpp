// SPDX-License-Identifier: MIT
// The menu bar with its items, access keys and shortcut keys.
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "main/main_window.h"

namespace nimbrel {

namespace {

QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& keys) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(keys);
    return action;
}

}  // namespace

void MainWindow::createMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));

    // The menu-bar items carry shortcuts too: they take the keys before the list sees them and
    // do nothing with them.
    QMenu* fileMenu = bar->addMenu(QStringLiteral("&File"));
    fileMenu->menuAction()->setObjectName(QStringLiteral("fileMenu"));
    fileMenu->menuAction()->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    autoRefreshAction_ =
        addMenuItem(fileMenu, "autoRefreshAction", QStringLiteral("Auto Refresh"), {});
    autoRefreshAction_->setCheckable(true);
    browseAction_ =
        addMenuItem(fileMenu, "browseAction", QStringLiteral("&Browse"), QKeySequence(Qt::Key_F5));
    openAction_ = addMenuItem(fileMenu, "openAction", QStringLiteral("&Open"),
                              QKeySequence(Qt::CTRL | Qt::Key_O));
    exitAction_ = addMenuItem(fileMenu, "exitAction", QStringLiteral("&Exit"),
                              QKeySequence(Qt::CTRL | Qt::Key_X));

    QMenu* viewMenu = bar->addMenu(QStringLiteral("&View"));
    viewMenu->menuAction()->setObjectName(QStringLiteral("viewMenu"));
    viewMenu->menuAction()->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    // Both View commands would give the list the images that it already has: they change
    // nothing, so nothing is connected to them.
    addMenuItem(viewMenu, "largeImageAction", QStringLiteral("Lar&ge Image"),
                QKeySequence(Qt::CTRL | Qt::Key_G));
    addMenuItem(viewMenu, "smallImageAction", QStringLiteral("S&mall Image"),
                QKeySequence(Qt::CTRL | Qt::Key_M));
    QAction* separator = viewMenu->addSeparator();
    separator->setObjectName(QStringLiteral("viewSeparator"));
    separator->setShortcut(QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_F2));
    allNetworksAction_ =
        addMenuItem(viewMenu, "allNetworksAction", QStringLiteral("Search All Networks"), {});
    allNetworksAction_->setCheckable(true);

    // A menu-bar item without a drop-down: a click acts at once.
    aboutAction_ = bar->addAction(QStringLiteral("&About"));
    aboutAction_->setObjectName(QStringLiteral("aboutAction"));
}

}  // namespace nimbrel
