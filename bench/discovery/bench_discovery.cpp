// The discovery core's speed: adding a reply to a nearly full table, and a search without a
// reply (wall and CPU time, so that busy waiting would show).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "discovery/device_table.h"
#include "discovery/interface_choice.h"
#include "discovery/local_address.h"
#include "discovery/search.h"
#include "discovery/search_loop.h"
#include "discovery/socket_platform.h"
#include "discovery/wire.h"

namespace {

using nimbrel::DeviceTable;
using Reply = std::vector<std::uint8_t>;

void append(std::vector<std::uint8_t>& reply, std::uint8_t type,
            const std::vector<std::uint8_t>& value) {
    reply.push_back(type);
    reply.push_back(0);
    reply.push_back(static_cast<std::uint8_t>(value.size()));
    reply.insert(reply.end(), value.begin(), value.end());
}

/// The received reply of device `id`. All devices carry the same fields and differ only in the
/// last byte of the longest copy text, the last of the shown fields that tell devices apart, so
/// that every comparison with an earlier record runs through all of them: the worst case of the
/// duplicate test. A long element of no known type follows, read and passed over.
Reply worstCaseReply(std::uint8_t id) {
    std::vector<std::uint8_t> reply{0x01, 0x00, 0x00, 0x00};
    append(reply, nimbrel::FieldAddress, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 192, 168, 1, 20});
    append(reply, nimbrel::FieldFirmware, {'1', '.', '6', '.', '0'});
    append(reply, nimbrel::FieldModel, {'A', 'P', '-', '2', '0', '0'});
    std::vector<std::uint8_t> copyText(63, 'l');
    copyText.back() = static_cast<std::uint8_t>('A' + id);
    append(reply, nimbrel::FieldCopyText, copyText);
    append(reply, 255, std::vector<std::uint8_t>(64, 0x55));
    reply[3] = static_cast<std::uint8_t>(reply.size() - 4);
    return reply;
}

void fillTen(DeviceTable& table) {
    table.clearTable();
    for (std::uint8_t id = 0; id < 10; ++id) {
        table.addReply(worstCaseReply(id));
    }
}

// The reply duplicates record 9: it is compared in full with all ten records, then dropped,
// which leaves the table as it was for the next iteration.
void BM_AddReply_DuplicateOfLast(benchmark::State& state) {
    const auto table = std::make_unique<DeviceTable>();
    fillTen(*table);
    const Reply reply = worstCaseReply(9);
    for (auto _ : state) {
        table->addReply(reply);
        benchmark::DoNotOptimize(table->recordCount());
    }
    if (table->recordCount() != 10) {
        state.SkipWithError("the duplicate was kept");
    }
}
BENCHMARK(BM_AddReply_DuplicateOfLast)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);

// For comparison, ten ordinary devices that differ in their MAC address: each comparison
// ends at the address slot, and the reply duplicates record 9.
Reply typicalReply(std::uint8_t id) {
    Reply buffer = worstCaseReply(0);
    buffer[4 + 3 + 5] = id;  // the last MAC byte
    return buffer;
}

void BM_AddReply_DuplicateOfLast_Typical(benchmark::State& state) {
    const auto table = std::make_unique<DeviceTable>();
    for (std::uint8_t id = 0; id < 10; ++id) {
        table->addReply(typicalReply(id));
    }
    const Reply reply = typicalReply(9);
    for (auto _ : state) {
        table->addReply(reply);
        benchmark::DoNotOptimize(table->recordCount());
    }
    if (table->recordCount() != 10) {
        state.SkipWithError("the table does not hold ten devices");
    }
}
BENCHMARK(BM_AddReply_DuplicateOfLast_Typical)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);

// A new device: compared in full with all ten records and kept. Only the AddReply call is
// timed; refilling the table for the next iteration is not.
void BM_AddReply_Distinct(benchmark::State& state) {
    const auto table = std::make_unique<DeviceTable>();
    const Reply reply = worstCaseReply(10);
    for (auto _ : state) {
        fillTen(*table);
        const auto start = std::chrono::steady_clock::now();
        table->addReply(reply);
        const auto end = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(table->recordCount());
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    if (table->recordCount() != 11) {
        state.SkipWithError("the new device was dropped");
    }
}
// Refilling costs several times the timed call, so each repetition is kept short.
BENCHMARK(BM_AddReply_Distinct)
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime()
    ->MinTime(0.05)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);

double processCpuMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto milliseconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) * 1000.0 +
               static_cast<double>(time.tv_usec) / 1000.0;
    };
    return milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
}

/// A plain socket bound to 127.0.0.1 that the search's request goes to.
class LoopbackSink {
public:
    LoopbackSink() {
        socket_ = nimbrel::platform::openDatagramSocket().value();
        static_cast<void>(nimbrel::platform::bindSocket(socket_, {{127, 0, 0, 1}, 0}));
        local_ = nimbrel::platform::localName(socket_).value();
    }
    ~LoopbackSink() { nimbrel::platform::closeSocket(socket_); }
    LoopbackSink(const LoopbackSink&) = delete;
    LoopbackSink& operator=(const LoopbackSink&) = delete;

