// SPDX-License-Identifier: MIT
// What both programs show of one device found by a search.
#pragma once

#include <string>
#include <vector>

#include "discovery/address.h"
#include "discovery/device_table.h"

namespace nimbrel {

/// A device as found, as a value: it stays what it is whatever later searches find. Texts are
/// the device's 8-bit bytes; each renderer decodes them for its own output.
struct DeviceView {
    std::string model;
    Ipv4Bytes ipv4{};
    MacBytes mac{};        // as the device sent it
    MacBytes listedMac{};  // as listed: one model family reports its first byte as 0
    std::string firmware;
    std::string copyText;
    int iconIndex = 0;          // into the image list of ModelIconTable
    Peer source;                // the sender of the reply
    std::string interfaceName;  // the interface it answered on; empty when not known

    // Which fields the device sent; a field that it did not send reads as zeros above.
    bool hasAddress = false;
    bool hasFirmware = false;
    bool hasModel = false;
    bool hasCopyText = false;

    /// Same device for keeping a selection across searches: same MAC and IPv4 address, reached
    /// through the same interface.
    bool sameDeviceAs(const DeviceView& other) const {
        return mac == other.mac && ipv4 == other.ipv4 && interfaceName == other.interfaceName;
    }
};

/// What one search found.
struct SearchResult {
    std::vector<DeviceView> devices;  // in the order of their first reply
    int leftOut = 0;                  // distinct devices that answered beyond the table's capacity
    int droppedDatagrams = 0;         // datagrams longer than any reply, dropped unread
    /// Datagrams that the system dropped on the search's sockets because their receive buffers
    /// were full (counted where the system tells: Linux); each may have been a device's reply.
    int lostReplies = 0;
};

DeviceView viewDevice(const DeviceTable& table, int record);

/// Records 0 to count - 1 of the table, in order.
std::vector<DeviceView> viewDevices(const DeviceTable& table);

}  // namespace nimbrel
