// SPDX-License-Identifier: MIT
// nimbrel-discover: one search as the window runs it, reported on stdout.
#include <array>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/clock.h"
#include "discovery/interface_choice.h"
#include "discovery/search.h"
#include "discovery/search_loop.h"
#include "discovery/search_socket.h"
#include "nimbrel_version.h"
#include "tools/command_line.h"
#include "tools/console.h"
#include "tools/device_watch.h"
#include "tools/from_address.h"
#include "tools/progress_line.h"
#include "tools/report.h"
#include "tools/stop_signal.h"

namespace {

using namespace nimbrel;

/// The devices listed at most. The window keeps 11; a listing may as well show a whole site,
/// while the bound keeps the memory of one search small whatever answers.
constexpr int ListedDevices = 1024;

/// How often the progress line is brought up to date while the search waits.
constexpr std::chrono::milliseconds TickEvery{250};

/// The time from one search's start to the next one's in --watch, by default and at least.
constexpr int DefaultIntervalSeconds = 8;
constexpr int ShortestIntervalSeconds = 3;

constexpr tools::ProgramMessages Program{"nimbrel-discover"};

constexpr std::string_view Usage =
    "Usage: nimbrel-discover [--json] [--from ADDRESS | --interface NAME... |\n"
    "                        --all-interfaces] [--watch [--interval SECONDS]]\n"
    "\n"
    "Broadcasts one discovery request to 255.255.255.255, UDP port 10001, and lists\n"
    "the devices that answer: model, IPv4 address, MAC address, firmware version,\n"
    "the interface they answered on, and copy text. The search ends 1.5 s after the\n"
    "last datagram, and at the latest 10 s after the 1 s pause that follows the\n"
    "request. Up to 1024 devices are listed.\n"
    "\n"
    "  --json              print one JSON object instead of the table\n"
    "  --from ADDRESS      send from this local IPv4 address instead of the one that\n"
    "                      this computer's host name resolves to\n"
    "  --interface NAME    search on this network interface (repeatable)\n"
    "  --all-interfaces    search on every interface that is up and can broadcast\n"
    "  --watch             search again and again until interrupted, printing one\n"
    "                      line for each device that appeared, changed or is gone\n"
    "  --interval SECONDS  time between the searches of --watch (default 8, at\n"
    "                      least 3)\n"
    "  -h, --help          show this text\n"
    "  --version           show the version\n"
    "\n"
    "Exit status: 0 after a completed search (or a watch ended by SIGINT or\n"
    "SIGTERM), 1 when the search fails or the output cannot be written, 2 for bad\n"
    "usage or an unknown interface.\n";

struct Options {
    bool json = false;
    std::optional<Ipv4Bytes> from;
    std::vector<std::string> interfaces;
    bool allInterfaces = false;
    bool watch = false;
    std::optional<int> interval;
    bool help = false;
    bool version = false;
};

constexpr std::array<tools::OptionSpec, 8> Specs{{
    {"json", false, 0},
    {"from", true, 0},
    {"interface", true, 0},
    {"all-interfaces", false, 0},
    {"watch", false, 0},
    {"interval", true, 0},
    {"help", false, 'h'},
    {"version", false, 0},
}};

// A whole number of seconds, at least the shortest interval.
std::optional<int> ReadInterval(const std::string& text, std::string& error) {
    int seconds = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (failure != std::errc{} || end != text.data() + text.size() ||
        seconds < ShortestIntervalSeconds || seconds > 86400) {
        error = "--interval: '" + text + "' is not a number of seconds from " +
                std::to_string(ShortestIntervalSeconds) + " to 86400";
        return std::nullopt;
    }
    return seconds;
}

// nullopt with the message in `error` when the command line is wrong.
std::optional<Options> ReadOptions(std::span<const char* const> arguments, std::string& error) {
    const std::optional<tools::CommandLine> line = tools::ParseCommandLine(arguments, Specs, error);
    if (!line) {
        return std::nullopt;
    }
    if (!line->operands.empty()) {
        error = "unexpected argument '" + line->operands.front() + "'";
        return std::nullopt;
    }
    Options options;
    for (const tools::GivenOption& option : line->options) {
        if (option.name == "json") {
            options.json = true;
        } else if (option.name == "help") {
            options.help = true;
        } else if (option.name == "version") {
            options.version = true;
        } else if (option.name == "interface") {
            options.interfaces.push_back(option.value);
        } else if (option.name == "all-interfaces") {
            options.allInterfaces = true;
        } else if (option.name == "watch") {
            options.watch = true;
        } else if (option.name == "interval") {
            options.interval = ReadInterval(option.value, error);
            if (!options.interval) {
                return std::nullopt;
            }
        } else {
            std::string reason;
            options.from =
                tools::ParseFromAddress(option.value, platform::LocalInterfaces(), reason);
            if (!options.from) {
                error = "--from: " + reason;
                return std::nullopt;
            }
        }
    }
    if (options.from && (!options.interfaces.empty() || options.allInterfaces)) {
        error = "--from cannot be combined with --interface or --all-interfaces";
        return std::nullopt;
    }
    if (!options.interfaces.empty() && options.allInterfaces) {
        error = "--interface and --all-interfaces exclude each other";
        return std::nullopt;
    }
    if (options.interval && !options.watch) {
        error = "--interval needs --watch";
        return std::nullopt;
    }
    if (!options.interfaces.empty()) {
        // Checked now, so that a mistyped name is a usage error before anything is sent.
        if (const auto chosen = ChooseInterfaces(options.interfaces, platform::LocalInterfaces());
            !chosen.ok()) {
            error = "--interface: " + chosen.error().message;
            return std::nullopt;
        }
    }
    return options;
}

struct Outcome {
    std::optional<SearchResult> result;
    std::optional<Error> error;
    std::string lookUpFailure;  // why no search could start
};

/// The paths of each search as the options choose them, looked up anew for every search.
SearchPathsLookup PathsFor(const Options& options, std::string& lookUpFailure) {
    if (options.from) {
        return [address = *options.from] {
            return std::optional<std::vector<SearchPath>>(
                {PathFrom(address, platform::LocalInterfaces())});
        };
    }
    if (!options.interfaces.empty() || options.allInterfaces) {
        return [&options, &lookUpFailure] {
            Result<std::vector<SearchPath>> chosen =
                ChooseInterfaces(options.interfaces, platform::LocalInterfaces());
            if (!chosen.ok()) {
                lookUpFailure = chosen.error().message;
                return std::optional<std::vector<SearchPath>>();
            }
            return std::optional<std::vector<SearchPath>>(std::move(chosen).value());
        };
    }
    return [&lookUpFailure] {
        std::optional<std::vector<SearchPath>> path = LookedUpPath(platform::LocalInterfaces());
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
              clock_, PathsFor(options, lookUpFailure_),
              [] { return std::make_unique<UdpSearchSocket>(); }, SearchTimings{}, ListedDevices) {}

    Outcome Run() {
        Outcome outcome;
        SearchEvents events;
        events.finished = [&outcome](const SearchResult& result) { outcome.result = result; };
        events.failed = [&outcome](const Error& error) { outcome.error = error; };
        events.datagramDropped = [this](const Peer& from) {
            progress_.Erase();
            Program.Complain("dropped an over-long datagram from " + FormatPeer(from));
        };
        events.pathFailed = [this](const SearchPath& path, const Error& error) {
            progress_.Erase();
            Program.Complain("interface " + path.interfaceName +
                             " left out of the search: " + error.message);
        };
        search_.SetEvents(std::move(events));
        if (search_.Start() == Search::StartOutcome::LookUpFailed) {
            outcome.lookUpFailure = lookUpFailure_;
            return outcome;
        }
        RunSearchToEnd(search_, clock_, TickEvery, [this] {
            progress_.Update();
            if (tools::StopRequested()) {
                search_.Cancel();
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
std::string FailureOf(const Options& options, const Outcome& outcome) {
    if (!outcome.lookUpFailure.empty()) {
        return outcome.lookUpFailure;
    }
    if (outcome.error || !outcome.result) {
        const std::string message = outcome.error ? outcome.error->message : "the search ended";
        return options.from ? "cannot search from " + FormatIpv4(*options.from) + ": " + message
                            : message;
    }
    return {};
}

int Discover(const Options& options) {
    tools::ProgressLine progress(stderr, tools::IsTerminal(stderr));
    progress.Update();
    Searcher searcher(options, progress);
    const Outcome outcome = searcher.Run();
    progress.Erase();
    if (const std::string failure = FailureOf(options, outcome); !failure.empty()) {
        Program.Complain(failure);
        return 1;
    }
    const SearchResult& result = *outcome.result;
    if (result.leftOut > 0) {
        Program.Complain(std::to_string(result.devices.size()) + " devices listed; " +
                         std::to_string(result.leftOut) + " more answered and were left out");
    }
    return Program.WriteOut(options.json ? tools::JsonReport(result) : tools::TextReport(result));
}

/// Searches every interval until a stop is asked for, printing a line for each change. A
/// search that fails is told on stderr and the watch goes on: the network may come back.
int Watch(const Options& options) {
    tools::InstallStopSignals();
    tools::ProgressLine progress(stderr, false);
    Searcher searcher(options, progress);
    tools::DeviceWatch watch;
    const std::chrono::seconds interval{options.interval.value_or(DefaultIntervalSeconds)};
    while (!tools::StopRequested()) {
        const auto started = std::chrono::steady_clock::now();
        const Outcome outcome = searcher.Run();
        if (tools::StopRequested()) {
            break;
        }
        if (const std::string failure = FailureOf(options, outcome); !failure.empty()) {
            Program.Complain(failure);
        } else {
            for (const tools::DeviceChange& change : watch.Update(outcome.result->devices)) {
                if (Program.WriteOut(tools::WatchLine(change, options.json, std::time(nullptr))) !=
                    0) {
                    return 1;
                }
            }
        }
        const auto next = started + interval;
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(next - std::chrono::steady_clock::now());
        if (left.count() > 0 && tools::WaitForStop(left)) {
            break;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    tools::PrepareConsole();
    std::string error;
    // Interface names may be spelt in any script, so the arguments are read as UTF-8.
    const std::vector<std::string> words = tools::Utf8Arguments(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& word : words) {
        pointers.push_back(word.c_str());
    }
    const std::span<const char* const> arguments(pointers);
    const std::optional<Options> options = ReadOptions(arguments, error);
    if (!options) {
        return Program.UsageError(error);
    }
    if (options->help) {
        return Program.WriteOut(Usage);
    }
    if (options->version) {
        return Program.WriteOut("nimbrel-discover " + std::string(Version) + "\n");
    }
    return options->watch ? Watch(*options) : Discover(*options);
}
