// SPDX-License-Identifier: MIT
#include "tests/tools/loopback_client.h"

#include <stdexcept>
#include <string>

#include "discovery/error.h"

namespace nimbrel::testing {

namespace {

[[noreturn]] void Throw(int code) {
    throw std::runtime_error(socketError(code).message);
}

// Only a broken simulator takes this long; a generous bound keeps a loaded machine from failing.
constexpr int ReceiveLimitMs = 5000;

}  // namespace

LoopbackClient::LoopbackClient() {
    if (const Result<> started = platform::startSocketLibrary(); !started.ok()) {
        Throw(started.error().code);
    }
    const Result<platform::SocketHandle> opened = platform::openDatagramSocket();
    if (!opened.ok()) {
        platform::stopSocketLibrary();
        Throw(opened.error().code);
    }
    socket_ = opened.value();
    Result<> bound = platform::bindSocket(socket_, {{127, 0, 0, 1}, 0});
    const Result<Peer> local = bound.ok() ? platform::localName(socket_) : bound.error();
    if (!local.ok()) {
        platform::closeSocket(socket_);
        platform::stopSocketLibrary();
        Throw(local.error().code);
    }
    local_ = local.value();
}

LoopbackClient::~LoopbackClient() {
    platform::closeSocket(socket_);
    platform::stopSocketLibrary();
}

void LoopbackClient::send(std::uint16_t port, const std::vector<std::uint8_t>& bytes) {
    const Result<int> sent = platform::sendTo(socket_, bytes, {{127, 0, 0, 1}, port});
    if (!sent.ok()) {
        Throw(sent.error().code);
    }
    if (sent.value() != static_cast<int>(bytes.size())) {
        throw std::runtime_error("sent " + std::to_string(sent.value()) + " bytes of " +
                                 std::to_string(bytes.size()));
    }
}

bool LoopbackClient::waiting() const {
    return platform::waitReadable(socket_, 0);
}

std::optional<std::vector<std::uint8_t>> LoopbackClient::receive() {
    if (!platform::waitReadable(socket_, ReceiveLimitMs)) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> buffer(65536);
    const Result<platform::ReceivedDatagram> received = platform::receiveFrom(socket_, buffer);
    if (!received.ok()) {
        Throw(received.error().code);
    }
    buffer.resize(static_cast<std::size_t>(received.value().size));
    lastSender_ = received.value().from;
    return buffer;
}

}  // namespace nimbrel::testing
