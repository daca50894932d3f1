// SPDX-License-Identifier: MIT
// The menu bar with its items, access keys and shortcut keys, and the devices' context menu.
#include <QAction>
#include <QActionGroup>
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

    // The letter after "&" is an item's access key: none is shared within one menu.
    //: Menu bar; access key unique in the menu bar.
    QMenu* fileMenu = bar->addMenu(tr("&File"));
    fileMenu->menuAction()->setObjectName(QStringLiteral("fileMenu"));
    //: File menu, a check item; access key unique in the File menu.
    autoRefreshAction_ = addMenuItem(fileMenu, "autoRefreshAction", tr("&Auto Refresh"), {});
    autoRefreshAction_->setCheckable(true);
    //: File menu: search again; access key unique in the File menu.
    browseAction_ = addMenuItem(fileMenu, "browseAction", tr("&Browse"), QKeySequence(Qt::Key_F5));
    //: File menu: open the selected device's web page; access key unique in the File menu.
    openAction_ =
        addMenuItem(fileMenu, "openAction", tr("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O));
    //: File menu: save the listed devices as CSV or JSON; access key unique in the File menu.
    saveListAction_ = addMenuItem(fileMenu, "saveListAction", tr("&Save List As\u2026"),
                                  QKeySequence(Qt::CTRL | Qt::Key_S));
    //: File menu; access key unique in the File menu.
    exitAction_ =
        addMenuItem(fileMenu, "exitAction", tr("&Exit"), QKeySequence(Qt::CTRL | Qt::Key_X));

    //: Menu bar; access key unique in the menu bar.
    QMenu* viewMenu = bar->addMenu(tr("&View"));
    viewMenu->menuAction()->setObjectName(QStringLiteral("viewMenu"));
    // The menu-bar item carries a shortcut too: it takes the key before the list sees it (where
    // it would paste) and does nothing with it.
    viewMenu->menuAction()->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    // The three views, one of them checked.
    auto* views = new QActionGroup(this);
    views->setObjectName(QStringLiteral("viewGroup"));
    //: View menu; access key unique in the View menu.
    largeImageAction_ = addMenuItem(viewMenu, "largeImageAction", tr("Lar&ge Image"),
                                    QKeySequence(Qt::CTRL | Qt::Key_G));
    //: View menu; access key unique in the View menu.
    smallImageAction_ = addMenuItem(viewMenu, "smallImageAction", tr("S&mall Image"),
                                    QKeySequence(Qt::CTRL | Qt::Key_M));
    //: View menu: the table with one column per detail; access key unique in the View menu.
    detailsAction_ =
        addMenuItem(viewMenu, "detailsAction", tr("&Details"), QKeySequence(Qt::CTRL | Qt::Key_D));
    for (QAction* action : {largeImageAction_, smallImageAction_, detailsAction_}) {
        action->setCheckable(true);
        views->addAction(action);
    }
    largeImageAction_->setChecked(true);
    QAction* separator = viewMenu->addSeparator();
    separator->setObjectName(QStringLiteral("viewSeparator"));
    //: View menu: show the find field; access key unique in the View menu.
    findAction_ =
        addMenuItem(viewMenu, "findAction", tr("&Find..."), QKeySequence(Qt::CTRL | Qt::Key_F));
    //: View menu, a check item; access key unique in the View menu.
    allNetworksAction_ = addMenuItem(viewMenu, "allNetworksAction", tr("&Search All Networks"), {});
    allNetworksAction_->setCheckable(true);

    // A menu-bar item without a drop-down: a click acts at once.
    //: Menu bar; access key unique in the menu bar.
    aboutAction_ = bar->addAction(tr("&About"));
    aboutAction_->setObjectName(QStringLiteral("aboutAction"));
}

void MainWindow::createContextMenu() {
    contextMenu_ = new QMenu(this);
    contextMenu_->setObjectName(QStringLiteral("deviceMenu"));
    //: Context menu of a device; access key unique in this menu.
    copyAddressAction_ = contextMenu_->addAction(tr("Copy &IPv4 Address"));
    copyAddressAction_->setObjectName(QStringLiteral("copyAddressAction"));
    //: Context menu of a device; access key unique in this menu.
    copyMacAction_ = contextMenu_->addAction(tr("Copy &MAC Address"));
    copyMacAction_->setObjectName(QStringLiteral("copyMacAction"));
    // Its caption says "Rows" while several are selected (see showContextMenu).
    copyRowsAction_ = contextMenu_->addAction(QString());
    copyRowsAction_->setObjectName(QStringLiteral("copyRowsAction"));
    contextMenu_->addSeparator();
    contextMenu_->addAction(openAction_);
    connect(copyAddressAction_, &QAction::triggered, this, &MainWindow::copyAddress);
    connect(copyMacAction_, &QAction::triggered, this, &MainWindow::copyMac);
    connect(copyRowsAction_, &QAction::triggered, this, &MainWindow::copyRows);
}

}  // namespace nimbrel