    nimbrel::platform::SocketHandle handle() const { return socket_; }
    const nimbrel::Peer& local() const { return local_; }

private:
    nimbrel::platform::SocketHandle socket_ = nimbrel::platform::NoSocket;
    nimbrel::Peer local_;
};

/// A search with the real timings whose request goes to `target` on loopback, counting the
/// devices that it found.
struct LoopbackSearch {
    explicit LoopbackSearch(
        const nimbrel::Peer& target,
        nimbrel::LocalAddressLookup lookup =
            [] {
                return std::optional<nimbrel::Ipv4Bytes>{{127, 0, 0, 1}};
            })
        : search(
              clock, nimbrel::addressLookup(std::move(lookup)),
              [] { return std::make_unique<nimbrel::UdpSearchSocket>(); }, {},
              DeviceTable::DefaultCapacity, target) {
        nimbrel::SearchEvents events;
        events.finished = [this](const nimbrel::SearchResult& result) {
            found = static_cast<int>(result.devices.size());
        };
        search.setEvents(std::move(events));
    }

    /// Runs one search to its end; false when it did not start.
    bool run() {
        if (search.start() != nimbrel::Search::StartOutcome::Started) {
            return false;
        }
        nimbrel::runSearchToEnd(search, clock, std::chrono::milliseconds{250}, {});
        return true;
    }

    const nimbrel::SteadyClock clock;
    nimbrel::Search search;
    int found = -1;
};

/// Searches again and again where nothing answers, timing each search's CPU time too.
void searchesWithoutReply(benchmark::State& state, LoopbackSearch& searching) {
    double cpu = 0.0;
    for (auto _ : state) {
        const double before = processCpuMilliseconds();
        if (!searching.run()) {
            state.SkipWithError("the search did not start");
            break;
        }
        cpu += processCpuMilliseconds() - before;
    }
    state.counters["process_cpu_ms"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
    state.counters["devices"] = searching.found;
    state.counters["sockets"] = static_cast<double>(searching.search.handles().size());
}

void BM_SearchWithoutReply(benchmark::State& state) {
    const LoopbackSink sink;
    LoopbackSearch searching(sink.local());
    searchesWithoutReply(state, searching);
}
BENCHMARK(BM_SearchWithoutReply)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_SearchWithoutReply_HostLookUp(benchmark::State& state) {
    const LoopbackSink sink;
    LoopbackSearch searching(sink.local(), nimbrel::lookUpLocalAddress);
    searchesWithoutReply(state, searching);
}
BENCHMARK(BM_SearchWithoutReply_HostLookUp)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

/// A search on four paths at once (four sockets, as for four interfaces; here all on loopback),
/// with no reply: the pause and the quiet time are shared, so it lasts as long as on one path.
void BM_SearchWithoutReply_FourPaths(benchmark::State& state) {
    const LoopbackSink sink;
    LoopbackSearch searching(sink.local());
    searching.search.setPathsLookup([] {
        return std::vector<nimbrel::SearchPath>(4, nimbrel::SearchPath{{127, 0, 0, 1}, "lo"});
    });
    searchesWithoutReply(state, searching);
}
BENCHMARK(BM_SearchWithoutReply_FourPaths)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

/// A device that answers the request with a stream of 5,000 replies a second that never stops:
/// the search must end at its bound (1 s pause and 10 s) all the same.
void BM_SearchUnderEndlessStream(benchmark::State& state) {
    const LoopbackSink device;
    LoopbackSearch searching(device.local());
    const Reply reply = worstCaseReply(1);
    for (auto _ : state) {
        std::atomic<bool> stop{false};
        std::thread streamer([&] {
            std::vector<std::uint8_t> request(16);
            nimbrel::platform::waitReadable(device.handle(), 5000);
            const auto received = nimbrel::platform::receiveFrom(device.handle(), request);
            const nimbrel::Peer from = received.ok() ? received.value().from : nimbrel::Peer{};
            auto next = std::chrono::steady_clock::now();
            while (!stop.load()) {
                static_cast<void>(nimbrel::platform::sendTo(device.handle(), reply, from));
                next += std::chrono::microseconds{200};
                const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
                    next - std::chrono::steady_clock::now());
                if (wait.count() > 0) {
                    nimbrel::platform::waitReadable(device.handle(),
                                                    static_cast<int>(wait.count()));
                }
            }
        });
        if (!searching.run()) {
            state.SkipWithError("the search did not start");
        }
        stop = true;
        streamer.join();
    }
    state.counters["devices"] = searching.found;
}
BENCHMARK(BM_SearchUnderEndlessStream)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
