// SPDX-License-Identifier: MIT
// The window's language: our own translation and Qt's, chosen by the user's locale.
#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>

namespace nimbrel {

/// While it lives, the application speaks the language of `locale` if the program has a
/// translation for it: ours from the resource ":/i18n/nimbrel_<language>.qm", and Qt's own
/// (the buttons of a message box, a text field's context menu) as "qtbase_<language>.qm" from
/// where Qt keeps its translations. A locale without our translation gets English throughout,
/// Qt's texts included, so that one window never mixes two languages. A missing or unreadable
/// file is not an error: its texts simply stay English.
///
/// Needs the application object; the texts must be set after it is installed, so it is made
/// before the first window.
class Translations {
public:
    explicit Translations(const QLocale& locale = QLocale::system());
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    /// The language of our translation in use ("de", "fr"), empty for English.
    QString language() const;
    /// Whether Qt's own translation for that language was found too.
    bool hasQtTranslation() const { return qtLoaded_; }

private:
    QTranslator application_;
    QTranslator qt_;
    bool applicationLoaded_ = false;
    bool qtLoaded_ = false;
};

}  // namespace nimbrel
