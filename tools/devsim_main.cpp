// SPDX-License-Identifier: MIT
// nimbrel-devsim: answers discovery requests as a set of devices would, for trying the utility
// and for the end-to-end tests.
#include <array>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "nimbrel_version.h"
#include "tools/command_line.h"
#include "tools/console.h"
#include "tools/device_options.h"
#include "tools/device_simulator.h"

namespace {

using namespace nimbrel;
using tools::SimulatedReply;

constexpr tools::ProgramMessages Program{"nimbrel-devsim"};

constexpr std::string_view Usage =
    "Usage: nimbrel-devsim [--listen ADDRESS:PORT] [--log FILE] [--requests N]\n"
    "                      [--delay MS] (--device KEYS | --reply-hex HEX)...\n"
    "\n"
    "Answers every discovery request (01 00 00 00) that reaches ADDRESS:PORT\n"
    "(default 0.0.0.0:10001) with the replies given, in order of their delays,\n"
    "each sent to the request's source address and port. At most 4096 replies\n"
    "wait for their time; past that the oldest waiting is dropped.\n"
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
    "  -h, --help         show this text\n"
    "  --version          show the version\n";

std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void OnStopSignal(int) {
    stopRequested.store(true);
}

struct Options {
    Peer listen{{0, 0, 0, 0}, 10001};
    std::vector<SimulatedReply> replies;
    std::string logPath;
    int requests = 0;  // 0: no limit
    bool help = false;
    bool version = false;
};

constexpr std::array<tools::OptionSpec, 8> Specs{{
    {"listen", true, 0},
    {"device", true, 0},
    {"reply-hex", true, 0},
    {"delay", true, 0},
    {"log", true, 0},
    {"requests", true, 0},
    {"help", false, 'h'},
    {"version", false, 0},
}};

// Applies one option in command-line order (--delay holds for the replies after it); the value
// parsers throw std::invalid_argument with the reason.
void Apply(const tools::GivenOption& option, Options& options, std::chrono::milliseconds& delay) {
    const std::string_view value = option.value;
    if (option.name == "help") {
        options.help = true;
    } else if (option.name == "version") {
        options.version = true;
    } else if (option.name == "listen") {
        options.listen = tools::ParseListen(value);
    } else if (option.name == "device") {
        const tools::DeviceOption device = tools::ParseDeviceOption(value);
        options.replies.push_back({tools::BuildReply(device.device), device.delay.value_or(delay)});
    } else if (option.name == "reply-hex") {
        options.replies.push_back({tools::ParseHex(value), delay});
    } else if (option.name == "delay") {
        delay = tools::ParseDelay(value);
    } else if (option.name == "log") {
        options.logPath = value;
    } else {
        options.requests = tools::ParseCount(value);
    }
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
    std::chrono::milliseconds delay{0};
    for (const tools::GivenOption& option : line->options) {
        try {
            Apply(option, options, delay);
        } catch (const std::invalid_argument& refused) {
            error = "--" + std::string(option.name) + ": " + refused.what();
            return std::nullopt;
        }
    }
    return options;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Flushed line by line, so that a test can read the log while the simulator runs and nothing
// is lost when it is killed.
void LogRequest(std::FILE* file, const tools::ReceivedRequest& request) {
    constexpr std::string_view Digits = "0123456789abcdef";
    std::string line = "from " + FormatPeer(request.from) + ' ';
    for (const std::uint8_t byte : request.bytes) {
        line += Digits[byte >> 4];
        line += Digits[byte & 0x0F];
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), file);
    std::fflush(file);
}

int Simulate(Options& options) {
    File log;
    if (!options.logPath.empty()) {
        log.reset(std::fopen(options.logPath.c_str(), "ab"));
        if (!log) {
            Program.Complain("cannot open log file '" + options.logPath + "'");
            return 1;
        }
    }
    tools::DeviceSimulator simulator(std::move(options.replies));
    if (const Result<> listening = simulator.Listen(options.listen); !listening.ok()) {
        Program.Complain(listening.error().message);
        return 1;
    }
    if (log) {
        simulator.SetReceiveObserver([file = log.get()](const tools::ReceivedRequest& request) {
            LogRequest(file, request);
        });
    }
    simulator.SetQueueFullObserver([] {
        Program.Complain("more than " +
                         std::to_string(tools::DeviceSimulator::DefaultQueueCapacity) +
                         " replies were waiting; the oldest waiting are dropped");
    });
    if (Program.WriteOut("nimbrel-devsim: listening on " + FormatPeer(simulator.Local()) + "\n") !=
        0) {
        return 1;
    }
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    simulator.RunUntilAnswered(stopRequested, options.requests);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    tools::PrepareConsole();
    std::string error;
    const std::span<const char* const> arguments(argv + (argc > 0 ? 1 : 0),
                                                 static_cast<std::size_t>(argc > 0 ? argc - 1 : 0));
    std::optional<Options> options = ReadOptions(arguments, error);
    if (!options) {
        return Program.UsageError(error);
    }
    if (options->help) {
        return Program.WriteOut(Usage);
    }
    if (options->version) {
        return Program.WriteOut("nimbrel-devsim " + std::string(Version) + "\n");
    }
    return Simulate(*options);
}
