// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <utility>
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
    // An interface's broadcast address (refused below) could be a host's without that
    // interface, and so could an address where no broadcast goes: a point-to-point link, a /32.
    EXPECT_TRUE(parseFromAddress("198.51.100.255", {}).ok());
    const std::vector<platform::LocalInterface> noBroadcast{
        {"ppp0", {192, 0, 2, 1}, {255, 255, 255, 0}, {192, 0, 2, 255}, false},
        {"tun0", {192, 0, 2, 77}, {255, 255, 255, 255}, {192, 0, 2, 77}, true},
    };
    EXPECT_TRUE(parseFromAddress("192.0.2.255", noBroadcast).ok());
    EXPECT_TRUE(parseFromAddress("192.0.2.77", noBroadcast).ok());
}

TEST(ParseFromAddress, RefusesTextThatIsNoAddress) {
    for (const std::string text :
         {"", "1.2.3", "300.1.1.1", "localhost", "1.2.3.4 ", "0x1.2.3.4"}) {
        EXPECT_EQ(refusal(text), "not an IPv4 address: '" + text + "'");
    }
}

TEST(ParseFromAddress, RefusesLeadingZerosAndAddressesThatAreNoUnicastAddressOfThisComputer) {
    const std::string octal = " has leading zeros, which some programs read as octal; write ";
    const std::string notOurs = ", not a unicast address of this computer";
    const std::string thisNetwork = " is an address of 0.0.0.0/8 (\"this network\")" + notOurs;
    const std::string multicast = " is a multicast address" + notOurs;
    const std::string reserved = " is a reserved address (240.0.0.0/4)" + notOurs;
    for (const auto& [text, reason] : std::vector<std::pair<std::string, std::string>>{
             {"001.002.003.004", octal + "1.2.3.4"},
             {"10.0.00.1", octal + "10.0.0.1"},
             {"198.51.100.01", octal + "198.51.100.1"},
             {"0.0.0.0", thisNetwork},
             {"0.1.2.3", thisNetwork},
             {"224.0.0.1", multicast},
             {"239.255.255.255", multicast},
             {"230.1.2.3", multicast},
             {"240.0.0.1", reserved},
             {"254.1.1.1", reserved},
             {"255.255.255.254", reserved},
             {"255.255.255.255", " is the limited broadcast address" + notOurs},
             {"198.51.100.255", " is the broadcast address of eth0" + notOurs},
             {"203.0.113.127", " is the broadcast address of wlan0" + notOurs}}) {
        EXPECT_EQ(refusal(text), text + reason);
    }
}

}  // namespace
}  // namespace nimbrel::tools
