// SPDX-License-Identifier: MIT
#include "main/search_driver.h"

#include <QSocketNotifier>
#include <algorithm>
#include <chrono>

#include "discovery/interface_choice.h"

namespace nimbrel {

SearchDriver::SearchDriver(std::unique_ptr<SearchSocket> socket, std::unique_ptr<Clock> clock,
                           SearchPathsLookup oneNetwork, SearchTimings timings, Peer target)
    : clock_(std::move(clock)),
      oneNetwork_(std::move(oneNetwork)),
      search_(*clock_, oneNetwork_,
              firstThen(std::move(socket), [] { return std::make_unique<UdpSearchSocket>(); }),
              timings, DeviceTable::ListedCapacity, target) {
    search_.setEvents(SearchEvents{
        .started = [this] { Q_EMIT started(); },
        .finished = [this](const SearchResult& result) { Q_EMIT finished(result); },
        .failed = [this](const Error& error) { Q_EMIT failed(error); },
        .datagramDropped = {},
        .pathFailed = {},
    });
    deadline_.setSingleShot(true);
    deadline_.setTimerType(Qt::PreciseTimer);
    connect(&deadline_, &QTimer::timeout, this, &SearchDriver::deadlineCame);
}

SearchDriver::~SearchDriver() = default;

void SearchDriver::setAllNetworks(bool on) {
    search_.setPathsLookup(on ? allInterfacesLookup() : oneNetwork_);
}

Search::StartOutcome SearchDriver::start() {
    const Search::StartOutcome outcome = search_.start();
    if (outcome == Search::StartOutcome::Started) {
        watchSockets();  // each search opens new sockets, which need new notifiers
    }
    rearm();
    return outcome;
}

void SearchDriver::socketReadable() {
    search_.socketReadable();
    rearm();
}

void SearchDriver::deadlineCame() {
    search_.timePassed();
    rearm();
}

void SearchDriver::rearm() {
    if (!search_.running()) {
        // A finished search leaves its sockets open and unread: watching them would spin.
        stopWatching();
        deadline_.stop();
        return;
    }
    if (search_.handles() != watched_) {
        watchSockets();  // a path has failed: its socket is no longer read, so not watched
    }
    const auto remaining =
        std::chrono::ceil<std::chrono::milliseconds>(*search_.deadline() - clock_->now());
    deadline_.start(std::max(remaining, std::chrono::milliseconds{0}));
}

void SearchDriver::stopWatching() {
    for (const std::unique_ptr<QSocketNotifier>& notifier : notifiers_) {
        notifier->setEnabled(false);
    }
}

void SearchDriver::watchSockets() {
    watched_ = search_.handles();
    stopWatching();
    for (std::unique_ptr<QSocketNotifier>& notifier : notifiers_) {
        // This may run inside an old notifier's own signal (a search started from the end of
        // the one before), where deleting it at once is not allowed.
        notifier.release()->deleteLater();
    }
    notifiers_.clear();
    for (const platform::SocketHandle handle : watched_) {
        if (handle == platform::NoSocket) {
            continue;
        }
        auto notifier =
            std::make_unique<QSocketNotifier>(static_cast<qintptr>(handle), QSocketNotifier::Read);
        connect(notifier.get(), &QSocketNotifier::activated, this, &SearchDriver::socketReadable);
        notifiers_.push_back(std::move(notifier));
    }
}

}  // namespace nimbrel
