// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "discovery/device_table.h"
#include "tests/discovery/reply_bytes.h"

namespace nimbrel {
namespace {

using testing::AddressValue;
using testing::Append;
using testing::Bytes;
using testing::Element;
using testing::Reply;
using testing::Text;

Bytes Device(std::uint8_t id, const std::string& model = "AP-1") {
    return Reply({{FieldAddress, AddressValue({0x00, 0x1A, 0x2B, 0x3C, 0x4D, id}, {10, 0, 0, id})},
                  {FieldFirmware, Text("1.6.0")},
                  {FieldModel, Text(model)},
                  {FieldCopyText, Text("device " + std::to_string(id))}});
}

class DeviceTableTest : public ::testing::Test {
protected:
    void Add(const Bytes& datagram, Peer source = {}) { table.AddReply(datagram, source); }

    void ExpectEmpty(int record) {
        EXPECT_EQ(table.MacAddress(record), MacBytes{}) << record;
        EXPECT_EQ(table.Ipv4Address(record), Ipv4Bytes{}) << record;
        EXPECT_EQ(table.ModelText(record), "") << record;
        EXPECT_EQ(table.FirmwareText(record), "") << record;
        EXPECT_EQ(table.CopyText(record), "") << record;
        EXPECT_EQ(table.Record(record), DeviceRecord{}) << record;
    }

