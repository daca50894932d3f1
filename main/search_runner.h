// SPDX-License-Identifier: MIT
// What the window needs of a search: start one, know whether one runs, and hear how it ended.
// The program drives the real search with SearchDriver; tests put a double of their own here.
#pragma once

#include <QMetaType>
#include <QObject>

#include "discovery/device_view.h"
#include "discovery/error.h"
#include "discovery/search.h"

namespace nimbrel {

class SearchRunner : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    /// A search that `start` reports as Started ends later with `finished` or `failed`; one that
    /// it reports as Failed has emitted `failed` before `start` returns. AlreadyRunning and
    /// LookUpFailed change nothing and emit nothing.
    virtual Search::StartOutcome start() = 0;

    virtual bool running() const = 0;

    /// From the next search on, searches every network of the computer at once, or only the
    /// one of the looked-up address.
    virtual void setAllNetworks(bool on) = 0;

Q_SIGNALS:
    void started();
    void finished(const nimbrel::SearchResult& result);
    void failed(const nimbrel::Error& error);
};

}  // namespace nimbrel

Q_DECLARE_METATYPE(nimbrel::SearchResult)
Q_DECLARE_METATYPE(nimbrel::Error)
