// SPDX-License-Identifier: MIT
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "discovery/wire.h"
#include "nimbrel_version.h"
#include "tests/tools/child_process.h"
#include "tests/tools/loopback_client.h"
#include "tests/tools/man_page_options.h"
#include "tools/device_simulator.h"

namespace nimbrel::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Arguments = std::vector<std::string>;

const std::string Discover = NIMBREL_DISCOVER_PATH;
const std::string Devsim = NIMBREL_DEVSIM_PATH;
const std::string Version = nimbrel::Version;

// nimbrel-discover broadcasts on the network that it is started in. It is started here only
// with command lines that end before any search, and even so only where this process sees no
// IPv4 address outside 127.0.0.0/8 (a private network namespace), in case one of them does not.
bool OnlyLoopbackHere() {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return false;
    }
    bool onlyLoopback = true;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr != nullptr && entry->ifa_addr->sa_family == AF_INET) {
            sockaddr_in address{};
            std::memcpy(&address, entry->ifa_addr, sizeof(address));
            onlyLoopback = onlyLoopback && (ntohl(address.sin_addr.s_addr) >> 24) == 127;
        }
    }
    freeifaddrs(list);
    return onlyLoopback;
}

#define SKIP_UNLESS_ONLY_LOOPBACK()                                                     \
    if (!OnlyLoopbackHere()) {                                                          \
        GTEST_SKIP() << "nimbrel-discover is started only in a network namespace with " \
                        "loopback alone (unshare -n)";                                  \
    }

std::string quoted(const Arguments& arguments) {
    std::string text;
    for (const std::string& argument : arguments) {
        text += " '" + argument + "'";
    }
    return text;
}

/// Expects `program` to refuse `arguments` as bad usage: status 2, nothing on stdout, and on
/// stderr the program's name, `message`, and where to find help.
void expectUsageError(const std::string& program, const std::string& name,
                      const Arguments& arguments, const std::string& message) {
    SCOPED_TRACE(name + quoted(arguments));
    const Outcome outcome = runToEnd(program, arguments);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err.rfind(name + ": ", 0), 0u) << outcome.err;
    EXPECT_NE(outcome.err.find(message), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("Try '" + name + " --help'."), std::string::npos) << outcome.err;
}

void expectHelp(const std::string& program, const std::string& name, const Arguments& arguments,
                const std::vector<std::string>& mentions) {
    SCOPED_TRACE(name + quoted(arguments));
    const Outcome outcome = runToEnd(program, arguments);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.out.rfind("Usage: " + name + " ", 0), 0u) << outcome.out;
    for (const std::string& option : mentions) {
        EXPECT_NE(outcome.out.find(option), std::string::npos) << option;
    }
}

/// Expects `program` to fail to write `arguments`' output: status 1 and the reason on stderr.
void expectWriteError(const std::string& program, const std::string& name,
                      const Arguments& arguments) {
    SCOPED_TRACE(name + quoted(arguments));
    const Outcome full = runToEnd(program, arguments, Stdout::Full);
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, name + ": write error: No space left on device\n");
    const Outcome closed = runToEnd(program, arguments, Stdout::Closed);
    EXPECT_EQ(closed.status, 1);
    EXPECT_EQ(closed.err, name + ": write error: Bad file descriptor\n");
    const Outcome broken = runToEnd(program, arguments, Stdout::Broken);
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.err, name + ": write error: Broken pipe\n");
}

// ---- nimbrel-discover ------------------------------------------------------------------------

const std::string DiscoverName = "nimbrel-discover";

TEST(DiscoverProgram, ShowsHelpAndVersion) {
    SKIP_UNLESS_ONLY_LOOPBACK();
    const std::vector<std::string> mentions{"Exit status", "at the latest 10 s"};
    expectHelp(Discover, DiscoverName, {"--help"}, mentions);
    expectHelp(Discover, DiscoverName, {"-h"}, mentions);

    const Outcome version = runToEnd(Discover, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "nimbrel-discover " + Version + "\n");
    EXPECT_EQ(version.err, "");
}

TEST(DiscoverProgram, ReportsAWriteErrorWithStatus1) {
    SKIP_UNLESS_ONLY_LOOPBACK();
    expectWriteError(Discover, DiscoverName, {"--help"});
    expectWriteError(Discover, DiscoverName, {"--version"});
}

