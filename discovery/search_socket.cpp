// SPDX-License-Identifier: MIT
#include "discovery/search_socket.h"

namespace nimbrel {

UdpSearchSocket::UdpSearchSocket(int receiveBufferBytes)
    : receiveBufferAsked_(receiveBufferBytes) {}

UdpSearchSocket::~UdpSearchSocket() {
    Close();
    if (libraryStarted_) {
        platform::StopSocketLibrary();
    }
}

Result<> UdpSearchSocket::Open() {
    if (!libraryStarted_) {
        if (Result<> started = platform::StartSocketLibrary(); !started.ok()) {
            return started;
        }
        libraryStarted_ = true;
    }
    Close();
    return OpenSocket();
}

void UdpSearchSocket::Close() {
    if (socket_ != platform::NoSocket) {
        platform::CloseSocket(socket_);
        socket_ = platform::NoSocket;
    }
    bound_ = {};
    receiveBufferGranted_ = 0;
}

Result<> UdpSearchSocket::OpenSocket() {
    const Result<platform::SocketHandle> socket = platform::OpenDatagramSocket();
    if (!socket.ok()) {
        return OwnError("ESocketAllocation", "Cannot allocate socket.");
    }
    socket_ = socket.value();
    if (Result<> enabled = platform::EnableBroadcast(socket_); !enabled.ok()) {
        return enabled;
    }
    if (Result<> set = platform::SetNonBlocking(socket_); !set.ok()) {
        return set;
    }
    // Both are wishes: a search without them still finds what it reads, and a smaller buffer
    // shows in ReceiveBufferBytes, lost replies where the system counts them.
    const Result<int> granted = platform::SetReceiveBuffer(socket_, receiveBufferAsked_);
    receiveBufferGranted_ = granted.ok() ? granted.value() : 0;
    static_cast<void>(platform::EnableArrivalDetails(socket_));
    return {};
}

Result<> UdpSearchSocket::Reopen(const Ipv4Bytes& local, unsigned interfaceIndex) {
    if (Result<> opened = Open(); !opened.ok()) {
        return opened;
    }
    local_ = local;
    interfaceIndex_ = interfaceIndex;
    if (Result<> bound = platform::BindForSearch(socket_, local, interfaceIndex); !bound.ok()) {
        if (bound.error().code == platform::CodeAddressInUse) {
            return OwnError("ECouldNotBind",
                            "Could not bind socket. Address and port are already in use.");
        }
        return bound;
    }
    Result<Peer> name = platform::LocalName(socket_);
    if (!name.ok()) {
        return name.error();
    }
    bound_ = name.value();
    return {};
}

Result<> UdpSearchSocket::Send(std::span<const std::uint8_t> bytes, const Peer& to) {
    const Result<int> sent = platform::SendFrom(socket_, bytes, to, local_, interfaceIndex_);
    if (!sent.ok()) {
        if (sent.error().code == platform::CodeMessageTooLong) {
            return OwnError("EPackageSizeTooBig", "Package Size Too Big.");
        }
        return sent.error();
    }
    if (sent.value() < static_cast<int>(bytes.size())) {
        return OwnError("ENotAllBytesSent", "Not all bytes sent.");
    }
    return {};
}

Received UdpSearchSocket::Receive(std::span<std::uint8_t> buffer) {
    Received received;
    const Result<platform::ReceivedDatagram> read = platform::ReceiveFrom(socket_, buffer);
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

std::optional<std::uint32_t> UdpSearchSocket::DroppedDatagrams() const {
    if (socket_ == platform::NoSocket) {
        return std::nullopt;
    }
    return platform::DroppedDatagrams(socket_);
}

}  // namespace nimbrel
