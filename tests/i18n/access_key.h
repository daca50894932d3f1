// SPDX-License-Identifier: MIT
// The access keys of captions, as Qt reads them: the character after a single '&'; "&&" is a
// literal ampersand.
#pragma once

#include <QString>
#include <QStringList>

namespace nimbrel::testing {

/// Every access-key character of `caption`, in order (a well-written caption has one at most).
inline QStringList accessKeys(const QString& caption) {
    QStringList keys;
    for (qsizetype at = 0; at + 1 < caption.size(); ++at) {
        if (caption.at(at) != QLatin1Char('&')) {
            continue;
        }
        ++at;  // past the '&': the next character is the key, or the second '&' of "&&"
        if (caption.at(at) != QLatin1Char('&')) {
            keys << caption.at(at).toLower();
        }
    }
    return keys;
}

}  // namespace nimbrel::testing
