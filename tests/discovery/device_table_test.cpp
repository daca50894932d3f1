// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "discovery/device_table.h"
#include "tests/discovery/reply_bytes.h"

namespace nimbrel {
namespace {

using testing::addressValue;
using testing::append;
using testing::Bytes;
using testing::Element;
using testing::reply;
using testing::text;

Bytes device(std::uint8_t id, const std::string& model = "AP-1") {
    return reply({{FieldAddress, addressValue({0x00, 0x1A, 0x2B, 0x3C, 0x4D, id}, {10, 0, 0, id})},
                  {FieldFirmware, text("1.6.0")},
                  {FieldModel, text(model)},
                  {FieldCopyText, text("device " + std::to_string(id))}});
}

class DeviceTableTest : public ::testing::Test {
protected:
    void add(const Bytes& datagram, Peer source = {}) { table.addReply(datagram, source); }

    void expectEmpty(int record) {
        EXPECT_EQ(table.macAddress(record), MacBytes{}) << record;
        EXPECT_EQ(table.ipv4Address(record), Ipv4Bytes{}) << record;
        EXPECT_EQ(table.modelText(record), "") << record;
        EXPECT_EQ(table.firmwareText(record), "") << record;
        EXPECT_EQ(table.copyText(record), "") << record;
        EXPECT_EQ(table.recordAt(record), DeviceRecord{}) << record;
    }

