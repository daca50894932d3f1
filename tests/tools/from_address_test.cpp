// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/from_address.h"

namespace nimbrel::tools {
namespace {

const std::vector<platform::LocalInterface> Interfaces{
    {"eth0", {198, 51, 100, 1}, {255, 255, 255, 0}, {198, 51, 100, 255}},
    {"wlan0", {203, 0, 113, 70}, {255, 255, 255, 192}, {203, 0, 113, 127}},
};

std::string refusal(const std::string& text) {
    const Result<Ipv4Bytes> address = parseFromAddress(text, Interfaces);
    if (address.ok()) {
        ADD_FAILURE() << text << " accepted";
        return {};
    }
    return address.error().message;
}

TEST(ParseFromAddress, TakesUnicastAddresses) {
    for (const auto& [text, bytes] : std::vector<std::pair<std::string, Ipv4Bytes>>{
             {"198.51.100.1", {198, 51, 100, 1}},
             {"192.0.2.77", {192, 0, 2, 77}},  // not this computer's: the search says so
             {"10.0.0.0", {10, 0, 0, 0}},
             {"203.0.113.128", {203, 0, 113, 128}},  // past wlan0's subnet
             {"223.255.255.254", {223, 255, 255, 254}},
             {"127.0.0.1", {127, 0, 0, 1}}}) {
        const Result<Ipv4Bytes> address = parseFromAddress(text, Interfaces);
        ASSERT_TRUE(address.ok()) << text << ": " << address.error().message;
        EXPECT_EQ(address.value(), bytes) << text;
    }
}

TEST(ParseFromAddress, RefusesTextThatIsNoAddress) {
    for (const std::string text :
         {"", "1.2.3", "300.1.1.1", "localhost", "1.2.3.4 ", "0x1.2.3.4"}) {
        EXPECT_EQ(refusal(text), "not an IPv4 address: '" + text + "'");
    }
}

TEST(ParseFromAddress, RefusesLeadingZeros) {
    EXPECT_EQ(refusal("001.002.003.004"),
              "001.002.003.004 has leading zeros, which some programs read as octal; write "
              "1.2.3.4");
    EXPECT_EQ(refusal("10.0.00.1"),
              "10.0.00.1 has leading zeros, which some programs read as octal; write 10.0.0.1");
    EXPECT_EQ(refusal("198.51.100.01"),
              "198.51.100.01 has leading zeros, which some programs read as octal; write "
              "198.51.100.1");
}

TEST(ParseFromAddress, RefusesThisNetworkAddresses) {
    for (const std::string text : {"0.0.0.0", "0.1.2.3"}) {
        EXPECT_EQ(refusal(text), text +
                                     " is an address of 0.0.0.0/8 (\"this network\"), not a "
                                     "unicast address of this computer");
    }
}

TEST(ParseFromAddress, RefusesMulticastAddresses) {
    for (const std::string text : {"224.0.0.1", "239.255.255.255", "230.1.2.3"}) {
        EXPECT_EQ(refusal(text),
                  text + " is a multicast address, not a unicast address of this computer");
    }
}

TEST(ParseFromAddress, RefusesReservedAndLimitedBroadcastAddresses) {
    for (const std::string text : {"240.0.0.1", "254.1.1.1", "255.255.255.254"}) {
        EXPECT_EQ(refusal(text), text +
                                     " is a reserved address (240.0.0.0/4), not a unicast "
                                     "address of this computer");
    }
    EXPECT_EQ(refusal("255.255.255.255"),
              "255.255.255.255 is the limited broadcast address, not a unicast address of this "
              "computer");
}

TEST(ParseFromAddress, RefusesTheBroadcastAddressOfAnInterface) {
    EXPECT_EQ(refusal("198.51.100.255"),
              "198.51.100.255 is the broadcast address of eth0, not a unicast address of this "
              "computer");
    EXPECT_EQ(refusal("203.0.113.127"),
              "203.0.113.127 is the broadcast address of wlan0, not a unicast address of this "
              "computer");
    // Without that interface the same address could be a host's.
    EXPECT_TRUE(parseFromAddress("198.51.100.255", {}).ok());
    // Nor is an address refused where no broadcast goes: a point-to-point link, a /32.
    const std::vector<platform::LocalInterface> noBroadcast{
        {"ppp0", {192, 0, 2, 1}, {255, 255, 255, 0}, {192, 0, 2, 255}, false},
        {"tun0", {192, 0, 2, 77}, {255, 255, 255, 255}, {192, 0, 2, 77}, true},
    };
    EXPECT_TRUE(parseFromAddress("192.0.2.255", noBroadcast).ok());
    EXPECT_TRUE(parseFromAddress("192.0.2.77", noBroadcast).ok());
}

}  // namespace
}  // namespace nimbrel::tools
