// SPDX-License-Identifier: MIT
// nimbrel-discover: one search as the window runs it, reported on stdout.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "discovery/clock.h"
#include "discovery/device_history.h"
#include "discovery/device_table.h"
#include "discovery/interface_choice.h"
#include "discovery/search.h"
#include "discovery/search_loop.h"
#include "discovery/search_socket.h"
#include "nimbrel_version.h"
#include "tools/console.h"
#include "tools/device_watch.h"
#include "tools/from_address.h"
#include "tools/option_reading.h"
#include "tools/progress_line.h"
#include "tools/report.h"
#include "tools/stop_signal.h"

namespace {

using namespace nimbrel;

/// How often the progress line is brought up to date while the search waits.
constexpr std::chrono::milliseconds TickEvery{250};

/// The time from one search's start to the next one's in --watch, by default and at least.
constexpr int DefaultIntervalSeconds = 8;
constexpr int ShortestIntervalSeconds = 3;

/// The most searches that --gone-after waits: at the longest interval, more than a year.
constexpr int MostMissedSearches = 1000;

constexpr tools::ProgramMessages Program{"nimbrel-discover"};

const std::string HelpFooter =
    "Broadcasts one discovery request to 255.255.255.255, UDP port 10001, and lists\n"
    "the devices that answer: model, IPv4 address, MAC address, firmware version,\n"
    "the interface they answered on, and copy text. The search ends 1.5 s after the\n"
    "last datagram, and at the latest 10 s after the 1 s pause that follows the\n"
    "request. Up to 1024 devices are listed.\n"
    "\n"
    "Exit status: 0 after a completed search (or a watch ended by SIGINT or\n"
    "SIGTERM), 1 when the search fails or the output cannot be written, 2 for bad\n"
    "usage or an unknown interface.";

struct Options {
    bool json = false;
    std::optional<Ipv4Bytes> from;
    std::vector<std::string> interfaces;
    bool allInterfaces = false;
    bool watch = false;
    int interval = DefaultIntervalSeconds;
    int goneAfter = DeviceHistory::DefaultGoneAfter;
};

/// The command line as CLI11 reads it, before the values that it cannot check are checked.
struct CommandLine {
    Options options;
    std::optional<std::string> from;
    bool help = false;
    bool version = false;
};

std::unique_ptr<CLI::App> declareOptions(CommandLine& line) {
    std::unique_ptr<CLI::App> app =
        tools::commandLineReader("nimbrel-discover", HelpFooter, line.help, line.version);
    Options& options = line.options;
    app->add_flag("--json", options.json, "print one JSON object instead of the table")
        ->disable_flag_override();
    CLI::Option* from = app->add_option("--from", line.from,
                                        "send from this local IPv4 address, not from the one "
                                        "of this computer's host name")
                            ->type_name("ADDRESS");
    CLI::Option* interface = app->add_option("--interface", options.interfaces,
                                             "search on this network interface (repeatable)")
                                 ->type_name("NAME")
                                 ->allow_extra_args(false);
    CLI::Option* all = app->add_flag("--all-interfaces", options.allInterfaces,
                                     "search on every interface that is up and can broadcast")
                           ->disable_flag_override();
    from->excludes(interface)->excludes(all);
    interface->excludes(all);
    CLI::Option* watch = app->add_flag("--watch", options.watch,
                                       "search until interrupted; print a line for each device "
                                       "that appears, changes or goes")
                             ->disable_flag_override();
    app->add_option("--interval", options.interval, "time between the searches of --watch")
        ->type_name("SECONDS")
        ->check(CLI::Range(ShortestIntervalSeconds, 86400))
        ->capture_default_str()
        ->needs(watch);
    app->add_option("--gone-after", options.goneAfter,
                    "report a device as gone once it has missed this many searches in a row")
        ->type_name("N")
        ->check(CLI::Range(1, MostMissedSearches))
        ->capture_default_str()
        ->needs(watch);
    return app;
}

// The values that CLI11 does not check: the address to send from and the interfaces' names,
// both against this computer's interfaces, so that a mistyped one is bad usage before anything
// is sent.
Result<Options> checkValues(const CommandLine& line) {
    Options options = line.options;
    if (line.from) {
        const Result<Ipv4Bytes> from =
            tools::parseFromAddress(*line.from, platform::localInterfaces());
        if (!from.ok()) {
            return ownError("EUsage", "--from: " + from.error().message);
        }
        options.from = from.value();
    }
    if (!options.interfaces.empty()) {
        if (const auto chosen = chooseInterfaces(options.interfaces, platform::localInterfaces());
            !chosen.ok()) {
            return ownError("EUsage", "--interface: " + chosen.error().message);
        }
    }
    return options;
}

struct Outcome {
    std::optional<SearchResult> result;
    std::optional<Error> error;
    std::string lookUpFailure;            // why no search could start
    std::vector<std::string> unsearched;  // the interfaces left out of the search
};

/// The paths of each search as the options choose them, looked up anew for every search.
SearchPathsLookup pathsFor(const Options& options, std::string& lookUpFailure) {
    if (options.from) {
        return [address = *options.from] {
            return std::optional<std::vector<SearchPath>>(
                {pathFrom(address, platform::localInterfaces())});
        };
    }
    if (!options.interfaces.empty() || options.allInterfaces) {
        return [&options, &lookUpFailure] {
            Result<std::vector<SearchPath>> chosen =
                chooseInterfaces(options.interfaces, platform::localInterfaces());
            if (!chosen.ok()) {
                lookUpFailure = chosen.error().message;
                return std::optional<std::vector<SearchPath>>();
            }
            return std::optional<std::vector<SearchPath>>(std::move(chosen).value());
        };
    }
    return [&lookUpFailure] {
        std::optional<std::vector<SearchPath>> path = lookedUpPath(platform::localInterfaces());
        if (!path) {
            lookUpFailure = "cannot look up this computer's host name";
        }
        return path;
    };
}

/// Runs searches one at a time on sockets that it keeps from one search to the next.
class Searcher {
public:
    Searcher(const Options& options, tools::ProgressLine& progress)
        : progress_(progress),
          search_(
              clock_, pathsFor(options, lookUpFailure_),
              [] { return std::make_unique<UdpSearchSocket>(); }, SearchTimings{},
              DeviceTable::ListedCapacity) {}

