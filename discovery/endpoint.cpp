#include "discovery/endpoint.h"

#include <algorithm>
#include <charconv>

#include "discovery/failure.h"

namespace nimbrel {

namespace {

constexpr int CodeAddressInUse = 10048;
constexpr int CodeMessageTooLong = 10040;
constexpr int CodeInvalidArgument = 10022;

}  // namespace

Ipv4Bytes ParseIpv4(const std::string& text) {
    Ipv4Bytes address{};
    const char* position = text.data();
    const char* const end = text.data() + text.size();
    for (std::size_t i = 0; i < address.size(); ++i) {
        if (i != 0) {
            if (position == end || *position != '.') {
                throw SocketError(CodeInvalidArgument);
            }
            ++position;
        }
        unsigned value = 0;
        const auto [next, error] = std::from_chars(position, end, value);
        if (error != std::errc{} || next == position || next - position > 3 || value > 255) {
            throw SocketError(CodeInvalidArgument);
        }
        address[i] = static_cast<std::uint8_t>(value);
        position = next;
    }
    if (position != end) {
        throw SocketError(CodeInvalidArgument);
    }
    return address;
}

UdpEndpoint::UdpEndpoint(EndpointSettings settings)
    : settings_(std::move(settings)), target_{ParseIpv4(settings_.host), settings_.port} {
    if (const int error = platform::StartSocketLibrary(); error != 0) {
        throw SocketError(error);
    }
    try {
        OpenEndpoint();
    } catch (...) {
        // No destructor runs for an object whose construction failed.
        CloseEndpoint();
        platform::StopSocketLibrary();
        throw;
    }
}

UdpEndpoint::~UdpEndpoint() {
    CloseEndpoint();
    platform::StopSocketLibrary();
}

void UdpEndpoint::CloseEndpoint() {
    if (socket_ != platform::NoSocket) {
        platform::CloseSocket(socket_);
        socket_ = platform::NoSocket;
    }
    bound_ = {};
}

void UdpEndpoint::OpenEndpoint() {
    int error = 0;
    const platform::SocketHandle socket = platform::OpenDatagramSocket(error);
    if (socket == platform::NoSocket) {
        throw Failure("ESocketAllocation", "Cannot allocate socket.");
    }
    socket_ = socket;
    if (const int code = platform::EnableBroadcast(socket_); code != 0) {
        throw SocketError(code);
    }
}

void UdpEndpoint::BindEndpoint() {
    const platform::Peer local{localAddress_.empty() ? Ipv4Bytes{} : ParseIpv4(localAddress_), 0};
    if (const int code = platform::BindSocket(socket_, local); code != 0) {
        if (code == CodeAddressInUse) {
            throw Failure("ECouldNotBind",
                          "Could not bind socket. Address and port are already in use.");
        }
        throw SocketError(code);
    }
    if (const int code = platform::LocalName(socket_, bound_); code != 0) {
        throw SocketError(code);
    }
}

void UdpEndpoint::SendDatagram(std::span<const std::uint8_t> bytes) {
    int sent = 0;
    if (const int code = platform::SendTo(socket_, bytes, target_, sent); code != 0) {
        if (code == CodeMessageTooLong) {
            throw Failure("EPackageSizeTooBig", "Package Size Too Big.");
        }
        throw SocketError(code);
    }
    if (sent < static_cast<int>(bytes.size())) {
        throw Failure("ENotAllBytesSent", "Not all bytes sent.");
    }
}

bool UdpEndpoint::SlicedWait(long long milliseconds, const EventPass& eventPass) {
    // A wait longer than one slice is cut into slices from its end: the odd remainder comes
    // first, then whole slices, with an event pass after each slice that found nothing.
    const long long slice =
        settings_.idleSlice.count() > 0 ? settings_.idleSlice.count() : milliseconds;
    long long next = milliseconds > slice && milliseconds % slice != 0
                         ? milliseconds % slice
                         : std::min(milliseconds, slice);
    for (long long left = milliseconds;;) {
        if (platform::WaitReadable(socket_, static_cast<int>(next))) {
            return true;
        }
        if (eventPass) {
            eventPass();
        }
        left -= next;
        if (left <= 0) {
            return false;
        }
        next = slice;
    }
}

int UdpEndpoint::ReceiveDatagram(ReceiveBuffer& buffer, const EventPass& eventPass) {
    if (!SlicedWait(settings_.receiveTimeout.count(), eventPass)) {
        return 0;
    }
    int received = 0;
    if (const int code = platform::ReceiveFrom(socket_, buffer, received, nullptr); code != 0) {
        throw SocketError(code);
    }
    return received;
}

}  // namespace nimbrel