    std::unique_ptr<DeviceTable> owned = std::make_unique<DeviceTable>();
    DeviceTable& table = *owned;
};

TEST_F(DeviceTableTest, StartsEmptyAndClearsToEmpty) {
    EXPECT_EQ(table.RecordCount(), 0);
    for (int record = 0; record < DeviceTable::DefaultCapacity; ++record) {
        ExpectEmpty(record);
    }
    Add(Device(1));
    Add(Device(2));
    table.ClearTable();
    EXPECT_EQ(table.RecordCount(), 0);
    ExpectEmpty(0);
    ExpectEmpty(1);
}

TEST_F(DeviceTableTest, AccessorsReadTheReadFields) {
    Add(Reply({{FieldAddress, AddressValue({0x00, 0x0A, 0xB0, 0xC1, 0xD2, 0xFF}, {192, 168, 1, 7})},
               {FieldFirmware, Text("v2.04")},
               {FieldModel, Text("BR-500")},
               {FieldCopyText, Text("\xE9t\xE9")}}));
    ASSERT_EQ(table.RecordCount(), 1);
    EXPECT_EQ(table.MacAddress(0), (MacBytes{0x00, 0x0A, 0xB0, 0xC1, 0xD2, 0xFF}));
    EXPECT_EQ(table.Ipv4Address(0), (Ipv4Bytes{192, 168, 1, 7}));
    EXPECT_EQ(table.FirmwareText(0), "v2.04");
    EXPECT_EQ(table.ModelText(0), "BR-500");
    EXPECT_EQ(table.CopyText(0), "\xE9t\xE9");  // one 8-bit character per byte
    EXPECT_EQ(FormatMac(table.MacAddress(0)), "00-0A-B0-C1-D2-FF");
    EXPECT_EQ(FormatIpv4(table.Ipv4Address(0)), "192.168.1.7");
    EXPECT_EQ(FormatIpv4({0, 10, 100, 255}), "0.10.100.255");
}

TEST_F(DeviceTableTest, MissingOrShortFieldsReadAsZeros) {
    Add(Reply({{FieldModel, Text("no address")}}));
    Add(Reply({{FieldAddress, {1, 2, 3, 4, 5, 6}}}));
    Add(Reply({{FieldAddress, AddressValue({1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12})}}));
    ASSERT_EQ(table.RecordCount(), 3);
    EXPECT_EQ(table.MacAddress(0), MacBytes{});
    EXPECT_EQ(FormatIpv4(table.Ipv4Address(0)), "0.0.0.0");
    EXPECT_EQ(table.MacAddress(1), (MacBytes{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(FormatIpv4(table.Ipv4Address(1)), "0.0.0.0");
    EXPECT_EQ(FormatIpv4(table.Ipv4Address(2)), "7.8.9.10");  // bytes past 9 are not read
    EXPECT_EQ(table.Record(2).slots[FieldAddress].length, 12);
}

TEST_F(DeviceTableTest, DropsExactDuplicatesKeepingTheFirstInPlace) {
    Add(Device(1));
    Add(Device(1));
    EXPECT_EQ(table.RecordCount(), 1);

    Add(Device(2));
    Add(Device(1));
    ASSERT_EQ(table.RecordCount(), 2);
    EXPECT_EQ(table.CopyText(0), "device 1");
    EXPECT_EQ(table.CopyText(1), "device 2");
    ExpectEmpty(2);  // the dropped record is cleared again
}

TEST_F(DeviceTableTest, OneDeviceWhateverItCarriesBesideTheShownFields) {
    // An element that the programs do not show tells no two devices apart; the first is kept.
    Add(Reply({{FieldModel, Text("AP")}, {5, {1}}}));
    Add(Reply({{FieldModel, Text("AP")}, {5, {2}}}));
    Add(Reply({{FieldModel, Text("AP")}, {99, Text("extra")}}));
    ASSERT_EQ(table.RecordCount(), 1);
    EXPECT_EQ(table.Record(0).slots[5].value[0], 1);

    // Nor do order, later repeats of a type and the second byte of an element.
    table.ClearTable();
    Add(Reply({{FieldModel, Text("AP")}, {FieldFirmware, Text("1.0")}}));
    Add(Reply({{FieldFirmware, Text("1.0"), 0x7F}, {FieldModel, Text("AP"), 0x33}}));
    Add(Reply({{FieldModel, Text("AP")}, {FieldFirmware, Text("1.0")}, {FieldModel, Text("X")}}));
    EXPECT_EQ(table.RecordCount(), 1);
}

TEST_F(DeviceTableTest, OneMacWithOtherShownFieldsOrAnotherPathIsAnotherDevice) {
    const MacBytes mac{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x01};
    const auto address = [&](std::uint8_t last) {
        return Element{FieldAddress, AddressValue(mac, {10, 0, 0, last})};
    };
    Add(Reply({address(1), {FieldFirmware, Text("1.0")}}));
    Add(Reply({address(2), {FieldFirmware, Text("1.0")}}));                    // IPv4 address
    Add(Reply({address(1), {FieldFirmware, Text("1.1")}}));                    // firmware
    Add(Reply({address(1), {FieldFirmware, {}}}));                             // empty firmware
    Add(Reply({address(1)}));                                                  // none sent
    Add(Reply({address(1), {FieldFirmware, Text("1.0")}, {FieldModel, {}}}));  // a model sent
    Add(Reply({address(1), {FieldFirmware, Text("1.0")}, {FieldCopyText, Text("c")}}));
    EXPECT_EQ(table.RecordCount(), 7);
    table.AddReply(Reply({address(1), {FieldFirmware, Text("1.0")}}), {}, 1);  // another path
    EXPECT_EQ(table.RecordCount(), 8);
    EXPECT_EQ(table.Path(7), 1);
}

TEST_F(DeviceTableTest, TheFirstElementOfATypeWins) {
    Add(Reply({{FieldModel, Text("first")}, {FieldModel, Text("second")}}));
    EXPECT_EQ(table.ModelText(0), "first");
    Add(Reply({{FieldModel, {}}, {FieldModel, Text("later")}}));
    EXPECT_EQ(table.ModelText(1), "");  // a length-0 first element wins too
}

TEST_F(DeviceTableTest, TextsEndAtTheFirstNulAndAreComparedAsShown) {
    Add(Reply({{FieldModel, {'A', 'B', 0, 'C'}}}));
    Add(Reply({{FieldModel, {'A', 'B', 0, 'D'}}}));
    Add(Reply({{FieldModel, {'A', 'B', 'C'}}}));
    ASSERT_EQ(table.RecordCount(), 2);
    EXPECT_EQ(table.ModelText(0), "AB");
    EXPECT_EQ(table.Record(0).slots[FieldModel].value[3], 'C');  // the first one read
    EXPECT_EQ(table.ModelText(1), "ABC");
}

TEST_F(DeviceTableTest, AnEmptyValueMarksItsTypePresent) {
    Add(Reply({{FieldModel, Text("AP")}, {FieldCopyText, {}}}));
    Add(Reply({{FieldModel, Text("AP")}}));
    ASSERT_EQ(table.RecordCount(), 2);
    EXPECT_EQ(table.Record(0).slots[FieldCopyText].present, -1);
    EXPECT_EQ(table.Record(1).slots[FieldCopyText].present, 0);
    EXPECT_EQ(table.CopyText(0), "");
}

TEST_F(DeviceTableTest, AReplyWithoutElementsIsOneEmptyDevice) {
    Add({0x01, 0x00, 0x00, 0x00, 0x0C, 0x00, 0x02, 'A', 'B'});
    ASSERT_EQ(table.RecordCount(), 1);
    ExpectEmpty(0);
    Add({0x01, 0x00, 0x00, 0x00});
    EXPECT_EQ(table.RecordCount(), 1);
}

TEST_F(DeviceTableTest, TextsOfSixtyFourAndSixtyThreeBytes) {
    const std::string full(64, 'x');
    const std::string shorter(63, 'y');
    Add(Reply({{FieldModel, Text(full)}, {FieldFirmware, Text(shorter)}}));
    EXPECT_EQ(table.ModelText(0), full);
    EXPECT_EQ(table.FirmwareText(0), shorter);
}

TEST_F(DeviceTableTest, LongValuesAreCutToTheSlotButKeepTheirLength) {
    Bytes value(100, 'v');
    value[70] = 'A';
    Add(Reply({{FieldModel, value}, {FieldModel + 1, {'n'}}}));
    ASSERT_EQ(table.RecordCount(), 1);
    const DeviceRecord& record = table.Record(0);
    EXPECT_EQ(record.slots[FieldModel].length, 100);
    EXPECT_EQ(table.ModelText(0), std::string(64, 'v'));
    EXPECT_EQ(record.slots[FieldModel + 1].length, 1);  // the neighbour slot is untouched
    EXPECT_EQ(record.slots[FieldModel + 1].value[0], 'n');
    EXPECT_EQ(record.slots[FieldModel + 1].value[1], 0);

    // Only the stored 64 bytes take part in the duplicate test.
    value[70] = 'B';
    Add(Reply({{FieldModel, value}, {FieldModel + 1, {'n'}}}));
    EXPECT_EQ(table.RecordCount(), 1);
}

TEST_F(DeviceTableTest, HoldsItsCapacityAndCountsTheDistinctDevicesLeftOut) {
    for (std::uint8_t id = 1; id <= 11; ++id) {
        Add(Device(id));
    }
    ASSERT_EQ(table.RecordCount(), DeviceTable::DefaultCapacity);
    Add(Device(12));
    Add(Device(13));
    Bytes again = Device(12);
    Append(again, {99, {1}});
    again[3] = static_cast<std::uint8_t>(again.size() - 4);
    Add(again);       // the same device left out twice counts once, whatever else it carries
    Add(Device(11));  // a duplicate of a stored device is no left-out one
    EXPECT_EQ(table.RecordCount(), DeviceTable::DefaultCapacity);
    EXPECT_EQ(table.LeftOut(), 2);
    for (int record = 0; record < DeviceTable::DefaultCapacity; ++record) {
        EXPECT_EQ(table.CopyText(record), "device " + std::to_string(record + 1));
    }
    table.ClearTable();
    EXPECT_EQ(table.LeftOut(), 0);

    DeviceTable large(50);
    for (std::uint8_t id = 1; id <= 50; ++id) {
        large.AddReply(Device(id));
    }
    EXPECT_EQ(large.RecordCount(), 50);
    EXPECT_EQ(large.LeftOut(), 0);
}

TEST_F(DeviceTableTest, RecordsFromTheCountOnReadEmptyAndKeepNoSource) {
    Add(Device(1), Peer{{198, 51, 100, 2}, 10001});
    Add(Device(2));
    EXPECT_EQ(table.Source(0), (Peer{{198, 51, 100, 2}, 10001}));
    for (int record : {2, 10, 11, -1}) {
        ExpectEmpty(record);
        EXPECT_EQ(table.Source(record), Peer{});
    }
}

TEST_F(DeviceTableTest, TellsWhichTypesTheReplyCarried) {
    Add(Reply({{FieldModel, {}}, {FieldAddress, AddressValue({1, 2, 3, 4, 5, 6}, {})}}));
    EXPECT_TRUE(table.Present(0, FieldModel));
    EXPECT_TRUE(table.Present(0, FieldAddress));
    EXPECT_FALSE(table.Present(0, FieldFirmware));
    EXPECT_FALSE(table.Present(0, FieldCopyText));
}

}  // namespace
}  // namespace nimbrel
