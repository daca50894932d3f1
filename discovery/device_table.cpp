// SPDX-License-Identifier: MIT
#include "discovery/device_table.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

namespace nimbrel {

namespace {

// A stream of distinct replies must not grow the count of left-out devices without bound.
constexpr std::size_t LeftOutBound = 65536;

const DeviceRecord& emptyRecord() {
    static const DeviceRecord empty{};
    return empty;
}

MacBytes macOf(const DeviceRecord& record) {
    const auto& value = record.slots[FieldAddress].value;
    MacBytes mac{};
    std::copy_n(value.begin(), mac.size(), mac.begin());
    return mac;
}

Ipv4Bytes ipv4Of(const DeviceRecord& record) {
    const auto& value = record.slots[FieldAddress].value;
    Ipv4Bytes address{};
    std::copy_n(value.begin() + 6, address.size(), address.begin());
    return address;
}

/// A text as the programs show it: up to its first NUL.
std::string_view textOf(const DeviceRecord& record, std::uint8_t type) {
    const auto& value = record.slots[type].value;
    const auto nul = std::find(value.begin(), value.end(), std::uint8_t{0});
    return {reinterpret_cast<const char*>(value.data()),
            static_cast<std::size_t>(nul - value.begin())};
}

constexpr std::array<std::uint8_t, 4> ShownTypes{FieldAddress, FieldFirmware, FieldModel,
                                                 FieldCopyText};

}  // namespace

bool DeviceRecord::operator==(const DeviceRecord& other) const {
    return std::memcmp(this, &other, sizeof(DeviceRecord)) == 0;
}

DeviceTable::DeviceTable(int capacity) : capacity_(std::max(capacity, 1)) {
    // The window's few records are allocated once; a larger table grows as devices answer.
    const auto reserved = static_cast<std::size_t>(std::min(capacity_, DefaultCapacity));
    records_.reserve(reserved);
    keys_.reserve(reserved);
    hashes_.reserve(reserved);
    sources_.reserve(reserved);
    paths_.reserve(reserved);
}

void DeviceTable::clearTable() {
    records_.clear();
    keys_.clear();
    hashes_.clear();
    sources_.clear();
    paths_.clear();
    leftOut_.clear();
}

void DeviceTable::addReply(Datagram reply, const Peer& source, int path) {
    std::memset(static_cast<void*>(&fresh_), 0, sizeof(fresh_));
    walkFieldElements(reply, [this](const FieldElement& element) {
        FieldSlot& slot = fresh_.slots[element.type];
        if (slot.present != 0) {
            return;  // the first element of a type wins
        }
        slot.present = -1;
        slot.length = element.length;
        const std::size_t stored = std::min(element.value.size(), slot.value.size());
        std::copy_n(element.value.begin(), stored, slot.value.begin());
    });
    makeKey(fresh_, path);
    const std::size_t hash = std::hash<std::string>{}(freshKey_);
    for (std::size_t earlier = 0; earlier < records_.size(); ++earlier) {
        if (hashes_[earlier] == hash && keys_[earlier] == freshKey_) {
            return;  // the earlier record keeps its place
        }
    }
    if (recordCount() >= capacity_) {
        if (leftOut_.size() < LeftOutBound) {
            leftOut_.insert(hash);
        }
        return;
    }
    records_.push_back(fresh_);
    keys_.push_back(freshKey_);
    hashes_.push_back(hash);
    sources_.push_back(source);
    paths_.push_back(path);
}

const DeviceRecord& DeviceTable::recordAt(int record) const {
    if (record < 0 || record >= recordCount()) {
        return emptyRecord();
    }
    return records_[static_cast<std::size_t>(record)];
}

void DeviceTable::makeKey(const DeviceRecord& record, int path) {
    // Fixed-size parts first; the texts hold no NUL, so one after each keeps them apart.
    freshKey_.clear();
    for (const std::uint8_t type : ShownTypes) {
        freshKey_.push_back(record.slots[type].present != 0 ? '1' : '0');
    }
    const MacBytes mac = macOf(record);
    const Ipv4Bytes ipv4 = ipv4Of(record);
    freshKey_.append(mac.begin(), mac.end());
    freshKey_.append(ipv4.begin(), ipv4.end());
    freshKey_ += std::to_string(path);
    for (const std::uint8_t type : {FieldModel, FieldFirmware, FieldCopyText}) {
        freshKey_.push_back('\0');
        freshKey_ += textOf(record, type);
    }
}

MacBytes DeviceTable::macAddress(int record) const {
    return macOf(recordAt(record));
}

Ipv4Bytes DeviceTable::ipv4Address(int record) const {
    return ipv4Of(recordAt(record));
}

std::string_view DeviceTable::modelText(int record) const {
    return textOf(recordAt(record), FieldModel);
}

std::string_view DeviceTable::firmwareText(int record) const {
    return textOf(recordAt(record), FieldFirmware);
}

std::string_view DeviceTable::copyText(int record) const {
    return textOf(recordAt(record), FieldCopyText);
}

bool DeviceTable::present(int record, std::uint8_t type) const {
    return recordAt(record).slots[type].present != 0;
}

Peer DeviceTable::source(int record) const {
    if (record < 0 || record >= recordCount()) {
        return {};
    }
    return sources_[static_cast<std::size_t>(record)];
}

int DeviceTable::path(int record) const {
    if (record < 0 || record >= recordCount()) {
        return 0;
    }
    return paths_[static_cast<std::size_t>(record)];
}

}  // namespace nimbrel
