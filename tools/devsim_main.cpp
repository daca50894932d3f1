// nimbrel-devsim: answers discovery requests as a set of devices would, for trying the utility
// and for the end-to-end test.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/device_table.h"
#include "tools/console.h"
#include "tools/device_options.h"
#include "tools/device_simulator.h"

namespace {

using nimbrel::tools::SimulatedReply;

constexpr std::string_view Usage =
    "Usage: nimbrel-devsim [--listen ADDRESS:PORT] [--log FILE] [--requests N]\n"
    "                      [--delay MS] (--device KEYS | --reply-hex HEX)...\n"
    "\n"
    "Answers every discovery request (01 00 00 00) that reaches ADDRESS:PORT\n"
    "(default 0.0.0.0:10001) with the replies given, in order of their delays,\n"
    "each sent to the request's source address and port.\n"
    "\n"
    "  --device KEYS      a well-formed reply from comma-separated key=value pairs:\n"
    "                     model=TEXT, ipv4=A.B.C.D, mac=XX-XX-XX-XX-XX-XX (or ':'),\n"
    "                     firmware=TEXT, copy=TEXT, delay=MS (any subset; texts are\n"
    "                     taken byte for byte, at most 64 bytes, without ',')\n"
    "  --reply-hex HEX    a datagram sent exactly as given; \"\" sends an empty one\n"
    "  --delay MS         milliseconds after the request for the replies given after\n"
    "                     this option (default 0)\n"
    "  --log FILE         append one line per datagram received:\n"
    "                     from A.B.C.D:PORT HEXBYTES\n"
    "  --requests N       exit once N requests are answered (default: run until\n"
    "                     interrupted)\n"
    "  --help             show this text\n"
    "  --version          show the version\n";

std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void OnStopSignal(int) {
    stopRequested.store(true);
}

struct Options {
    nimbrel::platform::Peer listen{{0, 0, 0, 0}, 10001};
    std::vector<SimulatedReply> replies;
    std::string logPath;
    int requests = 0;  // 0: no limit
    bool help = false;
    bool version = false;
};

class UsageError : public std::exception {
public:
    explicit UsageError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

Options ParseArguments(int argc, char** argv) {
    Options options;
    std::chrono::milliseconds delay{0};
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        if (name == "--version") {
            options.version = true;
            continue;
        }
        const bool takesValue = name == "--listen" || name == "--device" || name == "--reply-hex" ||
                                name == "--delay" || name == "--log" || name == "--requests";
        if (!takesValue) {
            throw UsageError("unknown option '" + std::string(name) + "'");
        }
        if (i + 1 >= argc) {
            throw UsageError("option '" + std::string(name) + "' needs a value");
        }
        const std::string_view value = argv[++i];
        try {
            if (name == "--listen") {
                options.listen = nimbrel::tools::ParseListen(value);
            } else if (name == "--device") {
                const auto device = nimbrel::tools::ParseDeviceOption(value);
                options.replies.push_back(
                    {nimbrel::tools::BuildReply(device.device), device.delay.value_or(delay)});
            } else if (name == "--reply-hex") {
                options.replies.push_back({nimbrel::tools::ParseHex(value), delay});
            } else if (name == "--delay") {
                delay = nimbrel::tools::ParseDelay(value);
            } else if (name == "--log") {
                options.logPath = value;
            } else {
                options.requests = nimbrel::tools::ParseCount(value);
            }
        } catch (const std::invalid_argument& error) {
            throw UsageError(std::string(name) + ": " + error.what());
        }
    }
    return options;
}

std::string FormatPeer(const nimbrel::platform::Peer& peer) {
    return nimbrel::FormatIpv4(peer.address) + ':' + std::to_string(peer.port);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

int main(int argc, char** argv) {
    nimbrel::tools::PrepareConsole();
    Options options;
    try {
        options = ParseArguments(argc, argv);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "nimbrel-devsim: %s\nTry 'nimbrel-devsim --help'.\n", error.what());
        return 2;
    }
    if (options.help) {
        std::fwrite(Usage.data(), 1, Usage.size(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("nimbrel-devsim %s\n", NIMBREL_VERSION);
        return 0;
    }

    std::unique_ptr<std::FILE, FileCloser> log;
    if (!options.logPath.empty()) {
        log.reset(std::fopen(options.logPath.c_str(), "ab"));
        if (!log) {
            std::fprintf(stderr, "nimbrel-devsim: cannot open log file '%s'\n",
                         options.logPath.c_str());
            return 1;
        }
    }

    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    try {
        nimbrel::tools::DeviceSimulator simulator(options.listen, std::move(options.replies));
        if (log) {
            // Flushed line by line, so that a test can read the log while the simulator runs
            // and nothing is lost when it is killed.
            simulator.SetReceiveObserver([file = log.get()](const auto& request) {
                std::string line = "from " + FormatPeer(request.from) + ' ';
                for (const std::uint8_t byte : request.bytes) {
                    constexpr std::string_view digits = "0123456789abcdef";
                    line += digits[byte >> 4];
                    line += digits[byte & 0x0F];
                }
                line += '\n';
                std::fwrite(line.data(), 1, line.size(), file);
                std::fflush(file);
            });
        }
        std::printf("nimbrel-devsim: listening on %s\n", FormatPeer(simulator.Local()).c_str());
        std::fflush(stdout);
        simulator.RunUntilAnswered(stopRequested, options.requests);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "nimbrel-devsim: %s\n", error.what());
        return 1;
    }
    return 0;
}
