// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/device_options.h"

namespace nimbrel::tools {
namespace {

using std::chrono::milliseconds;
using Bytes = std::vector<std::uint8_t>;

/// Runs `parse` on `text` and expects it to refuse the text with a message that names what was
/// wrong and quotes the offending text.
template <typename Parse>
void expectRefused(Parse parse, std::string_view text, std::string_view reason,
                   std::string_view quoted) {
    SCOPED_TRACE("'" + std::string(text) + "'");
    const auto result = parse(text);
    ASSERT_FALSE(result.ok()) << "accepted";
    const std::string& message = result.error().message;
    EXPECT_NE(message.find(reason), std::string::npos) << message;
    EXPECT_NE(message.find("'" + std::string(quoted) + "'"), std::string::npos) << message;
}

template <typename Parse>
void expectRefused(Parse parse, std::string_view text, std::string_view reason) {
    expectRefused(parse, text, reason, text);
}

// The forms of an address that are taken and refused: ParseIpv4 in local_address_test.cpp.
TEST(ParseAddress, ReadsAnIpv4AddressAndQuotesTextThatIsNone) {
    EXPECT_EQ(parseAddress("198.51.100.2").value(), (Ipv4Bytes{198, 51, 100, 2}));
    expectRefused(parseAddress, "1.2.3.4/24", "not an IPv4 address");
}

TEST(ParseMac, ReadsSixHexPairsJoinedByDashesOrColons) {
    const MacBytes expected{0x00, 0x1A, 0x2b, 0xC3, 0xd4, 0xFF};
    EXPECT_EQ(parseMac("00-1A-2B-C3-D4-FF").value(), expected);
    EXPECT_EQ(parseMac("00:1a:2b:c3:d4:ff").value(), expected);
    for (const std::string_view bad :
         {"", "00-1A-2B-C3-D4", "00-1A-2B-C3-D4-FF-00", "00-1A-2B-C3-D4-F", "00-1A-2B-C3-D4-FFF",
          "001A2BC3D4FF", "00.1A.2B.C3.D4.FF", "00-1A-2B-C3-D4-GG", "0-01A-2B-C3-D4-FF",
          "00 1A 2B C3 D4 FF", "+0-1A-2B-C3-D4-FF"}) {
        expectRefused(parseMac, bad, "not a MAC address");
    }
}

TEST(ParseHex, ReadsPairsWithBlanksBetweenThem) {
    EXPECT_EQ(parseHex("").value(), Bytes{});
    EXPECT_EQ(parseHex("01000000").value(), (Bytes{0x01, 0x00, 0x00, 0x00}));
    EXPECT_EQ(parseHex("01 00\t0a FF ").value(), (Bytes{0x01, 0x00, 0x0A, 0xFF}));
    for (const std::string_view bad : {"1", "010", "0 1", "0g", "zz", "01-02", "0x01", "01,02"}) {
        expectRefused(parseHex, bad, "not pairs of hexadecimal digits");
    }
}

TEST(ParseListen, ReadsAddressAndPort) {
    const Peer peer = parseListen("127.0.0.1:10001").value();
    EXPECT_EQ(peer.address, (Ipv4Bytes{127, 0, 0, 1}));
    EXPECT_EQ(peer.port, 10001);
    EXPECT_EQ(parseListen("0.0.0.0:0").value().port, 0);  // the system chooses
    EXPECT_EQ(parseListen("0.0.0.0:65535").value().port, 65535);

    expectRefused(parseListen, "127.0.0.1", "not ADDRESS:PORT");
    expectRefused(parseListen, ":10001", "not an IPv4 address", "");
    expectRefused(parseListen, "localhost:10001", "not an IPv4 address", "localhost");
    for (const std::string_view port : {"", "65536", "-1", "10001x", "1e3"}) {
        expectRefused(parseListen, "127.0.0.1:" + std::string(port), "not a port number", port);
    }
}

TEST(ParseDelay, ReadsMillisecondsUpToOneDay) {
    EXPECT_EQ(parseDelay("0").value(), milliseconds{0});
    EXPECT_EQ(parseDelay("250").value(), milliseconds{250});
    EXPECT_EQ(parseDelay("86400000").value(), milliseconds{86'400'000});
    for (const std::string_view bad :
         {"", "-1", "86400001", "1.5", "10ms", " 5", "99999999999999999999"}) {
        expectRefused(parseDelay, bad, "not a delay in milliseconds");
    }
}

TEST(ParseCount, ReadsPositiveNumbers) {
    EXPECT_EQ(parseCount("1").value(), 1);
    EXPECT_EQ(parseCount("12").value(), 12);
    for (const std::string_view bad : {"", "0", "-3", "two", "3 "}) {
        expectRefused(parseCount, bad, "not a positive count");
    }
}

TEST(ParseDeviceOption, ReadsEveryKeyInAnyOrder) {
    const DeviceOption option =
        parseDeviceOption(
            "copy=C:\\x=1 \"q\",mac=0a:1b:2c:3d:4e:5f,delay=120,firmware=2.0 \xe9,"
            "ipv4=198.51.100.20,model=QZL-BR5")
            .value();
    EXPECT_EQ(option.device.model, "QZL-BR5");
    EXPECT_EQ(option.device.ipv4, (Ipv4Bytes{198, 51, 100, 20}));
    EXPECT_EQ(option.device.mac, (MacBytes{0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}));
    EXPECT_EQ(option.device.firmware, "2.0 \xe9");   // texts are taken byte for byte
    EXPECT_EQ(option.device.copy, "C:\\x=1 \"q\"");  // only the first '=' separates
    EXPECT_EQ(option.delay, milliseconds{120});
}

TEST(ParseDeviceOption, LeavesKeysNotGivenEmpty) {
    const DeviceOption option = parseDeviceOption("model=AP").value();
    EXPECT_EQ(option.device.model, "AP");
    EXPECT_EQ(option.device.ipv4, (Ipv4Bytes{}));
    EXPECT_EQ(option.device.mac, (MacBytes{}));
    EXPECT_EQ(option.device.firmware, "");
    EXPECT_EQ(option.device.copy, "");
    EXPECT_FALSE(option.delay.has_value());  // the replies' --delay then applies

    EXPECT_EQ(parseDeviceOption("model=,copy=").value().device.model, "");
}

TEST(ParseDeviceOption, TakesTextsOfUpTo64Bytes) {
    const std::string longest(64, 'x');
    for (const std::string key : {"model", "firmware", "copy"}) {
        SCOPED_TRACE(key);
        const DeviceOption option = parseDeviceOption(key + "=" + longest).value();
        EXPECT_EQ(
            option.device.model.size() + option.device.firmware.size() + option.device.copy.size(),
            64u);
        expectRefused(parseDeviceOption, key + "=" + longest + "y",
                      "a device text holds at most 64 bytes", longest + "y");
    }
}

TEST(ParseDeviceOption, RefusesTextsThatMakeTheReplyTooLongToRead) {
    // 26 bytes of head and address element leave 175 for the three texts.
    const std::string fits = "model=" + std::string(64, 'm') + ",firmware=" + std::string(64, 'f') +
                             ",copy=" + std::string(47, 'c');
    EXPECT_EQ(buildReply(parseDeviceOption(fits).value().device).value().size(), 201u);
    expectRefused(parseDeviceOption, fits + "c", "longer than the 201 bytes", fits + "c");
}

TEST(ParseDeviceOption, RefusesBadValuesAndKeys) {
    expectRefused(parseDeviceOption, "model=AP,ipv4=10.0.0.256", "not an IPv4 address",
                  "10.0.0.256");
    expectRefused(parseDeviceOption, "ipv4=", "not an IPv4 address", "");
    expectRefused(parseDeviceOption, "mac=00-11-22-33-44", "not a MAC address (XX-XX-XX-XX-XX-XX)",
                  "00-11-22-33-44");
    expectRefused(parseDeviceOption, "delay=-5", "not a delay in milliseconds", "-5");
    expectRefused(parseDeviceOption, "model=AP,name=x", "unknown device key", "name");
    expectRefused(parseDeviceOption, "Model=AP", "unknown device key", "Model");
    expectRefused(parseDeviceOption, "=AP", "unknown device key", "");
    expectRefused(parseDeviceOption, "model=AP,model=BR", "key given twice", "model");
    expectRefused(parseDeviceOption, "model", "not key=value", "model");
    expectRefused(parseDeviceOption, "model=AP,,copy=x", "not key=value", "");
    // A ',' cannot stand in a text: what follows it is read as the next pair.
    expectRefused(parseDeviceOption, "copy=a,b", "not key=value", "b");
}

}  // namespace
}  // namespace nimbrel::tools
