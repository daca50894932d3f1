// SPDX-License-Identifier: MIT
#include "discovery/search_socket.h"

namespace nimbrel {

UdpSearchSocket::UdpSearchSocket() = default;

UdpSearchSocket::~UdpSearchSocket() {
    Close();
    if (libraryStarted_) {
        platform::StopSocketLibrary();
    }
}

Result<> UdpSearchSocket::Open() {
    if (!libraryStarted_) {
        if (const int code = platform::StartSocketLibrary(); code != 0) {
            return SocketError(code);
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
}

Result<> UdpSearchSocket::OpenSocket() {
    int error = 0;
    const platform::SocketHandle socket = platform::OpenDatagramSocket(error);
    if (socket == platform::NoSocket) {
        return OwnError("ESocketAllocation", "Cannot allocate socket.");
    }
    socket_ = socket;
    if (const int code = platform::EnableBroadcast(socket_); code != 0) {
        return SocketError(code);
    }
    if (const int code = platform::SetNonBlocking(socket_); code != 0) {
        return SocketError(code);
    }
    return {};
}

Result<> UdpSearchSocket::Reopen(const Ipv4Bytes& local) {
    if (Result<> opened = Open(); !opened.ok()) {
        return opened;
    }
    local_ = local;
    if (const int code = platform::BindForSearch(socket_, local); code != 0) {
        if (code == platform::CodeAddressInUse) {
            return OwnError("ECouldNotBind",
                            "Could not bind socket. Address and port are already in use.");
        }
        return SocketError(code);
    }
    if (const int code = platform::LocalName(socket_, bound_); code != 0) {
        return SocketError(code);
    }
    return {};
}

Result<> UdpSearchSocket::Send(std::span<const std::uint8_t> bytes, const Peer& to) {
    int sent = 0;
    if (const int code = platform::SendFrom(socket_, bytes, to, local_, sent); code != 0) {
        if (code == platform::CodeMessageTooLong) {
            return OwnError("EPackageSizeTooBig", "Package Size Too Big.");
        }
        return SocketError(code);
    }
    if (sent < static_cast<int>(bytes.size())) {
        return OwnError("ENotAllBytesSent", "Not all bytes sent.");
    }
    return {};
}

Received UdpSearchSocket::Receive(std::span<std::uint8_t> buffer) {
    Received received;
    const int code = platform::ReceiveFrom(socket_, buffer, received.size, &received.from);
    if (code == 0) {
        received.kind = Received::Kind::Read;
    } else if (code == platform::CodeWouldBlock) {
        received.kind = Received::Kind::Nothing;
    } else if (code == platform::CodeMessageTooLong) {
        received.kind = Received::Kind::Overlong;
    } else {
        received.kind = Received::Kind::Failed;
        received.error = SocketError(code);
    }
    return received;
}

}  // namespace nimbrel
