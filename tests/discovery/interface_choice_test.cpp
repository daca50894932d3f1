// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "discovery/interface_choice.h"

namespace nimbrel {
namespace {

const std::vector<platform::LocalInterface> Interfaces{
    {"eth0", {198, 51, 100, 1}, {255, 255, 255, 0}, {198, 51, 100, 255}, true},
    {"eth0", {198, 51, 100, 3}, {255, 255, 255, 0}, {198, 51, 100, 255}, true},
    {"wlan0", {203, 0, 113, 1}, {255, 255, 255, 0}, {203, 0, 113, 255}, true},
    {"tun0", {10, 8, 0, 2}, {255, 255, 255, 255}, {10, 8, 0, 2}, false},
};

std::vector<std::string> Names(const std::vector<SearchPath>& paths) {
    std::vector<std::string> names;
    for (const SearchPath& path : paths) {
        names.push_back(path.interfaceName);
    }
    return names;
}

TEST(ChooseInterfaces, AllTakesEachBroadcastingInterfaceOnceFromItsFirstAddress) {
    std::string error;
    const auto all = ChooseInterfaces({}, Interfaces, error);
    ASSERT_TRUE(all) << error;
    EXPECT_EQ(Names(*all), (std::vector<std::string>{"eth0", "wlan0"}));
    EXPECT_EQ((*all)[0].local, (Ipv4Bytes{198, 51, 100, 1}));
    EXPECT_FALSE(ChooseInterfaces({}, {}, error));
    EXPECT_EQ(error, "no network interface is up with an IPv4 address that can broadcast");
}

TEST(ChooseInterfaces, NamedOnesInTheirOrderAndAnUnknownOneNamed) {
    std::string error;
    const std::vector<std::string> named{"wlan0", "eth0", "wlan0"};
    const auto chosen = ChooseInterfaces(named, Interfaces, error);
    ASSERT_TRUE(chosen) << error;
    EXPECT_EQ(Names(*chosen), (std::vector<std::string>{"wlan0", "eth0"}));
    for (const std::string name : {"eth9", "tun0"}) {
        const std::vector<std::string> one{name};
        EXPECT_FALSE(ChooseInterfaces(one, Interfaces, error));
        EXPECT_EQ(error, "no interface named '" + name +
                             "' is up with an IPv4 address that can broadcast");
    }
}

TEST(InterfaceHolding, NamesTheInterfaceOfAnAddress) {
    EXPECT_EQ(InterfaceHolding({198, 51, 100, 3}, Interfaces), "eth0");
    EXPECT_EQ(InterfaceHolding({0, 0, 0, 0}, Interfaces), "");
}

}  // namespace
}  // namespace nimbrel
