// SPDX-License-Identifier: MIT
// Feeds arbitrary datagrams through the reply check and the device table the way a search
// does, and reads every field of every record and every device view afterwards.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "discovery/device_table.h"
#include "discovery/device_view.h"
#include "discovery/model_icons.h"
#include "discovery/wire.h"

namespace {

using nimbrel::DeviceRecord;
using nimbrel::DeviceTable;

// A table lives through several inputs, so that duplicates and a full table are reached; it is
// cleared after more inputs than it has records, as a new search would clear it.
constexpr int InputsPerSearch = DeviceTable::DefaultCapacity + 3;
int inputsInSearch = 0;

DeviceTable& Table() {
    static const std::unique_ptr<DeviceTable> table = std::make_unique<DeviceTable>();
    return *table;
}

void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

void ReadEveryRecord(const DeviceTable& table) {
    std::size_t total = 0;
    for (int record = 0; record <= DeviceTable::DefaultCapacity; ++record) {
        const auto mac = table.MacAddress(record);
        const auto ipv4 = table.Ipv4Address(record);
        const auto model = table.ModelText(record);
        const auto firmware = table.FirmwareText(record);
        const auto copy = table.CopyText(record);
        Require(model.size() <= 64 && firmware.size() <= 64 && copy.size() <= 64);
        // Touch every byte, so that the sanitizers see each read.
        for (const auto text : {model, firmware, copy}) {
            total += static_cast<std::size_t>(std::count(text.begin(), text.end(), '\x7F'));
        }
        total += std::size_t{mac[5]} + std::size_t{ipv4[3]};
    }
    Require(total != static_cast<std::size_t>(-1));
}

/// Whether two devices agree in every field that the programs show.
bool SameShown(const nimbrel::DeviceView& one, const nimbrel::DeviceView& other) {
    return one.model == other.model && one.ipv4 == other.ipv4 && one.mac == other.mac &&
           one.firmware == other.firmware && one.copyText == other.copyText &&
           one.hasModel == other.hasModel && one.hasAddress == other.hasAddress &&
           one.hasFirmware == other.hasFirmware && one.hasCopyText == other.hasCopyText;
}

/// What a reply may change: at most one new record, a device distinct from the earlier ones by
/// what is shown of it, and the records from the count on stay empty.
void CheckAddition(const DeviceTable& table, int countBefore) {
    static const DeviceRecord empty{};
    const int count = table.RecordCount();
    Require(count == countBefore || count == countBefore + 1);
    Require(count <= DeviceTable::DefaultCapacity);
    Require(table.Record(count) == empty);
    if (count > countBefore) {
        const nimbrel::DeviceView added = nimbrel::ViewDevice(table, count - 1);
        for (int earlier = 0; earlier + 1 < count; ++earlier) {
            Require(!SameShown(nimbrel::ViewDevice(table, earlier), added));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > nimbrel::MaxDatagramSize) {
        return 0;  // the socket drops such a datagram unread
    }
    // A heap block of exactly the datagram's bytes: a read past its end meets the redzone.
    const auto datagram = std::make_unique<std::uint8_t[]>(size);
    std::copy_n(data, size, datagram.get());
    const nimbrel::Datagram bytes(datagram.get(), size);
    DeviceTable& table = Table();
    if (nimbrel::IsDiscoveryReply(bytes)) {
        const int countBefore = table.RecordCount();
        const int leftOutBefore = table.LeftOut();
        table.AddReply(bytes);
        CheckAddition(table, countBefore);
        Require(table.LeftOut() >= leftOutBefore);
    }
    ReadEveryRecord(table);
    for (const nimbrel::DeviceView& device : nimbrel::ViewDevices(table)) {
        Require(device.iconIndex >= 0 && device.iconIndex < nimbrel::ImageCount);
    }
    if (++inputsInSearch == InputsPerSearch) {
        inputsInSearch = 0;
        table.ClearTable();
    }
    return 0;
}
