// MainMenu1: the menu bar with its items, access keys and shortcut keys.
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "main/main_window.h"

namespace nimbrel {

namespace {

QAction* AddItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& keys) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(keys);
    return action;
}

}  // namespace

void TForm1::CreateMenu() {
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));

    // The menu-bar items carry shortcuts too: they take the keys before the list sees them and
    // do nothing with them.
    fileMenu_ = MainMenu1->addMenu(QStringLiteral("&File"));
    mnifile = fileMenu_->menuAction();
    mnifile->setObjectName(QStringLiteral("mnifile"));
    mnifile->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    AutoRefresh1 = AddItem(fileMenu_, "AutoRefresh1", QStringLiteral("Auto Refresh"), {});
    AutoRefresh1->setCheckable(true);
    bbrow = AddItem(fileMenu_, "bbrow", QStringLiteral("&Browse"), QKeySequence(Qt::Key_F5));
    open = AddItem(fileMenu_, "open", QStringLiteral("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O));
    sep = AddItem(fileMenu_, "sep", QStringLiteral("&Exit"), QKeySequence(Qt::CTRL | Qt::Key_X));

    viewMenu_ = MainMenu1->addMenu(QStringLiteral("&View"));
    view = viewMenu_->menuAction();
    view->setObjectName(QStringLiteral("view"));
    view->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    lar = AddItem(viewMenu_, "lar", QStringLiteral("Lar&ge Image"),
                  QKeySequence(Qt::CTRL | Qt::Key_G));
    sm = AddItem(viewMenu_, "sm", QStringLiteral("S&mall Image"),
                 QKeySequence(Qt::CTRL | Qt::Key_M));
    N1 = viewMenu_->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    N1->setShortcut(QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_F2));

    // A menu-bar item without a drop-down: a click acts at once.
    about = MainMenu1->addAction(QStringLiteral("&About"));
    about->setObjectName(QStringLiteral("about"));
}

}  // namespace nimbrel
