// SPDX-License-Identifier: MIT
// The real interfaces of a namespace made by with_veth.sh: two veth links that hold the same
// address, one of them with an address label, and a link on a narrower network. (The paths chosen
// from such a list are tested in interface_choice_test.cpp; a request sent out of each of them, in
// e2e/interfaces.sh.)
#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <net/if.h>

#include <algorithm>
#include <string>
#include <vector>

#include "discovery/socket_platform.h"
#include "discovery/wire.h"

namespace nimbrel {
namespace {

const Ipv4Bytes Shared{198, 51, 100, 1};

const platform::LocalInterface* labelled(const std::vector<platform::LocalInterface>& list,
                                         const std::string& label) {
    const auto found = std::find_if(list.begin(), list.end(),
                                    [&](const auto& entry) { return entry.label == label; });
    return found == list.end() ? nullptr : &*found;
}

TEST(LocalInterfaces, ListEachAddressWithItsInterfacesNameIndexAndLabel) {
    const std::vector<platform::LocalInterface> list = platform::localInterfaces();
    ASSERT_EQ(list.size(), 4u);  // no loopback, nothing of the peer without an address
    const platform::LocalInterface* first = labelled(list, "veth0");
    const platform::LocalInterface* label = labelled(list, "veth0:1");
    const platform::LocalInterface* other = labelled(list, "veth2");
    const platform::LocalInterface* narrow = labelled(list, "veth3");
    ASSERT_TRUE(first != nullptr && label != nullptr && other != nullptr && narrow != nullptr);
    EXPECT_EQ(first->name, "veth0");
    EXPECT_EQ(first->index, if_nametoindex("veth0"));
    EXPECT_EQ(first->address, Shared);
    EXPECT_EQ(first->netmask, (Ipv4Bytes{255, 255, 255, 0}));
    EXPECT_EQ(first->broadcast, (Ipv4Bytes{198, 51, 100, 255}));
    EXPECT_TRUE(first->broadcasts);
    EXPECT_EQ(label->name, "veth0");  // a label is no interface of its own
    EXPECT_EQ(label->index, first->index);
    EXPECT_EQ(label->address, (Ipv4Bytes{198, 51, 100, 9}));
    EXPECT_EQ(other->name, "veth2");
    EXPECT_EQ(other->index, if_nametoindex("veth2"));
    EXPECT_NE(other->index, first->index);
    EXPECT_EQ(other->address, Shared);
    EXPECT_EQ(narrow->address, (Ipv4Bytes{203, 0, 113, 70}));
    EXPECT_EQ(narrow->netmask, (Ipv4Bytes{255, 255, 255, 192}));
    EXPECT_EQ(narrow->broadcast, (Ipv4Bytes{203, 0, 113, 127}));
    EXPECT_TRUE(narrow->broadcasts);
}

}  // namespace
}  // namespace nimbrel