TEST(DiscoverProgram, RefusesBadUsageWithStatus2) {
    SKIP_UNLESS_ONLY_LOOPBACK();
    const std::string& name = DiscoverName;
    expectUsageError(Discover, name, {"--bogus"}, "unknown option '--bogus'");
    expectUsageError(Discover, name, {"--JSON"}, "unknown option '--JSON'");
    expectUsageError(Discover, name, {"--json=yes"}, "json");
    expectUsageError(Discover, name, {"--json", "devices"}, "unexpected argument 'devices'");
    expectUsageError(Discover, name, {"--interface", "eth0", "eth1"}, "unexpected argument 'eth1'");
    expectUsageError(Discover, name, {"--", "--json"}, "unexpected argument '--json'");
    expectUsageError(Discover, name, {"--from"}, "--from");
    expectUsageError(Discover, name, {"--json", "--from", "300.1.1.1"},
                     "--from: not an IPv4 address: '300.1.1.1'");
    expectUsageError(Discover, name, {"--from=localhost"},
                     "--from: not an IPv4 address: 'localhost'");
    expectUsageError(Discover, name, {"--from", ""}, "--from: not an IPv4 address: ''");
    // Options do not stand in for one another: a value is checked by its own option only.
    expectUsageError(Discover, name, {"--interval", "198.51.100.1", "--watch"}, "--interval");
}

TEST(DiscoverProgram, RefusesUnknownInterfacesAndOptionsThatDoNotGoTogether) {
    SKIP_UNLESS_ONLY_LOOPBACK();
    const std::string& name = DiscoverName;
    // Loopback is no interface to broadcast on; in this namespace there is no other.
    expectUsageError(Discover, name, {"--interface=lo"},
                     "--interface: no interface named 'lo' is up with an IPv4 address that can "
                     "broadcast");
    // A name's control characters and bytes that are not UTF-8 are shown, not written raw.
    expectUsageError(Discover, name, {"--interface=bad\xff\x1b"}, "named 'bad\\xff\\x1b'");
    expectUsageError(Discover, name, {"--from=127.0.0.1", "--all-interfaces"},
                     "--from excludes --all-interfaces");
    expectUsageError(Discover, name, {"--interface", "eth0", "--all-interfaces"},
                     "--interface excludes --all-interfaces");
    expectUsageError(Discover, name, {"--interval=5"}, "--interval requires --watch");
    expectUsageError(Discover, name, {"--watch", "--interval", "2"},
                     "--interval: Value 2 not in range 3 to 86400");
    expectUsageError(Discover, name, {"--gone-after=2"}, "--gone-after requires --watch");
    for (const char* searches : {"0", "-1", "two", ""}) {
        expectUsageError(
            Discover, name, {"--watch", "--gone-after", searches},
            "--gone-after: Value " + std::string(searches) + " not in range 1 to 1000");
    }
}

TEST(DiscoverProgram, RefusesFromAddressesThatAreNoUnicastAddressOfThisComputer) {
    SKIP_UNLESS_ONLY_LOOPBACK();
    const std::string notOurs = ", not a unicast address of this computer";
    expectUsageError(Discover, DiscoverName, {"--from=224.0.0.1"},
                     "nimbrel-discover: --from: 224.0.0.1 is a multicast address" + notOurs + "\n");
    // Each kind of refusal: from_address_test.cpp.
}

// ---- nimbrel-devsim --------------------------------------------------------------------------

TEST(DevsimProgram, ReportsAWriteErrorWithStatus1) {
    expectWriteError(Devsim, "nimbrel-devsim", {"--help"});
    expectWriteError(Devsim, "nimbrel-devsim", {"--version"});
    // Its own line on stdout, before any request: it ends at once. (With stdout closed, its
    // socket would take descriptor 1 and the reason would be the socket's.)
    const Outcome listening =
        runToEnd(Devsim, {"--listen=127.0.0.1:0", "--device", "model=AP"}, Stdout::Full);
    EXPECT_EQ(listening.status, 1);
    EXPECT_EQ(listening.err, "nimbrel-devsim: write error: No space left on device\n");
}

TEST(DevsimProgram, ShowsHelpAndVersion) {
    const std::vector<std::string> mentions{
        "model=", "ipv4=", "mac=", "firmware=", "copy=", "delay="};
    expectHelp(Devsim, "nimbrel-devsim", {"--help"}, mentions);

    const Outcome version = runToEnd(Devsim, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "nimbrel-devsim " + Version + "\n");
    EXPECT_EQ(version.err, "");
}

