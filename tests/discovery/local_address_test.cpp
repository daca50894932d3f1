#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "discovery/endpoint.h"
#include "discovery/failure.h"
#include "discovery/search_cycle.h"

namespace nimbrel {
namespace {

using List = std::optional<std::vector<Ipv4Bytes>>;

TEST(ChooseLocalAddress, KeepsTheLastAddressOutsideLoopback) {
    EXPECT_EQ(ChooseLocalAddress(List{{{192, 168, 1, 5}}}), "192.168.1.5");
    EXPECT_EQ(ChooseLocalAddress(List{{{192, 168, 1, 5}, {10, 0, 0, 9}}}), "10.0.0.9");
    EXPECT_EQ(ChooseLocalAddress(List{{{10, 0, 0, 9}, {127, 0, 1, 1}}}), "10.0.0.9");
    EXPECT_EQ(ChooseLocalAddress(List{{{127, 0, 1, 1}, {172, 16, 0, 1}, {127, 255, 0, 1}}}),
              "172.16.0.1");
    // 128.x and 126.x are not loopback.
    EXPECT_EQ(ChooseLocalAddress(List{{{126, 0, 0, 1}, {128, 0, 0, 1}}}), "128.0.0.1");
}

TEST(ChooseLocalAddress, FallsBackToAnyAddressOrReportsAFailedLookUp) {
    EXPECT_EQ(ChooseLocalAddress(List{{{127, 0, 1, 1}}}), "");
    EXPECT_EQ(ChooseLocalAddress(List{{{127, 0, 0, 1}, {127, 0, 1, 1}}}), "");
    EXPECT_EQ(ChooseLocalAddress(List{std::vector<Ipv4Bytes>{}}), "");
    EXPECT_EQ(ChooseLocalAddress(std::nullopt), std::nullopt);
}

TEST(ParseIpv4, ReadsFourDecimalNumbers) {
    EXPECT_EQ(ParseIpv4("0.0.0.0"), Ipv4Bytes{});
    EXPECT_EQ(ParseIpv4("255.255.255.255"), (Ipv4Bytes{255, 255, 255, 255}));
    EXPECT_EQ(ParseIpv4("10.1.20.254"), (Ipv4Bytes{10, 1, 20, 254}));
    EXPECT_EQ(ParseIpv4("127.0.0.1"), (Ipv4Bytes{127, 0, 0, 1}));
}

TEST(ParseIpv4, RejectsAnythingElseAsAnInvalidArgument) {
    for (const char* text : {"", "1.2.3", "1.2.3.4.", "1.2.3.4.5", "256.1.1.1", "1.2.3.256",
                             "1..2.3", ".1.2.3", "a.b.c.d", " 1.2.3.4", "1.2.3.4 ", "-1.2.3.4",
                             "+1.2.3.4", "1.2.3.0004", "1,2,3,4", "localhost", "0x7f.0.0.1"}) {
        try {
            ParseIpv4(text);
            ADD_FAILURE() << "accepted \"" << text << '"';
        } catch (const SocketError& error) {
            EXPECT_EQ(error.Code(), 10022) << text;
        }
    }
}

}  // namespace
}  // namespace nimbrel
