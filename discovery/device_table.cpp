// SPDX-License-Identifier: MIT
#include "discovery/device_table.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string_view>

namespace nimbrel {

namespace {

// A stream of distinct replies must not grow the count of left-out devices without bound.
constexpr std::size_t LeftOutBound = 65536;

const DeviceRecord& EmptyRecord() {
    static const DeviceRecord empty{};
    return empty;
}

std::size_t HashOf(const DeviceRecord& record) {
    return std::hash<std::string_view>{}(
        std::string_view(reinterpret_cast<const char*>(&record), sizeof(record)));
}

}  // namespace

bool DeviceRecord::operator==(const DeviceRecord& other) const {
    return std::memcmp(this, &other, sizeof(DeviceRecord)) == 0;
}

DeviceTable::DeviceTable(int capacity) : capacity_(std::max(capacity, 1)) {
    // The window's few records are allocated once; a larger table grows as devices answer.
    const auto reserved = static_cast<std::size_t>(std::min(capacity_, DefaultCapacity));
    records_.reserve(reserved);
    hashes_.reserve(reserved);
    sources_.reserve(reserved);
    paths_.reserve(reserved);
}

void DeviceTable::ClearTable() {
    records_.clear();
    hashes_.clear();
    sources_.clear();
    paths_.clear();
    leftOut_.clear();
}

void DeviceTable::AddReply(Datagram reply, const Peer& source, int path) {
    std::memset(static_cast<void*>(&fresh_), 0, sizeof(fresh_));
    WalkFieldElements(reply, [this](const FieldElement& element) {
        FieldSlot& slot = fresh_.slots[element.type];
        if (slot.present != 0) {
            return;  // the first element of a type wins
        }
        slot.present = -1;
        slot.length = element.length;
        const std::size_t stored = std::min(element.value.size(), slot.value.size());
        std::copy_n(element.value.begin(), stored, slot.value.begin());
    });
    const std::size_t hash =
        HashOf(fresh_) ^ (static_cast<std::size_t>(path) * 0x9E3779B97F4A7C15u);
    for (std::size_t earlier = 0; earlier < records_.size(); ++earlier) {
        if (hashes_[earlier] == hash && paths_[earlier] == path && records_[earlier] == fresh_) {
            return;  // the earlier record keeps its place
        }
    }
    if (RecordCount() >= capacity_) {
        if (leftOut_.size() < LeftOutBound) {
            leftOut_.insert(hash);
        }
        return;
    }
    records_.push_back(fresh_);
    hashes_.push_back(hash);
    sources_.push_back(source);
    paths_.push_back(path);
}

const DeviceRecord& DeviceTable::Record(int record) const {
    if (record < 0 || record >= RecordCount()) {
        return EmptyRecord();
    }
    return records_[static_cast<std::size_t>(record)];
}

MacBytes DeviceTable::MacAddress(int record) const {
    const auto& value = Record(record).slots[FieldAddress].value;
    MacBytes mac{};
    std::copy_n(value.begin(), mac.size(), mac.begin());
    return mac;
}

Ipv4Bytes DeviceTable::Ipv4Address(int record) const {
    const auto& value = Record(record).slots[FieldAddress].value;
    Ipv4Bytes address{};
    std::copy_n(value.begin() + 6, address.size(), address.begin());
    return address;
}

std::string_view DeviceTable::Text(int record, std::uint8_t type) const {
    const auto& value = Record(record).slots[type].value;
    const auto nul = std::find(value.begin(), value.end(), std::uint8_t{0});
    return {reinterpret_cast<const char*>(value.data()),
            static_cast<std::size_t>(nul - value.begin())};
}

std::string_view DeviceTable::ModelText(int record) const {
    return Text(record, FieldModel);
}

std::string_view DeviceTable::FirmwareText(int record) const {
    return Text(record, FieldFirmware);
}

std::string_view DeviceTable::CopyText(int record) const {
    return Text(record, FieldCopyText);
}

bool DeviceTable::Present(int record, std::uint8_t type) const {
    return Record(record).slots[type].present != 0;
}

Peer DeviceTable::Source(int record) const {
    if (record < 0 || record >= RecordCount()) {
        return {};
    }
    return sources_[static_cast<std::size_t>(record)];
}

int DeviceTable::Path(int record) const {
    if (record < 0 || record >= RecordCount()) {
        return 0;
    }
    return paths_[static_cast<std::size_t>(record)];
}

}  // namespace nimbrel
