// nimbrel-discover: one search exactly as the window runs it, reported on stdout.
#include <chrono>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "discovery/device_table.h"
#include "discovery/endpoint.h"
#include "discovery/failure.h"
#include "discovery/search_cycle.h"
#include "tools/console.h"
#include "tools/progress_line.h"
#include "tools/report.h"

namespace {

constexpr std::string_view Usage =
    "Usage: nimbrel-discover [--json] [--from ADDRESS]\n"
    "\n"
    "Broadcasts one discovery request to 255.255.255.255, UDP port 10001, and lists\n"
    "the devices that answer: model, IPv4 address, MAC address, firmware version\n"
    "and copy text.\n"
    "\n"
    "  --json          print one JSON object instead of the table\n"
    "  --from ADDRESS  send from this local IPv4 address instead of the one that\n"
    "                  this computer's host name resolves to\n"
    "  --help          show this text\n"
    "  --version       show the version\n"
    "\n"
    "Exit status: 0 after a completed search, 1 when the search fails, 2 for bad\n"
    "usage.\n";

struct Options {
    bool json = false;
    std::optional<std::string> from;
    bool help = false;
    bool version = false;
};

int UsageError(const std::string& message) {
    std::fprintf(stderr, "nimbrel-discover: %s\nTry 'nimbrel-discover --help'.\n", message.c_str());
    return 2;
}

// nullopt with the message in `error` when the command line is wrong.
std::optional<Options> ParseArguments(int argc, char** argv, std::string& error) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (name == "--json") {
            options.json = true;
        } else if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--version") {
            options.version = true;
        } else if (name == "--from") {
            if (i + 1 >= argc) {
                error = "option '--from' needs an IPv4 address";
                return std::nullopt;
            }
            const std::string text = argv[++i];
            try {
                options.from = nimbrel::FormatIpv4(nimbrel::ParseIpv4(text));
            } catch (const nimbrel::Failure&) {
                error = "--from: not an IPv4 address: '" + text + "'";
                return std::nullopt;
            }
        } else {
            error = "unknown option '" + std::string(name) + "'";
            return std::nullopt;
        }
    }
    return options;
}

// The one table of the run, as in the window: one fixed block, never allocated per search.
nimbrel::DeviceTable& Table() {
    static nimbrel::DeviceTable table;
    return table;
}

void WriteErrorMessage(std::string_view message) {
    // The message is printed byte for byte, its CR LF included: it is the text the window shows.
    std::fputs("nimbrel-discover: ", stderr);
    std::fwrite(message.data(), 1, message.size(), stderr);
    std::fputc('\n', stderr);
}

int Search(const Options& options) {
    nimbrel::tools::ProgressLine progress(stderr, nimbrel::tools::IsTerminal(stderr));
    nimbrel::UdpEndpoint endpoint;

    nimbrel::SearchHooks hooks;
    hooks.eventPass = [&progress] { progress.Update(); };
    // The report is written from the table after the search, not from inside it.
    hooks.fillServerList = [](const nimbrel::DeviceTable&, int) {};

    nimbrel::SearchCycle::LocalAddressLookup lookup = nimbrel::LookUpLocalAddress;
    if (options.from) {
        lookup = [address = *options.from] { return std::optional<std::string>(address); };
    }
    nimbrel::SearchCycle search(Table(), endpoint, std::move(hooks), std::move(lookup));

    progress.Update();
    const bool completed = search.Run();
    progress.Erase();
    if (!completed) {
        std::fputs("nimbrel-discover: cannot look up this computer's host name\n", stderr);
        return 1;
    }
    const int count = Table().RecordCount();
    const std::string report = options.json ? nimbrel::tools::JsonReport(Table(), count)
                                            : nimbrel::tools::TextReport(Table(), count);
    std::fwrite(report.data(), 1, report.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    nimbrel::tools::PrepareConsole();
    std::string error;
    const std::optional<Options> options = ParseArguments(argc, argv, error);
    if (!options) {
        return UsageError(error);
    }
    if (options->help) {
        std::fwrite(Usage.data(), 1, Usage.size(), stdout);
        return 0;
    }
    if (options->version) {
        std::printf("nimbrel-discover %s\n", NIMBREL_VERSION);
        return 0;
    }
    try {
        return Search(*options);
    } catch (const std::exception& failure) {
        WriteErrorMessage(failure.what());
        return 1;
    }
}
