// The store of one search's results: up to 11 devices, each with one slot per field type.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "discovery/wire.h"

namespace nimbrel {

struct FieldSlot {
    std::int32_t present;  // 0: nothing stored, -1: stored
    std::uint8_t length;   // L as received, even when the value was cut to 64 bytes
    std::array<std::uint8_t, 64> value;
    std::array<std::uint8_t, 3> reserved;  // always zero; makes the padding explicit
};

/// Two records are equal when all their bytes are: the layout has no implicit padding, and a
/// record is only ever filled starting from all zeros, so one memcmp compares every field.
struct DeviceRecord {
    std::array<FieldSlot, 256> slots;

    bool operator==(const DeviceRecord& other) const;
};

static_assert(std::has_unique_object_representations_v<DeviceRecord>,
              "records are compared byte for byte");

using MacBytes = std::array<std::uint8_t, 6>;
using Ipv4Bytes = std::array<std::uint8_t, 4>;

/// One fixed block for the whole run: its owner creates it once and nothing in it is allocated
/// per search or per reply. Accessors take any record number 0 to 10; records at and past the
/// count read as empty.
class DeviceTable {
public:
    static constexpr int Capacity = 11;

    DeviceTable() = default;
    DeviceTable(const DeviceTable&) = delete;
    DeviceTable& operator=(const DeviceTable&) = delete;

    void ClearTable();

    /// Stores a reply that passed IsDiscoveryReply as the newest record, and drops it again if
    /// it equals an earlier one. A reply that arrives while every record is in use is ignored.
    void AddReply(const ReceiveBuffer& buffer);

    int RecordCount() const { return count_; }

    MacBytes MacAddress(int record) const;
    Ipv4Bytes Ipv4Address(int record) const;
    std::string_view ModelText(int record) const;
    std::string_view FirmwareText(int record) const;
    std::string_view CopyText(int record) const;

    /// Sets the first MAC byte of a record to zero, as the list build does for one model family.
    void ClearFirstMacByte(int record);

    const DeviceRecord& Record(int record) const;

private:
    std::string_view Text(int record, std::uint8_t type) const;

    std::array<DeviceRecord, Capacity> records_{};
    int count_ = 0;
};

/// "a.b.c.d", each byte in decimal without leading zeros.
std::string FormatIpv4(const Ipv4Bytes& address);

/// "XX-XX-XX-XX-XX-XX", two upper-case hexadecimal digits per byte.
std::string FormatMac(const MacBytes& mac);

}  // namespace nimbrel
