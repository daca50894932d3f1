// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "discovery/wire.h"
#include "tests/discovery/reply_bytes.h"

namespace nimbrel {
namespace {

using testing::Bytes;
using testing::reply;

struct Triple {
    std::uint8_t type;
    std::uint8_t length;
    Bytes value;
    std::ptrdiff_t offset;  // where the value begins in the datagram

    bool operator==(const Triple&) const = default;
};

std::vector<Triple> walk(const Bytes& datagram) {
    std::vector<Triple> triples;
    walkFieldElements(datagram, [&](const FieldElement& element) {
        // Every byte handed over must lie inside the datagram.
        EXPECT_GE(element.value.data(), datagram.data());
        EXPECT_LE(element.value.data() + element.value.size(), datagram.data() + datagram.size());
        triples.push_back({element.type, element.length,
                           Bytes(element.value.begin(), element.value.end()),
                           element.value.data() - datagram.data()});
    });
    return triples;
}

/// A filler element at byte 4 whose length puts the next element at `position`.
Bytes padTo(int position) {
    Bytes datagram{0x01, 0x00, 0x00, 0xFF, 0x09, 0x00, static_cast<std::uint8_t>(position - 7)};
    datagram.resize(static_cast<std::size_t>(position), 0xAA);
    return datagram;
}

TEST(ReplyCheck, NeedsTheWholeHeaderBeginning010000) {
    EXPECT_TRUE(isDiscoveryReply(Bytes{0x01, 0x00, 0x00, 0x00}));
    EXPECT_TRUE(isDiscoveryReply(Bytes{0x01, 0x00, 0x00, 0xFF, 0x42, 0x42}));
    // Shorter than the header: no reply, whatever an earlier datagram left in a buffer.
    for (const Bytes& shorter :
         {Bytes{}, Bytes{0x01}, Bytes{0x01, 0x00}, Bytes{0x01, 0x00, 0x00}}) {
        EXPECT_FALSE(isDiscoveryReply(shorter)) << shorter.size();
    }
}

TEST(ReplyCheck, RejectsAnyOtherStartWhateverFollows) {
    const Bytes rest{0x00, 0x02, 0x00, 0x0A, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    for (const Bytes& start : {Bytes{0x01, 0x00, 0x01}, Bytes{0x01, 0x01, 0x00},
                               Bytes{0x02, 0x00, 0x00}, Bytes{0x00, 0x00, 0x00}}) {
        Bytes datagram = start;
        datagram.insert(datagram.end(), rest.begin(), rest.end());
        EXPECT_FALSE(isDiscoveryReply(datagram)) << int{start[0]} << int{start[1]} << int{start[2]};
    }
}

TEST(ElementWalk, YieldsNothingForAnEmptyArea) {
    EXPECT_TRUE(walk({0x01, 0x00, 0x00, 0x00}).empty());
    EXPECT_TRUE(walk({0x01}).empty());
    // Area length 0 hides the element bytes that follow the header.
    EXPECT_TRUE(walk({0x01, 0x00, 0x00, 0x00, 0x0C, 0x00, 0x02, 'A', 'B'}).empty());
}

TEST(ElementWalk, YieldsElementsInOrderWithRepeatsAndEmptyValues) {
    const Bytes datagram = reply({{12, testing::text("AP")}, {5, {}}, {12, testing::text("B")}});
    const std::vector<Triple> expected{
        {12, 2, testing::text("AP"), 7}, {5, 0, {}, 12}, {12, 1, testing::text("B"), 15}};
    EXPECT_EQ(walk(datagram), expected);
}

TEST(ElementWalk, IgnoresTheSecondByteOfAnElement) {
    const Bytes ten{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const auto first = walk(reply({{FieldAddress, ten, 0x00}}));
    const auto second = walk(reply({{FieldAddress, ten, 0x7F}}));
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first[0].value, ten);
}

TEST(ElementWalk, TakesAnElementWholeWhenItBeginsInsideTheArea) {
    const Bytes datagram{0x01, 0x00, 0x00, 0x05, 0x03, 0x00, 0x08, 'v',  '1', '.',
                         '2',  '.',  '3',  '4',  '5',  0x0C, 0x00, 0x01, 'X'};
    const std::vector<Triple> expected{{3, 8, testing::text("v1.2.345"), 7}};
    EXPECT_EQ(walk(datagram), expected);  // position 15 is past the area's end 9
}

TEST(ElementWalk, ReadsOnlyTheDatagramsOwnBytes) {
    // Header only, area length 3: no element head lies inside the datagram.
    EXPECT_TRUE(walk({0x01, 0x00, 0x00, 0x03}).empty());

    // An area that claims more than the datagram has: the head at 7 is taken, its value cut.
    const Bytes cut{0x01, 0x00, 0x00, 0x40, 0x0C, 0x00, 0x08, 'M', 'O'};
    EXPECT_EQ(walk(cut), (std::vector<Triple>{{12, 8, testing::text("MO"), 7}}));

    // A head cut off after its type byte ends the walk.
    EXPECT_EQ(walk({0x01, 0x00, 0x00, 0x10, 0x03, 0x00, 0x00, 0x0C, 0x00}).size(), 1u);
}

TEST(ElementWalk, WalksADatagramOfTheLongestSizeToItsLastByte) {
    Bytes datagram = padTo(190);
    datagram.insert(datagram.end(), {0x0F, 0x00, 50});
    for (std::uint8_t i = 0; datagram.size() < MaxDatagramSize; ++i) {
        datagram.push_back(static_cast<std::uint8_t>('a' + i));
    }
    const auto triples = walk(datagram);
    ASSERT_EQ(triples.size(), 2u);  // the next head, at 243, lies past the datagram
    EXPECT_EQ(triples[1], (Triple{15, 50, testing::text("abcdefgh"), 193}));

    // A value that ends exactly at the last byte is read whole.
    Bytes exact = padTo(197);
    exact.insert(exact.end(), {0x0F, 0x00, 0x01, 'Z'});
    const auto whole = walk(exact);
    ASSERT_EQ(whole.size(), 2u);
    EXPECT_EQ(whole[1], (Triple{15, 1, {'Z'}, 200}));
}

}  // namespace
}  // namespace nimbrel
