// SPDX-License-Identifier: MIT
#include "tools/device_options.h"

#include <charconv>
#include <set>
#include <string>
#include <utility>

#include "discovery/wire.h"
#include "tools/option_reading.h"

namespace nimbrel::tools {

namespace {

constexpr std::size_t TextCapacity = 64;

// Two hexadecimal digits at `at`.
std::optional<std::uint8_t> hexByte(std::string_view text, std::size_t at) {
    if (at + 2 > text.size()) {
        return std::nullopt;
    }
    std::uint8_t byte = 0;
    const char* const end = text.data() + at + 2;
    const auto [next, failure] = std::from_chars(text.data() + at, end, byte, 16);
    if (failure != std::errc{} || next != end) {
        return std::nullopt;
    }
    return byte;
}

// Stores a value read by `parse` in `field`, or hands its Error on.
template <typename T, typename Parse>
Result<> store(Parse parse, std::string_view value, T& field) {
    Result<T> read = parse(value);
    if (!read.ok()) {
        return read.error();
    }
    field = std::move(read).value();
    return {};
}

Result<> storeText(std::string_view value, std::string& field) {
    if (value.size() > TextCapacity) {
        return refusal("a device text holds at most 64 bytes", value);
    }
    field = std::string(value);
    return {};
}

// Applies one key=value pair to `option`.
Result<> applyKey(std::string_view key, std::string_view value, DeviceOption& option) {
    DeviceSpec& device = option.device;
    if (key == "model") {
        return storeText(value, device.model);
    }
    if (key == "firmware") {
        return storeText(value, device.firmware);
    }
    if (key == "copy") {
        return storeText(value, device.copy);
    }
    if (key == "ipv4") {
        return store<Ipv4Bytes>(parseAddress, value, device.ipv4);
    }
    if (key == "mac") {
        return store<MacBytes>(parseMac, value, device.mac);
    }
    if (key == "delay") {
        std::chrono::milliseconds delay{};
        const Result<> stored = store<std::chrono::milliseconds>(parseDelay, value, delay);
        if (stored.ok()) {
            option.delay = delay;
        }
        return stored;
    }
    return refusal("unknown device key (model, ipv4, mac, firmware, copy, delay)", key);
}

}  // namespace

Result<Ipv4Bytes> parseAddress(std::string_view text) {
    const std::optional<Ipv4Bytes> address = parseIpv4(text);
    if (!address) {
        return refusal("not an IPv4 address", text);
    }
    return *address;
}

Result<MacBytes> parseMac(std::string_view text) {
    constexpr std::string_view Shape = "not a MAC address (XX-XX-XX-XX-XX-XX)";
    MacBytes mac{};
    if (text.size() != 17) {
        return refusal(Shape, text);
    }
    for (std::size_t i = 0; i < mac.size(); ++i) {
        const std::size_t at = i * 3;
        const bool joined = i == 0 || text[at - 1] == '-' || text[at - 1] == ':';
        const std::optional<std::uint8_t> byte = hexByte(text, at);
        if (!joined || !byte) {
            return refusal(Shape, text);
        }
        mac[i] = *byte;
    }
    return mac;
}

Result<std::vector<std::uint8_t>> parseHex(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t at = 0; at < text.size();) {
        if (text[at] == ' ' || text[at] == '\t') {
            ++at;
            continue;
        }
        const std::optional<std::uint8_t> byte = hexByte(text, at);
        if (!byte) {
            return refusal("not pairs of hexadecimal digits", text);
        }
        bytes.push_back(*byte);
        at += 2;
    }
    return bytes;
}

Result<Peer> parseListen(std::string_view text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) {
        return refusal("not ADDRESS:PORT", text);
    }
    const Result<Ipv4Bytes> address = parseAddress(text.substr(0, colon));
    if (!address.ok()) {
        return address.error();
    }
    const std::string_view port = text.substr(colon + 1);
    const std::optional<long long> number = wholeNumber(port, 0, 65535);
    if (!number) {
        return refusal("not a port number 0 to 65535", port);
    }
    return Peer{address.value(), static_cast<std::uint16_t>(*number)};
}

Result<std::chrono::milliseconds> parseDelay(std::string_view text) {
    constexpr long long Day = 24LL * 60 * 60 * 1000;
    const std::optional<long long> number = wholeNumber(text, 0, Day);
    if (!number) {
        return refusal("not a delay in milliseconds", text);
    }
    return std::chrono::milliseconds{*number};
}

Result<int> parseCount(std::string_view text) {
    const std::optional<long long> number = wholeNumber(text, 1, 1'000'000'000);
    if (!number) {
        return refusal("not a positive count", text);
    }
    return static_cast<int>(*number);
}

Result<DeviceOption> parseDeviceOption(std::string_view text) {
    const std::string_view original = text;
    DeviceOption option;
    std::set<std::string, std::less<>> seen;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view pair = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);

        const std::size_t equals = pair.find('=');
        if (equals == std::string_view::npos) {
            return refusal("not key=value", pair);
        }
        const std::string_view key = pair.substr(0, equals);
        if (!seen.emplace(key).second) {
            return refusal("key given twice", key);
        }
        if (const Result<> applied = applyKey(key, pair.substr(equals + 1), option);
            !applied.ok()) {
            return applied.error();
        }
    }
    // A longer reply would make every search that receives it fail with "Message too long.";
    // whoever wants that gives the bytes with --reply-hex.
    if (const Result<std::vector<std::uint8_t>> reply = buildReply(option.device);
        !reply.ok() || reply.value().size() > MaxDatagramSize) {
        return refusal(
            "the texts together make the reply longer than the 201 bytes that the utility reads",
            original);
    }
    return option;
}

}  // namespace nimbrel::tools
