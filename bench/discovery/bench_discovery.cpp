// The discovery core's speed: adding a reply to a nearly full table, and a search without a
// reply (wall and CPU time, so that busy waiting would show).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "discovery/device_table.h"
#include "discovery/endpoint.h"
#include "discovery/search_cycle.h"
#include "discovery/wire.h"

namespace {

using nimbrel::DeviceTable;
using nimbrel::ReceiveBuffer;

void Append(std::vector<std::uint8_t>& reply, std::uint8_t type,
            const std::vector<std::uint8_t>& value) {
    reply.push_back(type);
    reply.push_back(0);
    reply.push_back(static_cast<std::uint8_t>(value.size()));
    reply.insert(reply.end(), value.begin(), value.end());
}

/// The received reply of device `id`. All devices carry the same readable fields and differ only
/// in the last value byte of the last slot, so that every comparison with an earlier record
/// runs through the whole record: the worst case of the duplicate test.
ReceiveBuffer WorstCaseReply(std::uint8_t id) {
    std::vector<std::uint8_t> reply{0x01, 0x00, 0x00, 0x00};
    Append(reply, nimbrel::FieldAddress, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 192, 168, 1, 20});
    Append(reply, nimbrel::FieldFirmware, {'1', '.', '6', '.', '0'});
    Append(reply, nimbrel::FieldModel, {'A', 'P', '-', '2', '0', '0'});
    Append(reply, nimbrel::FieldCopyText, {'l', 'o', 'b', 'b', 'y'});
    std::vector<std::uint8_t> last(64, 0x55);
    last.back() = id;
    Append(reply, 255, last);
    reply[3] = static_cast<std::uint8_t>(reply.size() - 4);
    ReceiveBuffer buffer{};
    std::copy(reply.begin(), reply.end(), buffer.begin());
    return buffer;
}

void FillTen(DeviceTable& table) {
    table.ClearTable();
    for (std::uint8_t id = 0; id < 10; ++id) {
        table.AddReply(WorstCaseReply(id));
    }
}

// The reply duplicates record 9: it is compared in full with all ten records, then dropped,
// which leaves the table as it was for the next iteration.
void BM_AddReply_DuplicateOfLast(benchmark::State& state) {
    const auto table = std::make_unique<DeviceTable>();
    FillTen(*table);
    const ReceiveBuffer reply = WorstCaseReply(9);
    for (auto _ : state) {
        table->AddReply(reply);
        benchmark::DoNotOptimize(table->RecordCount());
    }
    if (table->RecordCount() != 10) {
        state.SkipWithError("the duplicate was kept");
    }
}
BENCHMARK(BM_AddReply_DuplicateOfLast)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);

// For comparison, ten ordinary devices that differ in their MAC address: each comparison
// ends at the address slot, and the reply duplicates record 9.
ReceiveBuffer TypicalReply(std::uint8_t id) {
    ReceiveBuffer buffer = WorstCaseReply(0);
    buffer[4 + 3 + 5] = id;  // the last MAC byte
    return buffer;
}

void BM_AddReply_DuplicateOfLast_Typical(benchmark::State& state) {
    const auto table = std::make_unique<DeviceTable>();
    for (std::uint8_t id = 0; id < 10; ++id) {
        table->AddReply(TypicalReply(id));
    }
    const ReceiveBuffer reply = TypicalReply(9);
    for (auto _ : state) {
        table->AddReply(reply);
        benchmark::DoNotOptimize(table->RecordCount());
    }
    if (table->RecordCount() != 10) {
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
    const ReceiveBuffer reply = WorstCaseReply(10);
    for (auto _ : state) {
        FillTen(*table);
        const auto start = std::chrono::steady_clock::now();
        table->AddReply(reply);
        const auto end = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(table->RecordCount());
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    if (table->RecordCount() != 11) {
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

double ProcessCpuMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto milliseconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) * 1000.0 +
               static_cast<double>(time.tv_usec) / 1000.0;
    };
    return milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
}

/// A search with the real timings whose request goes to a loopback port where a socket is
/// bound but nothing answers. `realLookUp` chooses the host-name look-up over a fixed address.
void SearchWithoutReply(benchmark::State& state, bool realLookUp) {
    nimbrel::UdpEndpoint sink(nimbrel::EndpointSettings{"127.0.0.1", 9});
    sink.SetLocalAddress("127.0.0.1");
    sink.BindEndpoint();

    const auto table = std::make_unique<DeviceTable>();
    nimbrel::UdpEndpoint endpoint(nimbrel::EndpointSettings{"127.0.0.1", sink.Bound().port});
    nimbrel::SearchCycle::LocalAddressLookup lookup = nimbrel::LookUpLocalAddress;
    if (!realLookUp) {
        lookup = [] { return std::optional<std::string>{"127.0.0.1"}; };
    }
    int found = -1;
    nimbrel::SearchCycle cycle(
        *table, endpoint,
        {[] {}, [] {}, [] {}, [&found](const DeviceTable&, int count) { found = count; }}, lookup);

    double cpu = 0.0;
    for (auto _ : state) {
        const double before = ProcessCpuMilliseconds();
        if (!cycle.Run()) {
            state.SkipWithError("the host name could not be looked up");
            break;
        }
        cpu += ProcessCpuMilliseconds() - before;
    }
    state.counters["process_cpu_ms"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
    state.counters["devices"] = found;
}

void BM_SearchWithoutReply(benchmark::State& state) {
    SearchWithoutReply(state, false);
}
BENCHMARK(BM_SearchWithoutReply)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_SearchWithoutReply_HostLookUp(benchmark::State& state) {
    SearchWithoutReply(state, true);
}
BENCHMARK(BM_SearchWithoutReply_HostLookUp)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
