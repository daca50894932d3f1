// SPDX-License-Identifier: MIT
// The real interfaces of a namespace made by with_veth.sh: two veth links that hold the same
// address, one of them with an address label.
#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <linux/if_link.h>
#include <net/if.h>
#include <sys/socket.h>

#include <algorithm>
#include <string>
#include <vector>

#include "discovery/interface_choice.h"
#include "discovery/search_socket.h"
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

/// The datagrams that the link has sent, as the system counts them in this namespace.
std::uint32_t sentOn(const std::string& link) {
    ifaddrs* list = nullptr;
    EXPECT_EQ(getifaddrs(&list), 0);
    std::uint32_t sent = 0;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr != nullptr && entry->ifa_addr->sa_family == AF_PACKET &&
            entry->ifa_data != nullptr && link == entry->ifa_name) {
            sent = static_cast<const rtnl_link_stats*>(entry->ifa_data)->tx_packets;
        }
    }
    freeifaddrs(list);
    return sent;
}

TEST(LocalInterfaces, ListEachAddressWithItsInterfacesNameIndexAndLabel) {
    const std::vector<platform::LocalInterface> list = platform::localInterfaces();
    ASSERT_EQ(list.size(), 3u);  // no loopback, nothing of the peers without an address
    const platform::LocalInterface* first = labelled(list, "veth0");
    const platform::LocalInterface* label = labelled(list, "veth0:1");
    const platform::LocalInterface* other = labelled(list, "veth2");
    ASSERT_TRUE(first != nullptr && label != nullptr && other != nullptr);
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
}

TEST(ChooseInterfaces, OnePathPerInterfaceALabelSelectingItsOwn) {
    const std::vector<platform::LocalInterface> list = platform::localInterfaces();
    const auto all = chooseInterfaces({}, list);
    ASSERT_TRUE(all.ok()) << all.error().message;
    ASSERT_EQ(all.value().size(), 2u);
    EXPECT_EQ(all.value()[0].interfaceName, "veth0");
    EXPECT_EQ(all.value()[0].interfaceIndex, if_nametoindex("veth0"));
    EXPECT_EQ(all.value()[0].local, Shared);
    EXPECT_EQ(all.value()[1].interfaceName, "veth2");
    EXPECT_EQ(all.value()[1].interfaceIndex, if_nametoindex("veth2"));
    EXPECT_EQ(all.value()[1].local, Shared);

    const std::vector<std::string> named{"veth0:1"};
    const auto label = chooseInterfaces(named, list);
    ASSERT_TRUE(label.ok()) << label.error().message;
    ASSERT_EQ(label.value().size(), 1u);
    EXPECT_EQ(label.value()[0].interfaceName, "veth0");
    EXPECT_EQ(label.value()[0].local, Shared);
}

TEST(UdpSearchSocket, SendsEachRequestOutOfItsOwnInterfaceThoughBothHoldItsAddress) {
    UdpSearchSocket first;
    UdpSearchSocket second;
    ASSERT_TRUE(first.reopen(Shared, if_nametoindex("veth0")).ok());
    ASSERT_TRUE(second.reopen(Shared, if_nametoindex("veth2")).ok());
    const Peer broadcast{{255, 255, 255, 255}, DiscoveryPort};

    const std::uint32_t before0 = sentOn("veth0");
    const std::uint32_t before2 = sentOn("veth2");
    ASSERT_TRUE(second.send(DiscoveryRequest, broadcast).ok());
    EXPECT_EQ(sentOn("veth2"), before2 + 1);
    EXPECT_EQ(sentOn("veth0"), before0);
    ASSERT_TRUE(first.send(DiscoveryRequest, broadcast).ok());
    EXPECT_EQ(sentOn("veth0"), before0 + 1);
    EXPECT_EQ(sentOn("veth2"), before2 + 1);
}

}  // namespace
}  // namespace nimbrel
