// The UDP endpoint of the search: one socket at a time, reopened for every search.
#pragma once

#include <chrono>
#include <functional>
#include <span>
#include <string>

#include "discovery/socket_platform.h"
#include "discovery/wire.h"

namespace nimbrel {

struct EndpointSettings {
    std::string host = DiscoveryHost;  // a dotted address, never looked up by name
    std::uint16_t port = DiscoveryPort;
    std::chrono::milliseconds receiveTimeout{1500};
    std::chrono::milliseconds idleSlice{250};  // longest wait between two event passes
};

/// Opens its first socket, unbound and with broadcast permission, when it is constructed.
class UdpEndpoint {
public:
    using EventPass = std::function<void()>;

    explicit UdpEndpoint(EndpointSettings settings = {});
    ~UdpEndpoint();
    UdpEndpoint(const UdpEndpoint&) = delete;
    UdpEndpoint& operator=(const UdpEndpoint&) = delete;

    void CloseEndpoint();
    void OpenEndpoint();
    void SetLocalAddress(std::string address) { localAddress_ = std::move(address); }
    void BindEndpoint();
    void SendDatagram(std::span<const std::uint8_t> bytes);

    /// Waits up to the receive time-out in idle slices, running `eventPass` after each slice
    /// that ended without a datagram; returns the datagram's length, or 0 when none came.
    int ReceiveDatagram(ReceiveBuffer& buffer, const EventPass& eventPass);

    bool IsOpen() const { return socket_ != platform::NoSocket; }
    const platform::Peer& Bound() const { return bound_; }
    const EndpointSettings& Settings() const { return settings_; }

private:
    bool SlicedWait(long long milliseconds, const EventPass& eventPass);

    EndpointSettings settings_;
    platform::Peer target_;
    platform::SocketHandle socket_ = platform::NoSocket;
    std::string localAddress_;
    platform::Peer bound_;
};

/// Reads "a.b.c.d" (four decimal numbers 0 to 255); throws SocketError 10022 otherwise.
Ipv4Bytes ParseIpv4(const std::string& text);

}  // namespace nimbrel
