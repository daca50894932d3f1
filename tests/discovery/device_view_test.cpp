// SPDX-License-Identifier: MIT
// The device view that both programs render: icon by model, the listed MAC, the fields sent.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "discovery/device_view.h"
#include "discovery/model_icons.h"
#include "tests/discovery/reply_bytes.h"

namespace nimbrel {
namespace {

using testing::addressValue;
using testing::reply;
using testing::text;

DeviceView viewOf(const testing::Bytes& reply) {
    DeviceTable table;
    table.addReply(reply, {{198, 51, 100, 2}, 10001});
    return viewDevice(table, 0);
}

TEST(ModelIcons, EachRowPatternAloneSelectsItsImage) {
    const std::vector<std::pair<std::string, int>> cases{
        {"QZL-TMR1-AC-A", 9}, {"QZL-TMR2-AC", 8}, {"QZL-TMR1-AC", 10}, {"QZL-P-AC", 11},
        {"QZH-P-AC", 12},     {"QZL-TMR-M", 0},   {"QZL-TMR-A", 1},    {"QZL-TVX2-W", 2},
        {"QZL-TVX-S", 3},     {"QZL-TLX2", 3},    {"QZL-TMR", 4},      {"QZL-TVX", 5},
    };
    for (const auto& [model, image] : cases) {
        EXPECT_EQ(chooseModelIcon(model).imageIndex, image) << model;
    }
}

TEST(ModelIcons, FirstMatchingRowWinsAndMatchesAnywhereButByteExact) {
    EXPECT_EQ(chooseModelIcon("QZL-TMR-X9").imageIndex, 4);
    EXPECT_EQ(chooseModelIcon("QZL-TVX2-W5").imageIndex, 2);
    EXPECT_EQ(chooseModelIcon("new QZL-P-AC pro").imageIndex, 11);
    EXPECT_EQ(chooseModelIcon("qzl-tmr-m").imageIndex, DefaultImageIndex);
    EXPECT_EQ(chooseModelIcon("").imageIndex, DefaultImageIndex);
}

TEST(DeviceView, CarriesTheFieldsAndWhichOnesWereSent) {
    const DeviceView view =
        viewOf(reply({{FieldAddress, addressValue({0xAB, 1, 2, 3, 4, 5}, {10, 0, 0, 8})},
                      {FieldModel, text("QZL-TMR-M")},
                      {FieldCopyText, text("copy me")}}));
    EXPECT_EQ(view.model, "QZL-TMR-M");
    EXPECT_EQ(view.ipv4, (Ipv4Bytes{10, 0, 0, 8}));
    EXPECT_EQ(view.mac, (MacBytes{0xAB, 1, 2, 3, 4, 5}));
    EXPECT_EQ(view.listedMac, view.mac);
    EXPECT_EQ(view.copyText, "copy me");
    EXPECT_EQ(view.iconIndex, 0);
    EXPECT_EQ(view.source, (Peer{{198, 51, 100, 2}, 10001}));
    EXPECT_TRUE(view.hasAddress && view.hasModel && view.hasCopyText);
    EXPECT_FALSE(view.hasFirmware);
    EXPECT_EQ(view.firmware, "");
}

TEST(DeviceView, OnlyTheLastRowListsTheFirstMacByteAsZero) {
    const auto address = addressValue({0xAB, 1, 2, 3, 4, 5}, {10, 0, 0, 8});
    const DeviceView cleared =
        viewOf(reply({{FieldAddress, address}, {FieldModel, text("QZL-TVX-5")}}));
    EXPECT_EQ(cleared.iconIndex, 5);
    EXPECT_EQ(cleared.listedMac, (MacBytes{0x00, 1, 2, 3, 4, 5}));
    EXPECT_EQ(cleared.mac, (MacBytes{0xAB, 1, 2, 3, 4, 5}));  // as sent
    for (const char* model : {"QZL-TVX2-W", "QZL-TVX-S", "none"}) {
        EXPECT_EQ(viewOf(reply({{FieldAddress, address}, {FieldModel, text(model)}})).listedMac[0],
                  0xAB)
            << model;
    }
}

TEST(DeviceView, TheSameDeviceHasTheSameMacAndAddress) {
    DeviceView a;
    a.mac = {1, 2, 3, 4, 5, 6};
    a.ipv4 = {10, 0, 0, 1};
    DeviceView b = a;
    b.firmware = "2.0";
    EXPECT_TRUE(a.sameDeviceAs(b));
    b.ipv4 = {10, 0, 0, 2};
    EXPECT_FALSE(a.sameDeviceAs(b));
}

}  // namespace
}  // namespace nimbrel
