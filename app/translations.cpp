// SPDX-License-Identifier: MIT
#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace nimbrel {

Translations::Translations(const QLocale& locale) {
    // QTranslator::load tries the locale's UI languages in the user's order of preference
    // (LANGUAGE, then LC_ALL / LC_MESSAGES / LANG on Linux; the display language on Windows),
    // each from its most specific form ("de_AT") to the language alone ("de").
    applicationLoaded_ = application_.load(locale, QStringLiteral("nimbrel"), QStringLiteral("_"),
                                           QStringLiteral(":/i18n"));
    if (!applicationLoaded_) {
        return;
    }
    QCoreApplication::installTranslator(&application_);
    // Qt's texts in the language that ours was found for, not the next one on the list.
    const QLocale chosen(application_.language());
    qtLoaded_ = qt_.load(chosen, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (qtLoaded_) {
        QCoreApplication::installTranslator(&qt_);
    }
}

Translations::~Translations() {
    // Removing a translator that was never installed is harmless.
    QCoreApplication::removeTranslator(&qt_);
    QCoreApplication::removeTranslator(&application_);
}

QString Translations::language() const {
    return applicationLoaded_
               ? QLocale(application_.language()).name().section(QLatin1Char('_'), 0, 0)
               : QString();
}

}  // namespace nimbrel
