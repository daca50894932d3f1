// SPDX-License-Identifier: MIT
// The main window built under a German and a French translation: its menus read back in that
// language with one access key per item and none shared within one menu (the context menu
// too), its status hint, and a message box of the window with Qt's own button text.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <memory>
#include <ostream>

#include "app/translations.h"
#include "tests/gui/window_fixture.h"
#include "tests/i18n/access_key.h"

namespace nimbrel::testing {
namespace {

struct WindowLanguage {
    const char* locale;
    QStringList menuBar;
    QStringList fileMenu;
    QStringList viewMenu;
    const char* startHint;
};

void PrintTo(const WindowLanguage& language, std::ostream* out) {
    *out << language.locale;
}

class WindowInLanguage : public WindowTest, public ::testing::WithParamInterface<WindowLanguage> {
protected:
    void SetUp() override {
        // Before the window: its texts are translated as they are set.
        translations_ =
            std::make_unique<Translations>(QLocale(QString::fromLatin1(GetParam().locale)));
        ASSERT_FALSE(translations_->language().isEmpty()) << GetParam().locale;
        WindowTest::SetUp();
    }

    /// The captions of `actions`, separators left out.
    static QStringList captionsOf(const QList<QAction*>& actions) {
        QStringList texts;
        for (const QAction* action : actions) {
            if (!action->isSeparator()) {
                texts << action->text();
            }
        }
        return texts;
    }

    std::unique_ptr<Translations> translations_;
};

TEST_P(WindowInLanguage, NoTwoItemsOfOneMenuShareAnAccessKey) {
    const QMenuBar* bar = window().menuBar();
    std::vector<QStringList> menus{captionsOf(bar->actions())};
    for (const QAction* item : bar->actions()) {
        if (item->menu() != nullptr) {
            menus.push_back(captionsOf(item->menu()->actions()));
        }
    }
    // The context menu as the Menu key opens it on a selected device.
    showWindow();
    found({makeDevice("A", 1)});
    selectRow(0);
    const QPoint corner = list()->viewport()->rect().bottomRight() - QPoint(4, 4);
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, corner,
                              list()->viewport()->mapToGlobal(corner));
    QApplication::sendEvent(list()->viewport(), &menuKey);
    menus.push_back(captionsOf(window().contextMenu()->actions()));
    window().contextMenu()->hide();
    ASSERT_EQ(menus.size(), 4U) << "the menu bar, File, View and the context menu";
    for (const QStringList& captions : menus) {
        QStringList taken;
        for (const QString& caption : captions) {
            const QStringList keys = accessKeys(caption);
            EXPECT_EQ(keys.size(), 1) << caption.toStdString();
            for (const QString& key : keys) {
                EXPECT_FALSE(taken.contains(key))
                    << caption.toStdString() << " takes '" << key.toStdString() << "' again in "
                    << captions.join(QStringLiteral(" | ")).toStdString();
                taken << key;
            }
        }
    }
}

TEST_P(WindowInLanguage, MenusStatusHintAndMessageBoxReadBackInTheLanguage) {
    const QMenuBar* bar = window().menuBar();
    EXPECT_EQ(captionsOf(bar->actions()), GetParam().menuBar);
    ASSERT_EQ(bar->actions().size(), 3);
    ASSERT_NE(bar->actions().at(0)->menu(), nullptr);
    ASSERT_NE(bar->actions().at(1)->menu(), nullptr);
    EXPECT_EQ(captionsOf(bar->actions().at(0)->menu()->actions()), GetParam().fileMenu);
    EXPECT_EQ(captionsOf(bar->actions().at(1)->menu()->actions()), GetParam().viewMenu);
    EXPECT_EQ(window().statusText(), QString::fromUtf8(GetParam().startHint));

    // The copy command's notice: its one button is Qt's, in Qt's translation.
    showWindow();
    found({makeDevice("A", 1, {1, 2, 3, 4, 5, 6}, "1", "text")});
    QString button;
    const MessageDialog::TestHook previous = MessageDialog::setTestHook(
        [&button](QMessageBox& box) { button = box.button(QMessageBox::Ok)->text(); });
    QTest::keyClick(list(), Qt::Key_C, Qt::ControlModifier);
    MessageDialog::setTestHook(previous);
    EXPECT_EQ(button, QCoreApplication::translate("QPlatformTheme", "OK"));
    EXPECT_FALSE(button.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    GermanAndFrench, WindowInLanguage,
    ::testing::Values(WindowLanguage{"de_DE",
                                     {"&Datei", "&Ansicht", "Ü&ber"},
                                     {"&Automatisch aktualisieren", "&Suchen", "Ö&ffnen",
                                      "Liste speichern &unter…", "&Beenden"},
                                     {"&Große Symbole", "&Kleine Symbole", "&Details", "&Filter...",
                                      "In &allen Netzwerken suchen"},
                                     "F5: Suche starten, Doppelklick: Konfiguration"},
                      WindowLanguage{"fr_FR",
                                     {"&Fichier", "&Affichage", "À &propos"},
                                     {"&Actualisation automatique", "&Rechercher", "&Ouvrir",
                                      "Enregistrer la liste &sous…", "&Quitter"},
                                     {"&Grandes icônes", "&Petites icônes", "&Détails",
                                      "&Filtrer...", "Rechercher sur &tous les réseaux"},
                                     "F5 : rechercher, double-clic : configurer"}),
    [](const ::testing::TestParamInfo<WindowLanguage>& language) {
        return std::string(language.param.locale);
    });

}  // namespace
}  // namespace nimbrel::testing
