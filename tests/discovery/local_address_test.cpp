// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "discovery/address.h"
#include "discovery/local_address.h"

namespace nimbrel {
namespace {

using List = std::optional<std::vector<Ipv4Bytes>>;

TEST(ChooseLocalAddress, KeepsTheLastAddressOutsideLoopback) {
    EXPECT_EQ(chooseLocalAddress(List{{{192, 168, 1, 5}}}), (Ipv4Bytes{192, 168, 1, 5}));
    EXPECT_EQ(chooseLocalAddress(List{{{192, 168, 1, 5}, {10, 0, 0, 9}}}),
              (Ipv4Bytes{10, 0, 0, 9}));
    EXPECT_EQ(chooseLocalAddress(List{{{10, 0, 0, 9}, {127, 0, 1, 1}}}), (Ipv4Bytes{10, 0, 0, 9}));
    EXPECT_EQ(chooseLocalAddress(List{{{127, 0, 1, 1}, {172, 16, 0, 1}, {127, 255, 0, 1}}}),
              (Ipv4Bytes{172, 16, 0, 1}));
    // 128.x and 126.x are not loopback.
    EXPECT_EQ(chooseLocalAddress(List{{{126, 0, 0, 1}, {128, 0, 0, 1}}}),
              (Ipv4Bytes{128, 0, 0, 1}));
}

TEST(ChooseLocalAddress, FallsBackToAnyAddressOrReportsAFailedLookUp) {
    EXPECT_EQ(chooseLocalAddress(List{{{127, 0, 1, 1}}}), Ipv4Bytes{});
    EXPECT_EQ(chooseLocalAddress(List{{{127, 0, 0, 1}, {127, 0, 1, 1}}}), Ipv4Bytes{});
    EXPECT_EQ(chooseLocalAddress(List{std::vector<Ipv4Bytes>{}}), Ipv4Bytes{});
    EXPECT_EQ(chooseLocalAddress(std::nullopt), std::nullopt);
}

TEST(ParseIpv4, ReadsFourDecimalNumbers) {
    EXPECT_EQ(parseIpv4("0.0.0.0"), Ipv4Bytes{});
    EXPECT_EQ(parseIpv4("255.255.255.255"), (Ipv4Bytes{255, 255, 255, 255}));
    EXPECT_EQ(parseIpv4("10.1.20.254"), (Ipv4Bytes{10, 1, 20, 254}));
    EXPECT_EQ(parseIpv4("127.0.0.1"), (Ipv4Bytes{127, 0, 0, 1}));
}

TEST(ParseIpv4, RejectsAnythingElse) {
    for (const char* text : {"", "1.2.3", "1.2.3.4.", "1.2.3.4.5", "256.1.1.1", "1.2.3.256",
                             "1..2.3", ".1.2.3", "a.b.c.d", " 1.2.3.4", "1.2.3.4 ", "-1.2.3.4",
                             "+1.2.3.4", "1.2.3.0004", "1,2,3,4", "localhost", "0x7f.0.0.1"}) {
        EXPECT_EQ(parseIpv4(text), std::nullopt) << text;
    }
}

TEST(Formats, PrintAddressesAsTheProgramShowsThem) {
    EXPECT_EQ(formatIpv4({10, 0, 200, 7}), "10.0.200.7");
    EXPECT_EQ(formatPeer({{198, 51, 100, 2}, 10001}), "198.51.100.2:10001");
    EXPECT_EQ(formatMac({0x00, 0x0A, 0xB0, 0xC1, 0xD2, 0xFF}), "00-0A-B0-C1-D2-FF");
}

}  // namespace
}  // namespace nimbrel
