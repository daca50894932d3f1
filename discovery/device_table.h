// SPDX-License-Identifier: MIT
// The store of one search's results: one record per device, each with one slot per field type.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_set>
#include <vector>

#include "discovery/address.h"
#include "discovery/wire.h"

namespace nimbrel {

struct FieldSlot {
    std::int32_t present;  // 0: nothing stored, -1: stored
    std::uint8_t length;   // L as received, even when the value was cut to 64 bytes
    std::array<std::uint8_t, 64> value;
    std::array<std::uint8_t, 3> reserved;  // always zero; makes the padding explicit
};

/// The fields of one reply as stored. Two records are equal when all their bytes are: the layout
/// has no implicit padding, and a record is only ever filled starting from all zeros.
struct DeviceRecord {
    std::array<FieldSlot, 256> slots;

    bool operator==(const DeviceRecord& other) const;
};

static_assert(std::has_unique_object_representations_v<DeviceRecord>,
              "records are compared byte for byte");

/// The devices of one search, in the order of their first reply. Replies that agree in every
/// field that the programs show (model, IPv4 and MAC address, firmware, copy text, and which of
/// these were sent at all) and came by the same path are one device, whatever else they carry;
/// the first one read is kept. Accessors take any record number; records at and past the count
/// read as empty.
class DeviceTable {
public:
    /// A table's capacity unless told otherwise: a few records, allocated at once.
    static constexpr int DefaultCapacity = 11;
    /// The devices that one search lists at most, in the window and in the command-line
    /// reporter: a whole site, while the memory of one search stays small whatever answers.
    static constexpr int ListedCapacity = 1024;

    explicit DeviceTable(int capacity = DefaultCapacity);
    DeviceTable(const DeviceTable&) = delete;
    DeviceTable& operator=(const DeviceTable&) = delete;

    void clearTable();

    /// Stores a reply that passed IsDiscoveryReply as the newest record, unless it is a device
    /// already stored for the same path (a search may send on several interfaces, and a device
    /// that answers on two is reached two ways). A distinct device that arrives while every
    /// record is in use is counted in LeftOut instead.
    void addReply(Datagram reply, const Peer& source = {}, int path = 0);

    int recordCount() const { return static_cast<int>(records_.size()); }

    /// Distinct devices that answered after the table was full (counted up to a bound).
    int leftOut() const { return static_cast<int>(leftOut_.size()); }

    MacBytes macAddress(int record) const;
    Ipv4Bytes ipv4Address(int record) const;
    std::string_view modelText(int record) const;
    std::string_view firmwareText(int record) const;
    std::string_view copyText(int record) const;
    bool present(int record, std::uint8_t type) const;
    Peer source(int record) const;
    int path(int record) const;

    const DeviceRecord& recordAt(int record) const;

private:
    /// Writes what tells `record`, come by `path`, apart from other devices into freshKey_.
    void makeKey(const DeviceRecord& record, int path);

    int capacity_;
    std::vector<DeviceRecord> records_;
    std::vector<std::string> keys_;    // of each record (MakeKey)
    std::vector<std::size_t> hashes_;  // of each key, so that most comparisons are skipped
    std::vector<Peer> sources_;
    std::vector<int> paths_;
    std::unordered_set<std::size_t> leftOut_;  // the keys' hashes
    DeviceRecord fresh_{};                     // filled from each reply before it is compared
    std::string freshKey_;                     // its key; kept, so that its room is reused
};

}  // namespace nimbrel
