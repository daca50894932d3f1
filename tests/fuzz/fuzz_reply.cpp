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

DeviceTable& sharedTable() {
    static const std::unique_ptr<DeviceTable> table = std::make_unique<DeviceTable>();
    return *table;
}

void require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

void readEveryRecord(const DeviceTable& table) {
    std::size_t total = 0;
    for (int record = 0; record <= DeviceTable::DefaultCapacity; ++record) {
        const auto mac = table.macAddress(record);
        const auto ipv4 = table.ipv4Address(record);
        const auto model = table.modelText(record);
        const auto firmware = table.firmwareText(record);
        const auto copy = table.copyText(record);
        require(model.size() <= 64 && firmware.size() <= 64 && copy.size() <= 64);
        // Touch every byte, so that the sanitizers see each read.
        for (const auto text : {model, firmware, copy}) {
            total += static_cast<std::size_t>(std::count(text.begin(), text.end(), '\x7F'));
        }
        total += std::size_t{mac[5]} + std::size_t{ipv4[3]};
    }
    require(total != static_cast<std::size_t>(-1));
}

/// Whether two devices agree in every field that the programs show.
bool sameShown(const nimbrel::DeviceView& one, const nimbrel::DeviceView& other) {
    return one.model == other.model && one.ipv4 == other.ipv4 && one.mac == other.mac &&
           one.firmware == other.firmware && one.copyText == other.copyText &&
           one.hasModel == other.hasModel && one.hasAddress == other.hasAddress &&
           one.hasFirmware == other.hasFirmware && one.hasCopyText == other.hasCopyText;
}

/// What a reply may change: at most one new record, a device distinct from the earlier ones by
/// what is shown of it, and the records from the count on stay empty.
void checkAddition(const DeviceTable& table, int countBefore) {
    static const DeviceRecord empty{};
    const int count = table.recordCount();
    require(count == countBefore || count == countBefore + 1);
    require(count <= DeviceTable::DefaultCapacity);
    require(table.recordAt(count) == empty);
    if (count > countBefore) {
        const nimbrel::DeviceView added = nimbrel::viewDevice(table, count - 1);
        for (int earlier = 0; earlier + 1 < count; ++earlier) {
            require(!sameShown(nimbrel::viewDevice(table, earlier), added));
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
    DeviceTable& table = sharedTable();
    if (nimbrel::isDiscoveryReply(bytes)) {
        const int countBefore = table.recordCount();
        const int leftOutBefore = table.leftOut();
        table.addReply(bytes);
        checkAddition(table, countBefore);
        require(table.leftOut() >= leftOutBefore);
    }
    readEveryRecord(table);
    for (const nimbrel::DeviceView& device : nimbrel::viewDevices(table)) {
        require(device.iconIndex >= 0 && device.iconIndex < nimbrel::ImageCount);
    }
    if (++inputsInSearch == InputsPerSearch) {
        inputsInSearch = 0;
        table.clearTable();
    }
    return 0;
}
