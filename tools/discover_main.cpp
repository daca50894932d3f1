// SPDX-License-Identifier: MIT
// nimbrel-discover: one search as the window runs it, reported on stdout.
#include <array>
#include <chrono>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "discovery/clock.h"
#include "discovery/local_address.h"
#include "discovery/search.h"
#include "discovery/search_loop.h"
#include "discovery/search_socket.h"
#include "nimbrel_version.h"
#include "tools/command_line.h"
#include "tools/console.h"
#include "tools/from_address.h"
#include "tools/progress_line.h"
#include "tools/report.h"

namespace {

using namespace nimbrel;

/// The devices listed at most. The window keeps 11; a listing may as well show a whole site,
/// while the bound keeps the memory of one search small whatever answers.
constexpr int ListedDevices = 1024;

/// How often the progress line is brought up to date while the search waits.
constexpr std::chrono::milliseconds TickEvery{250};

constexpr std::string_view Usage =
    "Usage: nimbrel-discover [--json] [--from ADDRESS]\n"
    "\n"
    "Broadcasts one discovery request to 255.255.255.255, UDP port 10001, and lists\n"
    "the devices that answer: model, IPv4 address, MAC address, firmware version\n"
    "and copy text. The search ends 1.5 s after the last datagram, and at the\n"
    "latest 10 s after the 1 s pause that follows the request. Up to 1024 devices\n"
    "are listed.\n"
    "\n"
    "  --json          print one JSON object instead of the table\n"
    "  --from ADDRESS  send from this local IPv4 address instead of the one that\n"
    "                  this computer's host name resolves to\n"
    "  -h, --help      show this text\n"
    "  --version       show the version\n"
    "\n"
    "Exit status: 0 after a completed search, 1 when the search fails or the\n"
    "output cannot be written, 2 for bad usage.\n";

struct Options {
    bool json = false;
    std::optional<Ipv4Bytes> from;
    bool help = false;
    bool version = false;
};

constexpr std::array<tools::OptionSpec, 4> Specs{{
    {"json", false, 0},
    {"from", true, 0},
    {"help", false, 'h'},
    {"version", false, 0},
}};

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
    return options;
}

void Complain(std::string_view message) {
    // Byte for byte, a socket error's CR LF included: it is the text that the window shows.
    std::fputs("nimbrel-discover: ", stderr);
    std::fwrite(message.data(), 1, message.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

int UsageError(const std::string& message) {
    Complain(message);
    std::fputs("Try 'nimbrel-discover --help'.\n", stderr);
    return 2;
}

int WriteOut(std::string_view text) {
    if (const std::optional<std::string> reason = tools::WriteText(stdout, text)) {
        Complain("write error: " + *reason);
        return 1;
    }
    return 0;
}

struct Outcome {
    std::optional<SearchResult> result;
    std::optional<Error> error;
    bool lookUpFailed = false;
};

Outcome RunSearch(const Options& options, tools::ProgressLine& progress) {
    Outcome outcome;
    UdpSearchSocket socket;
    if (const Status opened = socket.Open(); !opened) {
        outcome.error = opened.GetError();
        return outcome;
    }
    const SteadyClock clock;
    LocalAddressLookup lookup = LookUpLocalAddress;
    if (options.from) {
        lookup = [address = *options.from] { return std::optional<Ipv4Bytes>(address); };
    }
    Search search(socket, clock, std::move(lookup), SearchTimings{}, ListedDevices);
    SearchEvents events;
    events.finished = [&outcome](const SearchResult& result) { outcome.result = result; };
    events.failed = [&outcome](const Error& error) { outcome.error = error; };
    events.datagramDropped = [&progress](const Peer& from) {
        progress.Erase();
        Complain("dropped an over-long datagram from " + FormatPeer(from));
    };
    search.SetEvents(std::move(events));
    if (search.Start() == Search::StartOutcome::LookUpFailed) {
        outcome.lookUpFailed = true;
        return outcome;
    }
    RunSearchToEnd(search, clock, TickEvery, [&progress] { progress.Update(); });
    return outcome;
}

int Discover(const Options& options) {
    tools::ProgressLine progress(stderr, tools::IsTerminal(stderr));
    progress.Update();
    const Outcome outcome = RunSearch(options, progress);
    progress.Erase();
    if (outcome.lookUpFailed) {
        Complain("cannot look up this computer's host name");
        return 1;
    }
    if (outcome.error || !outcome.result) {
        const std::string message = outcome.error ? outcome.error->message : "the search ended";
        Complain(options.from ? "cannot search from " + FormatIpv4(*options.from) + ": " + message
                              : message);
        return 1;
    }
    const SearchResult& result = *outcome.result;
    if (result.leftOut > 0) {
        Complain(std::to_string(result.devices.size()) + " devices listed; " +
                 std::to_string(result.leftOut) + " more answered and were left out");
    }
    return WriteOut(options.json ? tools::JsonReport(result) : tools::TextReport(result));
}

}  // namespace

int main(int argc, char** argv) {
    tools::PrepareConsole();
    std::string error;
    const std::span<const char* const> arguments(argv + (argc > 0 ? 1 : 0),
                                                 static_cast<std::size_t>(argc > 0 ? argc - 1 : 0));
    const std::optional<Options> options = ReadOptions(arguments, error);
    if (!options) {
        return UsageError(error);
    }
    if (options->help) {
        return WriteOut(Usage);
    }
    if (options->version) {
        return WriteOut("nimbrel-discover " + std::string(Version) + "\n");
    }
    return Discover(*options);
}
