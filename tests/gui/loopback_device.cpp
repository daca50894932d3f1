// SPDX-License-Identifier: MIT
#include "tests/gui/loopback_device.h"

#include <array>

#include "discovery/wire.h"
#include "tests/discovery/reply_bytes.h"

namespace nimbrel::testing {

std::vector<std::uint8_t> replyBytes(const std::string& model, const Ipv4Bytes& ipv4,
                                     const MacBytes& mac) {
    return reply({{FieldAddress, addressValue(mac, ipv4)}, {FieldModel, text(model)}});
}

LoopbackDevice::LoopbackDevice() {
    static_cast<void>(platform::startSocketLibrary());
    socket_ = platform::openDatagramSocket().value();
    static_cast<void>(platform::bindSocket(socket_, Peer{{127, 0, 0, 1}, 0}));
    local_ = platform::localName(socket_).value();
    static_cast<void>(platform::setNonBlocking(socket_));
}

LoopbackDevice::~LoopbackDevice() {
    platform::closeSocket(socket_);
    platform::stopSocketLibrary();
}

int LoopbackDevice::answer(const std::vector<std::vector<std::uint8_t>>& replies) {
    int answered = 0;
    std::array<std::uint8_t, 64> request{};
    for (auto received = platform::receiveFrom(socket_, request); received.ok();
         received = platform::receiveFrom(socket_, request)) {
        for (const std::vector<std::uint8_t>& reply : replies) {
            static_cast<void>(platform::sendTo(socket_, reply, received.value().from));
        }
        ++answered;
    }
    return answered;
}

}  // namespace nimbrel::testing
