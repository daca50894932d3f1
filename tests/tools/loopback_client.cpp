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
    if (const Result<> started = platform::StartSocketLibrary(); !started.ok()) {
        Throw(started.error().code);
    }
    const Result<platform::SocketHandle> opened = platform::OpenDatagramSocket();
    if (!opened.ok()) {
        platform::StopSocketLibrary();
        Throw(opened.error().code);
    }
    socket_ = opened.value();
    Result<> bound = platform::BindSocket(socket_, {{127, 0, 0, 1}, 0});
    const Result<Peer> local = bound.ok() ? platform::LocalName(socket_) : bound.error();
    if (!local.ok()) {
        platform::CloseSocket(socket_);
        platform::StopSocketLibrary();
        Throw(local.error().code);
    }
    local_ = local.value();
}

LoopbackClient::~LoopbackClient() {
    platform::CloseSocket(socket_);
    platform::StopSocketLibrary();
}

void LoopbackClient::Send(std::uint16_t port, const std::vector<std::uint8_t>& bytes) {
    const Result<int> sent = platform::SendTo(socket_, bytes, {{127, 0, 0, 1}, port});
    if (!sent.ok()) {
        Throw(sent.error().code);
    }
    if (sent.value() != static_cast<int>(bytes.size())) {
        throw std::runtime_error("sent " + std::to_string(sent.value()) + " bytes of " +
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
    const Result<platform::ReceivedDatagram> received = platform::ReceiveFrom(socket_, buffer);
    if (!received.ok()) {
        Throw(received.error().code);
    }
    buffer.resize(static_cast<std::size_t>(received.value().size));
    return buffer;
}

}  // namespace nimbrel::testing
