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
    static_cast<void>(platform::StartSocketLibrary());
    socket_ = platform::OpenDatagramSocket().value();
    static_cast<void>(platform::BindSocket(socket_, Peer{{127, 0, 0, 1}, 0}));
    local_ = platform::LocalName(socket_).value();
    static_cast<void>(platform::SetNonBlocking(socket_));
}

LoopbackDevice::~LoopbackDevice() {
    platform::CloseSocket(socket_);
    platform::StopSocketLibrary();
}

int LoopbackDevice::answer(const std::vector<std::vector<std::uint8_t>>& replies) {
    int answered = 0;
    std::array<std::uint8_t, 64> request{};
    for (auto received = platform::ReceiveFrom(socket_, request); received.ok();
         received = platform::ReceiveFrom(socket_, request)) {
        for (const std::vector<std::uint8_t>& reply : replies) {
            static_cast<void>(platform::SendTo(socket_, reply, received.value().from));
        }
        ++answered;
    }
    return answered;
}

}  // namespace nimbrel::testing
