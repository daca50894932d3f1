// SPDX-License-Identifier: MIT
// The interfaces that --from and --interface are checked against, read from a network namespace
// that the test makes for one thread of its own, with two interfaces of known addresses.
#include <gtest/gtest.h>
#include <sched.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "discovery/socket_platform.h"

namespace nimbrel::tools {
namespace {

TEST(LocalInterfaces, ListsEachInterfaceWithItsSubnetBroadcastAndLeavesLoopbackOut) {
    bool made = false;
    std::vector<platform::LocalInterface> found;
    // A network namespace belongs to the thread that made it, and goes with it: nothing of it
    // outlives the test, and the process's own namespace is left alone.
    std::thread inside([&] {
        if (unshare(CLONE_NEWNET) != 0) {
            return;
        }
        made = std::system(
                   "ip link set lo up && "
                   "ip link add nbtest0 type veth peer name nbtest1 && "
                   "ip addr add 198.51.100.1/24 dev nbtest0 && "
                   "ip addr add 203.0.113.70/26 dev nbtest1 && "
                   "ip link set nbtest0 up && ip link set nbtest1 up") == 0;
        found = platform::localInterfaces();
    });
    inside.join();
    if (!made) {
        GTEST_SKIP() << "no network namespace with a veth pair can be made here (needs root)";
    }
    ASSERT_EQ(found.size(), 2u);
    std::ranges::sort(found, {}, &platform::LocalInterface::name);
    EXPECT_EQ(found[0].name, "nbtest0");
    EXPECT_EQ(found[0].address, (Ipv4Bytes{198, 51, 100, 1}));
    EXPECT_EQ(found[0].netmask, (Ipv4Bytes{255, 255, 255, 0}));
    EXPECT_EQ(found[0].broadcast, (Ipv4Bytes{198, 51, 100, 255}));
    EXPECT_EQ(found[1].name, "nbtest1");
    EXPECT_EQ(found[1].address, (Ipv4Bytes{203, 0, 113, 70}));
    EXPECT_EQ(found[1].netmask, (Ipv4Bytes{255, 255, 255, 192}));
    EXPECT_EQ(found[1].broadcast, (Ipv4Bytes{203, 0, 113, 127}));
    EXPECT_TRUE(found[0].broadcasts && found[1].broadcasts);
}

}  // namespace
}  // namespace nimbrel::tools
