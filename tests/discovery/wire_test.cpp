#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "discovery/wire.h"
#include "tests/discovery/reply_bytes.h"

namespace nimbrel {
namespace {

using testing::Bytes;
using testing::Received;
using testing::Reply;

struct Triple {
    std::uint8_t type;
    std::uint8_t length;
    Bytes value;
    std::ptrdiff_t offset;  // where the value begins in the buffer

    bool operator==(const Triple&) const = default;
};

std::vector<Triple> Walk(const ReceiveBuffer& buffer) {
    std::vector<Triple> triples;
    WalkFieldElements(buffer, [&](const FieldElement& element) {
        // Every byte handed over must lie inside the buffer.
        EXPECT_GE(element.value.data(), buffer.data());
        EXPECT_LE(element.value.data() + element.value.size(), buffer.data() + buffer.size());
        triples.push_back({element.type, element.length,
                           Bytes(element.value.begin(), element.value.end()),
                           element.value.data() - buffer.data()});
    });
    return triples;
}

/// A filler element at byte 4 whose length puts the next element at `position`.
Bytes PadTo(int position) {
    Bytes datagram{0x01, 0x00, 0x00, 0xFF, 0x09, 0x00, static_cast<std::uint8_t>(position - 7)};
    datagram.resize(static_cast<std::size_t>(position), 0xAA);
    return datagram;
}

TEST(DiscoveryRequest, IsTheFourBytesOfAnEmptyHeader) {
    EXPECT_EQ(DiscoveryRequest, (std::array<std::uint8_t, 4>{0x01, 0x00, 0x00, 0x00}));
    EXPECT_EQ(DiscoveryPort, 10001);
    EXPECT_STREQ(DiscoveryHost, "255.255.255.255");
    EXPECT_EQ(ReceiveBufferSize, 201u);
}

TEST(ReplyCheck, LooksOnlyAtTheFirstThreeBytes) {
    EXPECT_TRUE(IsDiscoveryReply(Received({0x01, 0x00, 0x00, 0x00})));
    EXPECT_TRUE(IsDiscoveryReply(Received({0x01})));  // bytes 1 and 2 are the cleared zeros
    EXPECT_TRUE(IsDiscoveryReply(Received({0x01, 0x00, 0x00, 0xFF, 0x42, 0x42})));
    // Into a buffer that still holds a rejected datagram, the same byte meets its leftovers.
    EXPECT_FALSE(IsDiscoveryReply(Received({0x01}, Received({0x02, 0x05, 0x00}))));
}

TEST(ReplyCheck, RejectsAnyOtherStartWhateverFollows) {
    const Bytes rest{0x00, 0x02, 0x00, 0x0A, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    for (const Bytes& start : {Bytes{0x01, 0x00, 0x01}, Bytes{0x01, 0x01, 0x00},
                               Bytes{0x02, 0x00, 0x00}, Bytes{0x00, 0x00, 0x00}}) {
        Bytes datagram = start;
        datagram.insert(datagram.end(), rest.begin(), rest.end());
        EXPECT_FALSE(IsDiscoveryReply(Received(datagram)))
            << int{start[0]} << int{start[1]} << int{start[2]};
    }
    EXPECT_FALSE(IsDiscoveryReply(ReceiveBuffer{}));
}

TEST(ElementWalk, YieldsNothingForAnEmptyArea) {
    EXPECT_TRUE(Walk(Received({0x01, 0x00, 0x00, 0x00})).empty());
    EXPECT_TRUE(Walk(Received({0x01})).empty());
    // Area length 0 hides the element bytes that follow the header.
    EXPECT_TRUE(Walk(Received({0x01, 0x00, 0x00, 0x00, 0x0C, 0x00, 0x02, 'A', 'B'})).empty());
}

TEST(ElementWalk, YieldsElementsInOrderWithRepeatsAndEmptyValues) {
    const Bytes datagram = Reply({{12, testing::Text("AP")}, {5, {}}, {12, testing::Text("B")}});
    const std::vector<Triple> expected{
        {12, 2, testing::Text("AP"), 7}, {5, 0, {}, 12}, {12, 1, testing::Text("B"), 15}};
    EXPECT_EQ(Walk(Received(datagram)), expected);
}

TEST(ElementWalk, IgnoresTheSecondByteOfAnElement) {
    const Bytes ten{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const auto first = Walk(Received(Reply({{FieldAddress, ten, 0x00}})));
    const auto second = Walk(Received(Reply({{FieldAddress, ten, 0x7F}})));
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first[0].value, ten);
}

TEST(ElementWalk, TakesAnElementWholeWhenItBeginsInsideTheArea) {
    const Bytes datagram{0x01, 0x00, 0x00, 0x05, 0x03, 0x00, 0x08, 'v',  '1', '.',
                         '2',  '.',  '3',  '4',  '5',  0x0C, 0x00, 0x01, 'X'};
    const std::vector<Triple> expected{{3, 8, testing::Text("v1.2.345"), 7}};
    EXPECT_EQ(Walk(Received(datagram)), expected);  // position 15 is past the area's end 9
}

TEST(ElementWalk, ReadsTheZerosBehindAShortDatagram) {
    // Header only, area length 3: one element of type 0 and length 0 from the cleared buffer.
    const std::vector<Triple> one{{0, 0, {}, 7}};
    EXPECT_EQ(Walk(Received({0x01, 0x00, 0x00, 0x03})), one);

    // A well-formed reply is walked without reading past the datagram: the bytes behind it
    // (left over from an earlier datagram) show up in no element.
    const Bytes datagram = Reply({{FieldModel, testing::Text("M")}, {FieldFirmware, {}}});
    const std::vector<Triple> triples = Walk(Received(datagram, Received(Bytes(201, 0xEE))));
    ASSERT_EQ(triples.size(), 2u);
    for (const Triple& triple : triples) {
        EXPECT_LE(triple.offset + static_cast<std::ptrdiff_t>(triple.value.size()),
                  static_cast<std::ptrdiff_t>(datagram.size()));
    }
}

TEST(ElementWalk, StopsWhereAnElementHeadLeavesTheBuffer) {
    // Area length 255 over a cleared buffer: zero elements at 4, 7, ..., 196; the head at 199
    // would need byte 201, so the walk ends although the area runs to 259.
    const std::vector<Triple> zeros = Walk(Received({0x01, 0x00, 0x00, 0xFF}));
    ASSERT_EQ(zeros.size(), 65u);
    EXPECT_EQ(zeros.back(), (Triple{0, 0, {}, 199}));

    // A head at 198 to 200 is taken (its value would begin past the buffer and is empty).
    Bytes at198 = PadTo(198);
    at198.insert(at198.end(), {0x0C, 0x00, 0x05});
    const auto last = Walk(Received(at198));
    ASSERT_EQ(last.size(), 2u);
    EXPECT_EQ(last[1], (Triple{12, 5, {}, 201}));

    // A head at 199 is not.
    Bytes at199 = PadTo(199);
    at199.insert(at199.end(), {0x0C, 0x00});
    EXPECT_EQ(Walk(Received(at199)).size(), 1u);
}

TEST(ElementWalk, CutsAValueAtTheLastByteOfTheBuffer) {
    Bytes datagram = PadTo(190);
    datagram.insert(datagram.end(), {0x0F, 0x00, 50});
    for (std::uint8_t i = 0; datagram.size() < ReceiveBufferSize; ++i) {
        datagram.push_back(static_cast<std::uint8_t>('a' + i));
    }
    const auto triples = Walk(Received(datagram));
    ASSERT_EQ(triples.size(), 2u);  // the next head, at 243, lies past the buffer
    EXPECT_EQ(triples[1], (Triple{15, 50, testing::Text("abcdefgh"), 193}));

    // The value that ends exactly at byte 200 is read whole.
    Bytes exact = PadTo(197);
    exact.insert(exact.end(), {0x0F, 0x00, 0x01, 'Z'});
    const auto whole = Walk(Received(exact));
    ASSERT_EQ(whole.size(), 2u);
    EXPECT_EQ(whole[1], (Triple{15, 1, {'Z'}, 200}));
}

}  // namespace
}  // namespace nimbrel
