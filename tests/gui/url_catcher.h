// SPDX-License-Identifier: MIT
// Stands in for the system's web browser: records the addresses that it is asked to open.
#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

namespace nimbrel::testing {

class UrlCatcher : public QObject {
    Q_OBJECT

public Q_SLOTS:
    void open(const QUrl& url) { opened.push_back(url); }

public:
    QList<QUrl> opened;
};

}  // namespace nimbrel::testing
