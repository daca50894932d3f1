// SPDX-License-Identifier: MIT
#include "tools/device_options.h"

#include <charconv>
#include <set>
#include <stdexcept>
#include <string>

#include "discovery/wire.h"

namespace nimbrel::tools {

namespace {

[[noreturn]] void Refuse(std::string_view what, std::string_view text) {
    throw std::invalid_argument(std::string(what) + ": '" + std::string(text) + "'");
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool ReadHexByte(std::string_view text, std::size_t at, std::uint8_t& byte) {
    if (at + 1 >= text.size()) {
        return false;
    }
    const int high = HexValue(text[at]);
    const int low = HexValue(text[at + 1]);
    if (high < 0 || low < 0) {
        return false;
    }
    byte = static_cast<std::uint8_t>(high * 16 + low);
    return true;
}

long long ParseNumber(std::string_view text, long long low, long long high, std::string_view what) {
    long long value = 0;
    const char* const end = text.data() + text.size();
    const auto [next, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || next != end || value < low || value > high) {
        Refuse(what, text);
    }
    return value;
}

}  // namespace

Ipv4Bytes ParseAddress(std::string_view text) {
    const std::optional<Ipv4Bytes> address = ParseIpv4(text);
    if (!address) {
        Refuse("not an IPv4 address", text);
    }
    return *address;
}

MacBytes ParseMac(std::string_view text) {
    constexpr std::string_view Shape = "not a MAC address (XX-XX-XX-XX-XX-XX)";
    MacBytes mac{};
    if (text.size() != 17) {
        Refuse(Shape, text);
    }
    for (std::size_t i = 0; i < mac.size(); ++i) {
        const std::size_t at = i * 3;
        const bool joined = i == 0 || text[at - 1] == '-' || text[at - 1] == ':';
        if (!joined || !ReadHexByte(text, at, mac[i])) {
            Refuse(Shape, text);
        }
    }
    return mac;
}

std::vector<std::uint8_t> ParseHex(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t at = 0; at < text.size();) {
        if (text[at] == ' ' || text[at] == '\t') {
            ++at;
            continue;
        }
        std::uint8_t byte = 0;
        if (!ReadHexByte(text, at, byte)) {
            Refuse("not pairs of hexadecimal digits", text);
        }
        bytes.push_back(byte);
        at += 2;
    }
    return bytes;
}

Peer ParseListen(std::string_view text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) {
        Refuse("not ADDRESS:PORT", text);
    }
    Peer peer;
    peer.address = ParseAddress(text.substr(0, colon));
    peer.port = static_cast<std::uint16_t>(
        ParseNumber(text.substr(colon + 1), 0, 65535, "not a port number 0 to 65535"));
    return peer;
}

std::chrono::milliseconds ParseDelay(std::string_view text) {
    constexpr long long Day = 24LL * 60 * 60 * 1000;
    return std::chrono::milliseconds{ParseNumber(text, 0, Day, "not a delay in milliseconds")};
}

int ParseCount(std::string_view text) {
    return static_cast<int>(ParseNumber(text, 1, 1'000'000'000, "not a positive count"));
}

DeviceOption ParseDeviceOption(std::string_view text) {
    const std::string_view original = text;
    DeviceOption option;
    std::set<std::string, std::less<>> seen;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view pair = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);

        const std::size_t equals = pair.find('=');
        if (equals == std::string_view::npos) {
            Refuse("not key=value", pair);
        }
        const std::string_view key = pair.substr(0, equals);
        const std::string_view value = pair.substr(equals + 1);
        if (!seen.emplace(key).second) {
            Refuse("key given twice", key);
        }
        if (key == "model" || key == "firmware" || key == "copy") {
            if (value.size() > 64) {
                Refuse("a device text holds at most 64 bytes", value);
            }
            std::string& field = key == "model"      ? option.device.model
                                 : key == "firmware" ? option.device.firmware
                                                     : option.device.copy;
            field = std::string(value);
        } else if (key == "ipv4") {
            option.device.ipv4 = ParseAddress(value);
        } else if (key == "mac") {
            option.device.mac = ParseMac(value);
        } else if (key == "delay") {
            option.delay = ParseDelay(value);
        } else {
            Refuse("unknown device key (model, ipv4, mac, firmware, copy, delay)", key);
        }
    }
    // A longer reply would make every search that receives it fail with "Message too long.";
    // whoever wants that gives the bytes with --reply-hex.
    if (BuildReply(option.device).size() > MaxDatagramSize) {
        Refuse("the texts together make the reply longer than the 201 bytes that the utility reads",
               original);
    }
    return option;
}

}  // namespace nimbrel::tools
