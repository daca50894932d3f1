// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "discovery/interface_choice.h"

namespace nimbrel {
namespace {

const std::vector<platform::LocalInterface> Interfaces{
    {"eth0", {198, 51, 100, 1}, {255, 255, 255, 0}, {198, 51, 100, 255}, true, 2, "eth0"},
    {"eth0", {198, 51, 100, 3}, {255, 255, 255, 0}, {198, 51, 100, 255}, true, 2, "eth0:1"},
    {"wlan0", {203, 0, 113, 1}, {255, 255, 255, 0}, {203, 0, 113, 255}, true, 3, "wlan0"},
    {"tun0", {10, 8, 0, 2}, {255, 255, 255, 255}, {10, 8, 0, 2}, false, 4, "tun0"},
    // Another network that uses the same addresses as eth0's.
    {"eth1", {198, 51, 100, 1}, {255, 255, 255, 0}, {198, 51, 100, 255}, true, 5, "eth1"},
};

std::vector<std::string> names(const std::vector<SearchPath>& paths) {
    std::vector<std::string> names;
    for (const SearchPath& path : paths) {
        names.push_back(path.interfaceName + "/" + std::to_string(path.interfaceIndex));
    }
    return names;
}

TEST(ChooseInterfaces, AllTakesEachBroadcastingInterfaceOnceFromItsFirstAddress) {
    const auto all = chooseInterfaces({}, Interfaces);
    ASSERT_TRUE(all.ok()) << all.error().message;
    EXPECT_EQ(names(all.value()), (std::vector<std::string>{"eth0/2", "wlan0/3", "eth1/5"}));
    EXPECT_EQ(all.value()[0].local, (Ipv4Bytes{198, 51, 100, 1}));
    EXPECT_EQ(all.value()[2].local, (Ipv4Bytes{198, 51, 100, 1}));
    const auto none = chooseInterfaces({}, {});
    ASSERT_FALSE(none.ok());
    EXPECT_EQ(none.error().message,
              "no network interface is up with an IPv4 address that can broadcast");
}

TEST(ChooseInterfaces, NamedOnesInTheirOrderALabelSelectingItsInterfaceAndAnUnknownOneNamed) {
    const std::vector<std::string> named{"wlan0", "eth0:1", "eth0", "wlan0"};
    const auto chosen = chooseInterfaces(named, Interfaces);
    ASSERT_TRUE(chosen.ok()) << chosen.error().message;
    EXPECT_EQ(names(chosen.value()), (std::vector<std::string>{"wlan0/3", "eth0/2"}));
    EXPECT_EQ(chosen.value()[1].local, (Ipv4Bytes{198, 51, 100, 1}));
    for (const std::string name : {"eth9", "tun0"}) {
        const std::vector<std::string> one{name};
        const auto unknown = chooseInterfaces(one, Interfaces);
        ASSERT_FALSE(unknown.ok());
        EXPECT_EQ(unknown.error().message, "no interface named '" + name +
                                               "' is up with an IPv4 address that can broadcast");
    }
}

TEST(PathFrom, NamesTheInterfaceThatHoldsTheAddress) {
    const SearchPath label = pathFrom({198, 51, 100, 3}, Interfaces);
    EXPECT_EQ(label.interfaceName, "eth0");
    EXPECT_EQ(label.interfaceIndex, 2u);
    EXPECT_EQ(label.local, (Ipv4Bytes{198, 51, 100, 3}));
    const SearchPath any = pathFrom({0, 0, 0, 0}, Interfaces);
    EXPECT_EQ(any.interfaceName, "");
    EXPECT_EQ(any.interfaceIndex, 0u);
}

}  // namespace
}  // namespace nimbrel
