// SPDX-License-Identifier: MIT
#include "tests/tools/loopback_client.h"

#include <stdexcept>
#include <string>

#include "discovery/error.h"

namespace nimbrel::testing {

namespace {

[[noreturn]] void Throw(int code) {
    throw std::runtime_error(SocketError(code).message);
}

// Only a broken simulator takes this long; a generous bound keeps a loaded machine from failing.
constexpr int ReceiveLimitMs = 5000;

}  // namespace

LoopbackClient::LoopbackClient() {
    if (const int code = platform::StartSocketLibrary(); code != 0) {
        Throw(code);
    }
    int code = 0;
    socket_ = platform::OpenDatagramSocket(code);
    if (socket_ != platform::NoSocket) {
        code = platform::BindSocket(socket_, {{127, 0, 0, 1}, 0});
    }
    if (code == 0) {
        code = platform::LocalName(socket_, local_);
    }
    if (code != 0) {
        platform::CloseSocket(socket_);
        platform::StopSocketLibrary();
        Throw(code);
    }
}

LoopbackClient::~LoopbackClient() {
    platform::CloseSocket(socket_);
    platform::StopSocketLibrary();
}

void LoopbackClient::Send(std::uint16_t port, const std::vector<std::uint8_t>& bytes) {
    int sent = 0;
    if (const int code = platform::SendTo(socket_, bytes, {{127, 0, 0, 1}, port}, sent);
        code != 0) {
        Throw(code);
    }
    if (sent != static_cast<int>(bytes.size())) {
        throw std::runtime_error("sent " + std::to_string(sent) + " bytes of " +
                                 std::to_string(bytes.size()));
    }
}

bool LoopbackClient::Waiting() const {
    return platform::WaitReadable(socket_, 0);
}

std::optional<std::vector<std::uint8_t>> LoopbackClient::Receive() {
    if (!platform::WaitReadable(socket_, ReceiveLimitMs)) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> buffer(65536);
    int received = 0;
    if (const int code = platform::ReceiveFrom(socket_, buffer, received, nullptr); code != 0) {
        Throw(code);
    }
    buffer.resize(static_cast<std::size_t>(received));
    return buffer;
}

}  // namespace nimbrel::testing
