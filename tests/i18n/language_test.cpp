// SPDX-License-Identifier: MIT
// The language follows the locale: German and French where we have them, English for the
// rest and for as long as no translation is installed; Qt's own texts in the same language.
// The About window read back in each (in English: about_dialog_test.cpp).
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <ostream>

#include "about/about_dialog.h"
#include "app/translations.h"
#include "nimbrel_version.h"
#include "tests/gui/expected_boxes.h"

namespace nimbrel::testing {
namespace {

QString aboutTitle() {
    return QCoreApplication::translate("nimbrel::AboutDialog", "About");
}

QString qtYes() {
    return QCoreApplication::translate("QPlatformTheme", "&Yes");
}

TEST(Language, LocalesWithoutOurTranslationStayEnglishThroughout) {
    for (const char* name : {"C", "en_US", "en_GB", "es_ES", "ja_JP"}) {
        const Translations translations{QLocale(QString::fromLatin1(name))};
        EXPECT_EQ(translations.language(), QString()) << name;
        EXPECT_FALSE(translations.hasQtTranslation()) << name;
        EXPECT_EQ(aboutTitle(), QStringLiteral("About")) << name;
        // Not Qt's own either: the window speaks one language.
        EXPECT_EQ(qtYes(), QStringLiteral("&Yes")) << name;
    }
}

struct LanguageCase {
    const char* locale;
    const char* language;
    const char* aboutTitle;
    const char* version;
    const char* qtYes;
    const char* qtCancel;
};

void PrintTo(const LanguageCase& language, std::ostream* out) {
    *out << language.locale;
}

class InLanguage : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(InLanguage, OurTextsAndQtsComeInTheLocalesLanguageUntilRemoved) {
    {
        const Translations translations{QLocale(QString::fromLatin1(GetParam().locale))};
        EXPECT_EQ(translations.language(), QString::fromLatin1(GetParam().language));
        EXPECT_EQ(aboutTitle(), QString::fromUtf8(GetParam().aboutTitle));
        ASSERT_TRUE(translations.hasQtTranslation())
            << "qtbase_" << GetParam().language << ".qm not found (qt6-translations-l10n)";
        QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("x"),
                        QMessageBox::Yes | QMessageBox::Cancel);
        EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QString::fromUtf8(GetParam().qtYes));
        EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QString::fromUtf8(GetParam().qtCancel));
    }
    EXPECT_EQ(aboutTitle(), QStringLiteral("About"));
    EXPECT_EQ(qtYes(), QStringLiteral("&Yes"));
}

TEST_P(InLanguage, AboutWindowShowsTranslatedTextsInFull) {
    const Translations translations{QLocale(QString::fromLatin1(GetParam().locale))};
    const AboutDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(GetParam().aboutTitle));
    const auto* version = dialog.findChild<QLabel*>(QStringLiteral("version"));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(),
              QString::fromUtf8(GetParam().version).arg(QString::fromLatin1(VersionMajorMinor)));
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()))
            << label->objectName().toStdString();
        EXPECT_LE(label->geometry().right(), dialog.width()) << label->objectName().toStdString();
    }
    EXPECT_EQ(dialog.okButton()->text(), QStringLiteral("OK"));
}

INSTANTIATE_TEST_SUITE_P(
    GermanAndFrench, InLanguage,
    ::testing::Values(LanguageCase{"de_DE", "de", "Über", " Version:%1", "&Ja", "Abbrechen"},
                      LanguageCase{"fr_FR", "fr", "À propos", " Version : %1", "&Oui", "Annuler"},
                      LanguageCase{"de_AT", "de", "Über", " Version:%1", "&Ja", "Abbrechen"}));

}  // namespace
}  // namespace nimbrel::testing
