// SPDX-License-Identifier: MIT
#include "tests/gui/loopback_device.h"

#include <array>

#include "discovery/wire.h"
#include "tests/discovery/reply_bytes.h"

namespace nimbrel::testing {

std::vector<std::uint8_t> replyBytes(const std::string& model, const Ipv4Bytes& ipv4,
                                     const MacBytes& mac) {
    return Reply({{FieldAddress, AddressValue(mac, ipv4)}, {FieldModel, Text(model)}});
}

LoopbackDevice::LoopbackDevice() {
    platform::StartSocketLibrary();
    int error = 0;
    socket_ = platform::OpenDatagramSocket(error);
    platform::BindSocket(socket_, Peer{{127, 0, 0, 1}, 0});
    platform::LocalName(socket_, local_);
    platform::SetNonBlocking(socket_);
}

LoopbackDevice::~LoopbackDevice() {
    platform::CloseSocket(socket_);
    platform::StopSocketLibrary();
}

int LoopbackDevice::answer(const std::vector<std::vector<std::uint8_t>>& replies) {
    int answered = 0;
    std::array<std::uint8_t, 64> request{};
    int received = 0;
    Peer from;
    while (platform::ReceiveFrom(socket_, request, received, &from) == 0) {
        for (const std::vector<std::uint8_t>& reply : replies) {
            int sent = 0;
            platform::SendTo(socket_, reply, from, sent);
        }
        ++answered;
    }
    return answered;
}

}  // namespace nimbrel::testing
