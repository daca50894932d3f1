// SPDX-License-Identifier: MIT
#include "tests/gui/loopback_device.h"

#include <array>

#include "discovery/wire.h"

namespace nimbrel::testing {

std::vector<std::uint8_t> ReplyBytes(const std::string& model, const Ipv4Bytes& ipv4,
                                     const MacBytes& mac) {
    std::vector<std::uint8_t> reply{0x01, 0x00, 0x00, 0x00, FieldAddress, 0x00, 10};
    reply.insert(reply.end(), mac.begin(), mac.end());
    reply.insert(reply.end(), ipv4.begin(), ipv4.end());
    reply.insert(reply.end(), {FieldModel, 0x00, static_cast<std::uint8_t>(model.size())});
    reply.insert(reply.end(), model.begin(), model.end());
    reply[3] = static_cast<std::uint8_t>(reply.size() - 4);
    return reply;
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

int LoopbackDevice::Answer(const std::vector<std::vector<std::uint8_t>>& replies) {
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
