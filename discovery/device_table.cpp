#include "discovery/device_table.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace nimbrel {

namespace {

const DeviceRecord& CheckedRecord(const std::array<DeviceRecord, DeviceTable::Capacity>& records,
                                  int record) {
    if (record < 0 || record >= DeviceTable::Capacity) {
        throw std::out_of_range("device record number out of range");
    }
    return records[static_cast<std::size_t>(record)];
}

}  // namespace

bool DeviceRecord::operator==(const DeviceRecord& other) const {
    return std::memcmp(this, &other, sizeof(DeviceRecord)) == 0;
}

void DeviceTable::ClearTable() {
    std::memset(static_cast<void*>(records_.data()), 0, sizeof(records_));
    count_ = 0;
}

void DeviceTable::AddReply(const ReceiveBuffer& buffer) {
    if (count_ >= Capacity) {
        return;  // either a duplicate of a stored device or one that does not fit
    }
    DeviceRecord& fresh = records_[static_cast<std::size_t>(count_)];
    WalkFieldElements(buffer, [&fresh](const FieldElement& element) {
        FieldSlot& slot = fresh.slots[element.type];
        if (slot.present != 0) {
            return;  // the first element of a type wins
        }
        slot.present = -1;
        slot.length = element.length;
        const std::size_t stored = std::min(element.value.size(), slot.value.size());
        std::copy_n(element.value.begin(), stored, slot.value.begin());
    });
    ++count_;
    for (int earlier = 0; earlier < count_ - 1; ++earlier) {
        if (records_[static_cast<std::size_t>(earlier)] == fresh) {
            std::memset(static_cast<void*>(&fresh), 0, sizeof(fresh));
            --count_;
            return;
        }
    }
}

MacBytes DeviceTable::MacAddress(int record) const {
    const auto& value = CheckedRecord(records_, record).slots[FieldAddress].value;
    MacBytes mac{};
    std::copy_n(value.begin(), mac.size(), mac.begin());
    return mac;
}

Ipv4Bytes DeviceTable::Ipv4Address(int record) const {
    const auto& value = CheckedRecord(records_, record).slots[FieldAddress].value;
    Ipv4Bytes address{};
    std::copy_n(value.begin() + 6, address.size(), address.begin());
    return address;
}

std::string_view DeviceTable::Text(int record, std::uint8_t type) const {
    const auto& value = CheckedRecord(records_, record).slots[type].value;
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

void DeviceTable::ClearFirstMacByte(int record) {
    CheckedRecord(records_, record);
    records_[static_cast<std::size_t>(record)].slots[FieldAddress].value[0] = 0;
}

const DeviceRecord& DeviceTable::Record(int record) const {
    return CheckedRecord(records_, record);
}

std::string FormatIpv4(const Ipv4Bytes& address) {
    return std::to_string(address[0]) + '.' + std::to_string(address[1]) + '.' +
           std::to_string(address[2]) + '.' + std::to_string(address[3]);
}

std::string FormatMac(const MacBytes& mac) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < mac.size(); ++i) {
        if (i != 0) {
            text += '-';
        }
        text += digits[mac[i] >> 4];
        text += digits[mac[i] & 0x0F];
    }
    return text;
}

}  // namespace nimbrel