// Each option's values are refused by its parser (device_options_test.cpp); here, that the
// program names the option and ends with status 2.
TEST(DevsimProgram, RefusesBadUsageWithStatus2) {
    const std::string name = "nimbrel-devsim";
    expectUsageError(Devsim, name, {}, "no reply given");
    expectUsageError(Devsim, name, {"--listen=127.0.0.1:0", "--log=x"}, "no reply given");
    expectUsageError(Devsim, name, {"--bogus"}, "unknown option '--bogus'");
    expectUsageError(Devsim, name, {"--help=yes"}, "help");
    expectUsageError(Devsim, name, {"--", "--device", "model=AP"},
                     "unexpected argument '--device'");
    expectUsageError(Devsim, name, {"--device", "model=A", "model=B"},
                     "unexpected argument 'model=B'");
    expectUsageError(Devsim, name, {"--device"}, "--device");
    expectUsageError(Devsim, name, {"--device=ipv4=10.0.0"},
                     "--device: not an IPv4 address: '10.0.0'");
    expectUsageError(Devsim, name, {"--reply-hex", "01 00 0g 00"},
                     "--reply-hex: not pairs of hexadecimal digits: '01 00 0g 00'");
    expectUsageError(Devsim, name, {"--device=model=A", "--listen", "127.0.0.1:70000"},
                     "--listen: not a port number 0 to 65535: '70000'");
    expectUsageError(Devsim, name, {"--device=model=A", "--delay", "-1"},
                     "--delay: not a delay in milliseconds: '-1'");
    expectUsageError(Devsim, name, {"--device=model=A", "--requests", "0"}, "--requests");
    // Each value is checked by its own option, in the order given.
    expectUsageError(Devsim, name, {"--delay", "model=AP", "--device", "5"},
                     "--delay: not a delay in milliseconds: 'model=AP'");
}

TEST(DevsimProgram, FailsWithStatus1WhenItCannotListenOrOpenItsLog) {
    const Outcome foreign =
        runToEnd(Devsim, {"--listen", "198.51.100.77:0", "--device", "model=AP"});
    EXPECT_EQ(foreign.status, 1);
    EXPECT_EQ(foreign.err,
              "nimbrel-devsim: cannot listen on 198.51.100.77:0: Cannot assign requested address "
              "(socket error 10049)\n");

    const Outcome log = runToEnd(Devsim, {"--listen", "127.0.0.1:0", "--device=model=A", "--log",
                                          "/nonexistent-folder/requests.log"});
    EXPECT_EQ(log.status, 1);
    EXPECT_EQ(log.err,
              "nimbrel-devsim: cannot open log file '/nonexistent-folder/requests.log': No such "
              "file or directory\n");
}

/// The port in the simulator's first line, "nimbrel-devsim: listening on 127.0.0.1:PORT".
std::uint16_t listeningPort(ChildProcess& devsim) {
    const std::optional<std::string> listening = devsim.readLine();
    const std::string prefix = "nimbrel-devsim: listening on 127.0.0.1:";
    if (!listening || listening->rfind(prefix, 0) != 0) {
        ADD_FAILURE() << listening.value_or("no line") << devsim.wait().err;
        return 0;
    }
    return static_cast<std::uint16_t>(std::stoi(listening->substr(prefix.size())));
}

TEST(DevsimProgram, TellsOnceThatItsLogCannotBeWrittenAndGoesOnAnswering) {
    ChildProcess devsim(
        Devsim, {"--listen=127.0.0.1:0", "--requests=3", "--log=/dev/full", "--reply-hex", "0a"});
    const std::uint16_t port = listeningPort(devsim);
    ASSERT_NE(port, 0);
    LoopbackClient client;
    for (int request = 0; request < 3; ++request) {
        client.send(port, Bytes{0x01, 0x00, 0x00, 0x00});
        EXPECT_EQ(client.receive(), Bytes{0x0a});
    }
    const Outcome outcome = devsim.wait();
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err,
              "nimbrel-devsim: cannot write to log file '/dev/full': No space left on device; "
              "later failures are not told\n");
}

// ---- both: the man page's synopsis -----------------------------------------------------------

