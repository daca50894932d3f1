// SPDX-License-Identifier: MIT
#include "discovery/search_socket.h"

namespace nimbrel {

UdpSearchSocket::UdpSearchSocket(int receiveBufferBytes)
    : receiveBufferAsked_(receiveBufferBytes) {}

UdpSearchSocket::~UdpSearchSocket() {
    close();
    if (libraryStarted_) {
        platform::stopSocketLibrary();
    }
}

Result<> UdpSearchSocket::open() {
    if (!libraryStarted_) {
        if (Result<> started = platform::startSocketLibrary(); !started.ok()) {
            return started;
        }
        libraryStarted_ = true;
    }
    close();
    return openSocket();
}

void UdpSearchSocket::close() {
    if (socket_ != platform::NoSocket) {
        platform::closeSocket(socket_);
        socket_ = platform::NoSocket;
    }
    bound_ = {};
    receiveBufferGranted_ = 0;
}

Result<> UdpSearchSocket::openSocket() {
    const Result<platform::SocketHandle> socket = platform::openDatagramSocket();
    if (!socket.ok()) {
        return ownError("ESocketAllocation", "Cannot allocate socket.");
    }
    socket_ = socket.value();
    if (Result<> enabled = platform::enableBroadcast(socket_); !enabled.ok()) {
        return enabled;
    }
    if (Result<> set = platform::setNonBlocking(socket_); !set.ok()) {
        return set;
    }
    // Both are wishes: a search without them still finds what it reads, and a smaller buffer
    // shows in ReceiveBufferBytes, lost replies where the system counts them.
    const Result<int> granted = platform::setReceiveBuffer(socket_, receiveBufferAsked_);
    receiveBufferGranted_ = granted.ok() ? granted.value() : 0;
    static_cast<void>(platform::enableArrivalDetails(socket_));
    return {};
}

Result<> UdpSearchSocket::reopen(const Ipv4Bytes& local, unsigned interfaceIndex) {
    if (Result<> opened = open(); !opened.ok()) {
        return opened;
    }
    local_ = local;
    interfaceIndex_ = interfaceIndex;
    if (Result<> bound = platform::bindForSearch(socket_, local, interfaceIndex); !bound.ok()) {
        if (bound.error().code == platform::CodeAddressInUse) {
            return ownError("ECouldNotBind",
                            "Could not bind socket. Address and port are already in use.");
        }
        return bound;
    }
    Result<Peer> name = platform::localName(socket_);
    if (!name.ok()) {
        return name.error();
    }
    bound_ = name.value();
    return {};
}

Result<> UdpSearchSocket::send(std::span<const std::uint8_t> bytes, const Peer& to) {
    const Result<int> sent = platform::sendFrom(socket_, bytes, to, local_, interfaceIndex_);
    if (!sent.ok()) {
        if (sent.error().code == platform::CodeMessageTooLong) {
            return ownError("EPackageSizeTooBig", "Package Size Too Big.");
        }
        return sent.error();
    }
    if (sent.value() < static_cast<int>(bytes.size())) {
        return ownError("ENotAllBytesSent", "Not all bytes sent.");
    }
    return {};
}

Received UdpSearchSocket::receive(std::span<std::uint8_t> buffer) {
    Received received;
    const Result<platform::ReceivedDatagram> read = platform::receiveFrom(socket_, buffer);
    if (!read.ok()) {
        if (read.error().code != platform::CodeWouldBlock) {
            received.kind = Received::Kind::Failed;
            received.error = read.error();
        }
        return received;
    }
    const platform::ReceivedDatagram& datagram = read.value();
    received.kind = datagram.overlong ? Received::Kind::Overlong : Received::Kind::Read;
    received.size = datagram.size;
    received.from = datagram.from;
    received.interfaceIndex = datagram.interfaceIndex;
    received.dropsBefore = datagram.dropsBefore;
    return received;
}

std::optional<std::uint32_t> UdpSearchSocket::droppedDatagrams() const {
    if (socket_ == platform::NoSocket) {
        return std::nullopt;
    }
    return platform::droppedDatagrams(socket_);
}

}  // namespace nimbrel
