// SPDX-License-Identifier: MIT
// nimbrel-devsim: answers discovery requests as a set of devices would, for trying the utility
// and for the end-to-end tests.
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "nimbrel_version.h"
#include "tools/console.h"
#include "tools/device_options.h"
#include "tools/device_simulator.h"
#include "tools/option_reading.h"

namespace {

using namespace nimbrel;
using tools::SimulatedReply;

constexpr tools::ProgramMessages Program{"nimbrel-devsim"};

const std::string HelpFooter =
    "Answers every discovery request (01 00 00 00) that reaches ADDRESS:PORT\n"
    "(default 0.0.0.0:10001) with the replies given, at least one, in order of\n"
    "their delays, each sent to the request's source address and port; never one\n"
    "that comes from its own address and port. At most 4096 replies wait for\n"
    "their time; past that the oldest waiting is dropped.\n"
    "\n"
    "--device KEYS is comma-separated key=value pairs, any subset: model=TEXT,\n"
    "ipv4=A.B.C.D, mac=XX-XX-XX-XX-XX-XX (or ':'), firmware=TEXT, copy=TEXT,\n"
    "delay=MS. Texts are taken byte for byte, at most 64 bytes, without ','.\n"
    "--delay MS holds for the replies given after it.";

std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void onStopSignal(int) {
    stopRequested.store(true);
}

struct Options {
    Peer listen{{0, 0, 0, 0}, 10001};
    std::vector<SimulatedReply> replies;
    std::string logPath;
    int requests = 0;  // 0: no limit
};

/// The command line as CLI11 reads it; the values are checked afterwards, in the order given,
/// because --delay holds for the replies after it.
struct CommandLine {
    std::string listen;
    std::vector<std::string> devices;
    std::vector<std::string> replyHex;
    std::vector<std::string> delays;
    std::string logPath;
    int requests = 0;
    bool help = false;
    bool version = false;
};

std::unique_ptr<CLI::App> declareOptions(CommandLine& line) {
    std::unique_ptr<CLI::App> app =
        tools::commandLineReader("nimbrel-devsim", HelpFooter, line.help, line.version);
    app->add_option("--listen", line.listen, "receive requests at this address and UDP port")
        ->type_name("ADDRESS:PORT");
    app->add_option("--device", line.devices, "a well-formed reply (repeatable)")
        ->type_name("KEYS")
        ->allow_extra_args(false);
    app->add_option("--reply-hex", line.replyHex,
                    "a datagram sent exactly as given; \"\" sends an empty one (repeatable)")
        ->type_name("HEX")
        ->allow_extra_args(false);
    app->add_option("--delay", line.delays,
                    "milliseconds after the request for the replies given after this option "
                    "(default 0)")
        ->type_name("MS")
        ->allow_extra_args(false);
    app->add_option("--log", line.logPath,
                    "append one line per datagram received: from A.B.C.D:PORT HEXBYTES")
        ->type_name("FILE");
    app->add_option("--requests", line.requests,
                    "exit once N requests are answered (default: run until interrupted)")
        ->type_name("N")
        ->check(CLI::Range(1, 1'000'000'000));
    return app;
}

Error named(std::string_view option, const Error& error) {
    return ownError("EUsage", std::string(option) + ": " + error.message);
}

/// One reply-giving option's value, taken in command-line order with the delay that holds then.
Result<> applyInOrder(const std::string& name, const std::string& value, Options& options,
                      std::chrono::milliseconds& delay) {
    if (name == "--delay") {
        const Result<std::chrono::milliseconds> read = tools::parseDelay(value);
        if (!read.ok()) {
            return named(name, read.error());
        }
        delay = read.value();
    } else if (name == "--device") {
        const Result<tools::DeviceOption> device = tools::parseDeviceOption(value);
        if (!device.ok()) {
            return named(name, device.error());
        }
        // ParseDeviceOption has built this reply once already.
        options.replies.push_back({tools::buildReply(device.value().device).value(),
                                   device.value().delay.value_or(delay)});
    } else if (name == "--reply-hex") {
        Result<std::vector<std::uint8_t>> bytes = tools::parseHex(value);
        if (!bytes.ok()) {
            return named(name, bytes.error());
        }
        options.replies.push_back({std::move(bytes).value(), delay});
    }
    return {};
}

Result<Options> checkValues(const CLI::App& app, const CommandLine& line) {
    Options options;
    if (!line.listen.empty()) {
        const Result<Peer> listen = tools::parseListen(line.listen);
        if (!listen.ok()) {
            return named("--listen", listen.error());
        }
        options.listen = listen.value();
    }
    options.logPath = line.logPath;
    options.requests = line.requests;
    // The values of each option in the order given; parse_order names the options in the order
    // of the command line, once per value.
    std::map<std::string, std::size_t> taken;
    std::chrono::milliseconds delay{0};
    for (const CLI::Option* option : app.parse_order()) {
        const std::string name = option->get_name();
        const std::vector<std::string>& values = option->results();
        const std::size_t index = taken[name]++;
        if (index >= values.size()) {
            continue;
        }
        if (const Result<> applied = applyInOrder(name, values[index], options, delay);
            !applied.ok()) {
            return applied.error();
        }
    }
    if (options.replies.empty()) {
        return ownError("EUsage", "no reply given: give at least one --device or --reply-hex");
    }
    return options;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

/// Appends a line per datagram received, flushed at once so that a test can read the log while
/// the simulator runs and nothing is lost when it is killed. A failed write (a full disk) is
/// told once; the simulator goes on answering, and goes on trying the log.
class RequestLog {
public:
    RequestLog(File file, std::string path) : file_(std::move(file)), path_(std::move(path)) {}

    void append(const tools::ReceivedRequest& request) {
        constexpr std::string_view Digits = "0123456789abcdef";
        std::string line = "from " + formatPeer(request.from) + ' ';
        for (const std::uint8_t byte : request.bytes) {
            line += Digits[byte >> 4];
            line += Digits[byte & 0x0F];
        }
        line += '\n';
        const std::optional<std::string> failure = tools::writeText(file_.get(), line);
        if (failure && !failed_) {
            failed_ = true;
            Program.complain("cannot write to log file '" + path_ + "': " + *failure +
                             "; later failures are not told");
        }
        std::clearerr(file_.get());
    }

private:
    File file_;
    std::string path_;
    bool failed_ = false;
};

int simulate(Options& options) {
    std::unique_ptr<RequestLog> log;
    if (!options.logPath.empty()) {
        File file(std::fopen(options.logPath.c_str(), "ab"));
        if (!file) {
            Program.complain("cannot open log file '" + options.logPath +
                             "': " + std::strerror(errno));
            return 1;
        }
        log = std::make_unique<RequestLog>(std::move(file), options.logPath);
    }
    tools::DeviceSimulator simulator(std::move(options.replies));
    if (const Result<> listening = simulator.listen(options.listen); !listening.ok()) {
        Program.complain("cannot listen on " + formatPeer(options.listen) + ": " +
                         errorReason(listening.error()));
        return 1;
    }
    if (log) {
        simulator.setReceiveObserver(
            [&log](const tools::ReceivedRequest& request) { log->append(request); });
    }
    simulator.setQueueFullObserver([] {
        Program.complain("more than " +
                         std::to_string(tools::DeviceSimulator::DefaultQueueCapacity) +
                         " replies were waiting; the oldest waiting are dropped");
    });
    if (Program.writeOut("nimbrel-devsim: listening on " + formatPeer(simulator.local()) + "\n") !=
        0) {
        return 1;
    }
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
    simulator.runUntilAnswered(stopRequested, options.requests);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    tools::prepareConsole();
    CommandLine line;
    const std::unique_ptr<CLI::App> app = declareOptions(line);
    if (const std::optional<int> done =
            tools::readOrAnswer(*app, tools::utf8Arguments(argc, argv), Program, line.help,
                                line.version, "nimbrel-devsim " + std::string(Version))) {
        return *done;
    }
    Result<Options> options = checkValues(*app, line);
    if (!options.ok()) {
        return Program.usageError(options.error().message);
    }
    return simulate(options.value());
}