    Outcome run() {
        Outcome outcome;
        SearchEvents events;
        events.finished = [&outcome](const SearchResult& result) { outcome.result = result; };
        events.failed = [&outcome](const Error& error) { outcome.error = error; };
        events.datagramDropped = [this](const Peer& from) {
            progress_.erase();
            Program.complain("dropped an over-long datagram from " + formatPeer(from));
        };
        events.pathFailed = [this, &outcome](const SearchPath& path, const Error& error) {
            outcome.unsearched.push_back(path.interfaceName);
            progress_.erase();
            Program.complain("interface " + path.interfaceName +
                             " left out of the search: " + errorReason(error));
        };
        search_.setEvents(std::move(events));
        if (search_.start() == Search::StartOutcome::LookUpFailed) {
            outcome.lookUpFailure = lookUpFailure_;
            return outcome;
        }
        runSearchToEnd(search_, clock_, TickEvery, [this] {
            progress_.update();
            if (tools::stopRequested()) {
                search_.cancel();
            }
        });
        return outcome;
    }

private:
    tools::ProgressLine& progress_;
    std::string lookUpFailure_;
    const SteadyClock clock_;
    Search search_;
};

/// The message for a search that failed or could not start; empty after a completed one.
std::string failureOf(const Options& options, const Outcome& outcome) {
    if (!outcome.lookUpFailure.empty()) {
        return outcome.lookUpFailure;
    }
    if (outcome.error || !outcome.result) {
        const std::string reason = outcome.error ? errorReason(*outcome.error) : "it was cut short";
        return options.from ? "cannot search from " + formatIpv4(*options.from) + ": " + reason
                            : "the search failed: " + reason;
    }
    return {};
}

/// Says on stderr what a search could not list or read: devices past the table's capacity and
/// replies that the system dropped.
void reportShortfalls(const SearchResult& result) {
    if (result.leftOut > 0) {
        Program.complain(std::to_string(result.devices.size()) + " devices listed; " +
                         std::to_string(result.leftOut) + " more answered and were left out");
    }
    if (result.lostReplies > 0) {
        Program.complain(std::to_string(result.lostReplies) +
                         (result.lostReplies == 1 ? " reply was" : " replies were") +
                         " lost: the receive buffer was full");
    }
}

int discover(const Options& options) {
    // Ctrl+C cancels the search at its next tick, so that the progress line can be ended first.
    tools::installStopSignals();
    tools::ProgressLine progress(stderr, tools::isTerminal(stderr));
    progress.update();
    Searcher searcher(options, progress);
    const Outcome outcome = searcher.run();
    if (tools::stopRequested()) {
        progress.endLine();
        tools::endAsStopped();
    }
    progress.erase();
    if (const std::string failure = failureOf(options, outcome); !failure.empty()) {
        Program.complain(failure);
        return 1;
    }
    const SearchResult& result = *outcome.result;
    reportShortfalls(result);
    return Program.writeOut(options.json ? tools::jsonReport(result) : tools::textReport(result));
}

/// Writes the lines of `events`; false when the watch is to end, with `status` set.
bool writeEvents(const std::vector<HistoryEvent>& events, bool json, int& status) {
    for (const HistoryEvent& event : events) {
        const tools::WriteEnd written = tools::writeUnlessStopped(tools::watchLine(event, json));
        if (written.kind == tools::WriteEnd::Kind::Stopped) {
            status = 0;
            return false;
        }
        if (written.kind == tools::WriteEnd::Kind::Failed) {
            Program.complain("write error: " + written.reason);
            status = 1;
            return false;
        }
    }
    return true;
}

/// Waits until `next`; false when the watch is to end, with `status` set.
bool waitForNextSearch(std::chrono::steady_clock::time_point next, int& status) {
    const auto left = std::max(
        std::chrono::ceil<std::chrono::milliseconds>(next - std::chrono::steady_clock::now()),
        std::chrono::milliseconds{0});
    switch (tools::waitForStopOrClosedOutput(left)) {
        case tools::WaitEnd::TimedOut: return true;
        case tools::WaitEnd::Stopped: status = 0; return false;
        case tools::WaitEnd::OutputClosed: break;
    }
    // The reader has gone: said now rather than at the next change, which may never come.
    Program.complain("write error: " + std::string(std::strerror(EPIPE)));
    status = 1;
    return false;
}

/// Searches every interval until a stop is asked for, printing a line for each change. A
/// search that fails is told on stderr and the watch goes on: the network may come back.
int watch(const Options& options) {
    tools::installStopSignals();
    tools::ProgressLine progress(stderr, false);
    Searcher searcher(options, progress);
    const SystemClock clock;
    DeviceHistory history(clock, options.goneAfter);
    const std::chrono::seconds interval{options.interval};
    int status = 0;
    while (!tools::stopRequested()) {
        const auto started = std::chrono::steady_clock::now();
        const Outcome outcome = searcher.run();
        if (tools::stopRequested()) {
            break;
        }
        if (const std::string failure = failureOf(options, outcome); !failure.empty()) {
            Program.complain(failure);
        } else {
            reportShortfalls(*outcome.result);
            if (!writeEvents(history.update(*outcome.result, outcome.unsearched), options.json,
                             status)) {
                return status;
            }
        }
        if (!waitForNextSearch(started + interval, status)) {
            return status;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    tools::prepareConsole();
    CommandLine line;
    const std::unique_ptr<CLI::App> app = declareOptions(line);
    // Interface names may be spelt in any script, so the arguments are read as UTF-8.
    if (const std::optional<int> done =
            tools::readOrAnswer(*app, tools::utf8Arguments(argc, argv), Program, line.help,
                                line.version, "nimbrel-discover " + std::string(Version))) {
        return *done;
    }
    const Result<Options> options = checkValues(line);
    if (!options.ok()) {
        return Program.usageError(options.error().message);
    }
    return options.value().watch ? watch(options.value()) : discover(options.value());
}
