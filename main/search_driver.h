// SPDX-License-Identifier: MIT
// Runs the discovery core's search on Qt's event loop: the socket's readability and the
// search's deadline are events like any other, so the window never waits for a search.
#pragma once

#include <QTimer>
#include <memory>
#include <vector>

#include "discovery/clock.h"
#include "discovery/search.h"
#include "discovery/search_socket.h"
#include "discovery/wire.h"
#include "main/search_runner.h"

class QSocketNotifier;

namespace nimbrel {

/// Owns the clock and the search; holds none of the search's logic. It tells the search when
/// one of its sockets is readable and when its deadline has come, and re-arms both watches
/// after every call.
class SearchDriver final : public SearchRunner {
    Q_OBJECT

public:
    /// `socket` is the first path's (opened beforehand or not); the others are made as needed.
    /// `oneNetwork` gives the path of a search while not all networks are searched.
    SearchDriver(std::unique_ptr<SearchSocket> socket, std::unique_ptr<Clock> clock,
                 SearchPathsLookup oneNetwork, SearchTimings timings = {},
                 Peer target = {{255, 255, 255, 255}, DiscoveryPort});
    ~SearchDriver() override;

    Search::StartOutcome start() override;
    bool running() const override { return search_.running(); }
    void setAllNetworks(bool on) override;

private:
    void socketReadable();
    void deadlineCame();
    void rearm();
    void watchSockets();
    void stopWatching();

    std::unique_ptr<Clock> clock_;
    SearchPathsLookup oneNetwork_;
    Search search_;
    std::vector<std::unique_ptr<QSocketNotifier>> notifiers_;
    std::vector<platform::SocketHandle> watched_;  // the sockets that notifiers_ watch
    QTimer deadline_;
};

}  // namespace nimbrel