    std::unique_ptr<DeviceTable> owned = std::make_unique<DeviceTable>();
    DeviceTable& table = *owned;
};

TEST_F(DeviceTableTest, RecordsFromTheCountOnReadEmptyWithNoSourceAndClearingEmptiesAll) {
    EXPECT_EQ(table.recordCount(), 0);
    expectEmpty(0);
    add(device(1), Peer{{198, 51, 100, 2}, 10001});
    add(device(2));
    EXPECT_EQ(table.source(0), (Peer{{198, 51, 100, 2}, 10001}));
    for (int record : {2, 10, 11, -1}) {
        expectEmpty(record);
        EXPECT_EQ(table.source(record), Peer{});
    }
    table.clearTable();
    EXPECT_EQ(table.recordCount(), 0);
    expectEmpty(0);
    expectEmpty(1);
    EXPECT_EQ(table.source(0), Peer{});
}

TEST_F(DeviceTableTest, AccessorsReadTheReadFields) {
    add(reply({{FieldAddress, addressValue({0x00, 0x0A, 0xB0, 0xC1, 0xD2, 0xFF}, {192, 168, 1, 7})},
               {FieldFirmware, text("v2.04")},
               {FieldModel, text("BR-500")},
               {FieldCopyText, text("\xE9t\xE9")}}));
    ASSERT_EQ(table.recordCount(), 1);
    EXPECT_EQ(table.macAddress(0), (MacBytes{0x00, 0x0A, 0xB0, 0xC1, 0xD2, 0xFF}));
    EXPECT_EQ(table.ipv4Address(0), (Ipv4Bytes{192, 168, 1, 7}));
    EXPECT_EQ(table.firmwareText(0), "v2.04");
    EXPECT_EQ(table.modelText(0), "BR-500");
    EXPECT_EQ(table.copyText(0), "\xE9t\xE9");  // one 8-bit character per byte
}

TEST_F(DeviceTableTest, MissingOrShortFieldsReadAsZeros) {
    add(reply({{FieldModel, text("no address")}}));
    add(reply({{FieldAddress, {1, 2, 3, 4, 5, 6}}}));
    add(reply({{FieldAddress, addressValue({1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12})}}));
    ASSERT_EQ(table.recordCount(), 3);
    EXPECT_EQ(table.macAddress(0), MacBytes{});
    EXPECT_EQ(formatIpv4(table.ipv4Address(0)), "0.0.0.0");
    EXPECT_EQ(table.macAddress(1), (MacBytes{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(formatIpv4(table.ipv4Address(1)), "0.0.0.0");
    EXPECT_EQ(formatIpv4(table.ipv4Address(2)), "7.8.9.10");  // bytes past 9 are not read
    EXPECT_EQ(table.recordAt(2).slots[FieldAddress].length, 12);
}

TEST_F(DeviceTableTest, DropsExactDuplicatesKeepingTheFirstInPlace) {
    add(device(1));
    add(device(1));
    EXPECT_EQ(table.recordCount(), 1);

    add(device(2));
    add(device(1));
    ASSERT_EQ(table.recordCount(), 2);
    EXPECT_EQ(table.copyText(0), "device 1");
    EXPECT_EQ(table.copyText(1), "device 2");
    expectEmpty(2);  // the dropped record is cleared again
}

TEST_F(DeviceTableTest, OneDeviceWhateverItCarriesBesideTheShownFields) {
    // An element that the programs do not show tells no two devices apart; the first is kept.
    add(reply({{FieldModel, text("AP")}, {5, {1}}}));
    add(reply({{FieldModel, text("AP")}, {5, {2}}}));
    add(reply({{FieldModel, text("AP")}, {99, text("extra")}}));
    ASSERT_EQ(table.recordCount(), 1);
    EXPECT_EQ(table.recordAt(0).slots[5].value[0], 1);

    // Nor do order, later repeats of a type and the second byte of an element.
    table.clearTable();
    add(reply({{FieldModel, text("AP")}, {FieldFirmware, text("1.0")}}));
    add(reply({{FieldFirmware, text("1.0"), 0x7F}, {FieldModel, text("AP"), 0x33}}));
    add(reply({{FieldModel, text("AP")}, {FieldFirmware, text("1.0")}, {FieldModel, text("X")}}));
    EXPECT_EQ(table.recordCount(), 1);
}

TEST_F(DeviceTableTest, OneMacWithOtherShownFieldsOrAnotherPathIsAnotherDevice) {
    const MacBytes mac{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x01};
    const auto address = [&](std::uint8_t last) {
        return Element{FieldAddress, addressValue(mac, {10, 0, 0, last})};
    };
    add(reply({address(1), {FieldFirmware, text("1.0")}}));
    add(reply({address(2), {FieldFirmware, text("1.0")}}));                    // IPv4 address
    add(reply({address(1), {FieldFirmware, text("1.1")}}));                    // firmware
    add(reply({address(1), {FieldFirmware, {}}}));                             // empty firmware
    add(reply({address(1)}));                                                  // none sent
    add(reply({address(1), {FieldFirmware, text("1.0")}, {FieldModel, {}}}));  // a model sent
    add(reply({address(1), {FieldFirmware, text("1.0")}, {FieldCopyText, text("c")}}));
    EXPECT_EQ(table.recordCount(), 7);
    table.addReply(reply({address(1), {FieldFirmware, text("1.0")}}), {}, 1);  // another path
    EXPECT_EQ(table.recordCount(), 8);
    EXPECT_EQ(table.path(7), 1);
}

TEST_F(DeviceTableTest, TheFirstElementOfATypeWins) {
    add(reply({{FieldModel, text("first")}, {FieldModel, text("second")}}));
    EXPECT_EQ(table.modelText(0), "first");
    add(reply({{FieldModel, {}}, {FieldModel, text("later")}}));
    EXPECT_EQ(table.modelText(1), "");  // a length-0 first element wins too
}

TEST_F(DeviceTableTest, TextsEndAtTheFirstNulAndAreComparedAsShown) {
    add(reply({{FieldModel, {'A', 'B', 0, 'C'}}}));
    add(reply({{FieldModel, {'A', 'B', 0, 'D'}}}));
    add(reply({{FieldModel, {'A', 'B', 'C'}}}));
    ASSERT_EQ(table.recordCount(), 2);
    EXPECT_EQ(table.modelText(0), "AB");
    EXPECT_EQ(table.recordAt(0).slots[FieldModel].value[3], 'C');  // the first one read
    EXPECT_EQ(table.modelText(1), "ABC");
}

TEST_F(DeviceTableTest, AReplyWithoutElementsIsOneEmptyDevice) {
    add({0x01, 0x00, 0x00, 0x00, 0x0C, 0x00, 0x02, 'A', 'B'});
    ASSERT_EQ(table.recordCount(), 1);
    expectEmpty(0);
    add({0x01, 0x00, 0x00, 0x00});
    EXPECT_EQ(table.recordCount(), 1);
}

TEST_F(DeviceTableTest, LongValuesAreCutToTheSlotButKeepTheirLength) {
    Bytes value(100, 'v');
    value[70] = 'A';
    add(reply({{FieldModel, value}, {FieldModel + 1, {'n'}}}));
    ASSERT_EQ(table.recordCount(), 1);
    const DeviceRecord& record = table.recordAt(0);
    EXPECT_EQ(record.slots[FieldModel].length, 100);
    EXPECT_EQ(table.modelText(0), std::string(64, 'v'));
    EXPECT_EQ(record.slots[FieldModel + 1].length, 1);  // the neighbour slot is untouched
    EXPECT_EQ(record.slots[FieldModel + 1].value[0], 'n');
    EXPECT_EQ(record.slots[FieldModel + 1].value[1], 0);

    // Only the stored 64 bytes take part in the duplicate test.
    value[70] = 'B';
    add(reply({{FieldModel, value}, {FieldModel + 1, {'n'}}}));
    EXPECT_EQ(table.recordCount(), 1);
}

TEST_F(DeviceTableTest, HoldsItsCapacityAndCountsTheDistinctDevicesLeftOut) {
    for (std::uint8_t id = 1; id <= 11; ++id) {
        add(device(id));
    }
    ASSERT_EQ(table.recordCount(), DeviceTable::DefaultCapacity);
    add(device(12));
    add(device(13));
    Bytes again = device(12);
    append(again, {99, {1}});
    again[3] = static_cast<std::uint8_t>(again.size() - 4);
    add(again);       // the same device left out twice counts once, whatever else it carries
    add(device(11));  // a duplicate of a stored device is no left-out one
    EXPECT_EQ(table.recordCount(), DeviceTable::DefaultCapacity);
    EXPECT_EQ(table.leftOut(), 2);
    for (int record = 0; record < DeviceTable::DefaultCapacity; ++record) {
        EXPECT_EQ(table.copyText(record), "device " + std::to_string(record + 1));
    }
    table.clearTable();
    EXPECT_EQ(table.leftOut(), 0);

    DeviceTable large(50);
    for (std::uint8_t id = 1; id <= 50; ++id) {
        large.addReply(device(id));
    }
    EXPECT_EQ(large.recordCount(), 50);
    EXPECT_EQ(large.leftOut(), 0);
}

TEST_F(DeviceTableTest, TellsWhichTypesTheReplyCarriedAnEmptyValueAmongThem) {
    add(reply({{FieldModel, {}}, {FieldAddress, addressValue({1, 2, 3, 4, 5, 6}, {})}}));
    EXPECT_TRUE(table.present(0, FieldModel));
    EXPECT_TRUE(table.present(0, FieldAddress));
    EXPECT_FALSE(table.present(0, FieldFirmware));
    EXPECT_FALSE(table.present(0, FieldCopyText));
    EXPECT_EQ(table.modelText(0), "");
}

}  // namespace
}  // namespace nimbrel