/// Expects the program to list and take each option of its man page's synopsis, and no other:
/// `examples` gives each option's words on a command line that the program accepts.
void expectSynopsisOptions(const std::string& program, const std::string& page,
                           const std::map<std::string, Arguments>& examples) {
    std::set<std::string> exampled;
    for (const auto& [option, words] : examples) {
        exampled.insert(option);
    }
    EXPECT_EQ(manPageOptions(std::string(NIMBREL_TOOLS_SOURCE_DIR) + "/" + page, {".SH SYNOPSIS"}),
              exampled);
    const Outcome help = runToEnd(program, {"--help"});
    for (const auto& [option, words] : examples) {
        SCOPED_TRACE(option);
        const std::size_t at = help.out.find(option + ' ');
        EXPECT_TRUE(at != std::string::npos && (help.out[at - 1] == ' ' || help.out[at - 1] == ','))
            << help.out;
        Arguments arguments = words;
        arguments.push_back("--help");  // accepted, then only the help is shown
        const Outcome outcome = runToEnd(program, arguments);
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.out, help.out);
    }
}

TEST(DiscoverProgram, TakesEveryOptionOfItsSynopsis) {
    SKIP_UNLESS_ONLY_LOOPBACK();
    expectSynopsisOptions(Discover, "nimbrel-discover.1",
                          {{"--json", {"--json"}},
                           {"--from", {"--from", "198.51.100.1"}},
                           {"--interface", {"--interface", "eth9", "--interface=eth8"}},
                           {"--all-interfaces", {"--all-interfaces"}},
                           {"--watch", {"--watch"}},
                           {"--interval", {"--watch", "--interval=30"}},
                           {"--gone-after", {"--watch", "--gone-after", "3"}},
                           {"--help", {"-h"}},
                           {"--version", {"--help"}}});  // --version: ShowsHelpAndVersion
}

TEST(DevsimProgram, TakesEveryOptionOfItsSynopsis) {
    expectSynopsisOptions(Devsim, "nimbrel-devsim.1",
                          {{"--listen", {"--listen", "127.0.0.1:0"}},
                           {"--log", {"--log=x.log"}},
                           {"--requests", {"--requests", "2"}},
                           {"--delay", {"--delay", "5"}},
                           {"--device", {"--device", "model=AP"}},
                           {"--reply-hex", {"--reply-hex", "01 00"}},
                           {"--help", {"-h"}},
                           {"--version", {"--help"}}});  // --version: ShowsHelpAndVersion
}

TEST(DevsimProgram, AnswersARequestOnLoopbackWithTheRepliesItWasGiven) {
    const std::string log = ::testing::TempDir() + "nimbrel-devsim-" + std::to_string(getpid());
    ChildProcess devsim(
        Devsim,
        {"--listen=127.0.0.1:0", "--requests", "1", "--log=" + log, "--device",
         "model=QZL-AP,ipv4=198.51.100.2,mac=00:11:22:aa:BB:55,"
         "firmware=1.4.2,copy=Caf\xe9,delay=30",
         "--reply-hex", "01 00 00 00", "--delay", "10", "--device", "model=BR", "--reply-hex", ""});
    const std::uint16_t port = listeningPort(devsim);
    ASSERT_NE(port, 0);

    LoopbackClient client;
    client.send(port, {0x05});
    client.send(port, Bytes{0x01, 0x00, 0x00, 0x00});

    tools::DeviceSpec ap{
        "QZL-AP", {198, 51, 100, 2}, {0x00, 0x11, 0x22, 0xAA, 0xBB, 0x55}, "1.4.2", "Caf\xe9"};
    tools::DeviceSpec bridge;
    bridge.model = "BR";
    // The replies without a delay of their own come first, then the --delay 10 ones, each group
    // in the order given; the device with delay=30 comes last.
    for (const Bytes& expected : {Bytes{0x01, 0x00, 0x00, 0x00}, tools::buildReply(bridge).value(),
                                  Bytes{}, tools::buildReply(ap).value()}) {
        EXPECT_EQ(client.receive(), expected);
    }

    const Outcome outcome = devsim.wait();  // one request answered: it ends by itself
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "");
    const std::string from = "from 127.0.0.1:" + std::to_string(client.local().port) + " ";
    std::ifstream written(log, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}),
              from + "05\n" + from + "01000000\n");
    std::remove(log.c_str());
}

}  // namespace
}  // namespace nimbrel::testing
