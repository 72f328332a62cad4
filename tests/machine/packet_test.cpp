// Framing, checksum and scrambling of packets, and the fixed pocket, card-position and label tables.
#include "machine/link.h"
#include "machine/packet.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace orvenix {
namespace {

std::vector<std::uint8_t> SendWire(std::initializer_list<std::uint8_t> head, std::size_t size) {
    PacketBuffer p{};
    std::size_t i = 0;
    for (std::uint8_t b : head)
        p[i++] = b;
    PacketBuffer wire{};
    ScramblePacket(p, size, kSendKeyStep, wire);
    return {wire.begin(), wire.begin() + static_cast<std::ptrdiff_t>(size)};
}

TEST(PacketScrambling, AllZeroShortCommandStepsTheKeyAfterEveryByte) {
    EXPECT_EQ(SendWire({0, 0, 0, 0, 0, 0, 0}, kShortPacket),
              (std::vector<std::uint8_t>{0x00, 0x17, 0x2E, 0x45, 0x5C, 0x73, 0x8A, 0xFF}));
}

TEST(PacketScrambling, StatusBreakCommandMatchesTheWireExample) {
    EXPECT_EQ(SendWire({0x19, 0x01, 0, 0, 0, 0, 0}, kShortPacket),
              (std::vector<std::uint8_t>{0x03, 0x30, 0x48, 0x5F, 0x76, 0x8D, 0xA4, 0xE5}));
}

TEST(PacketScrambling, LongCommandIgnoresByteSevenAndContinuesTheKeyAtByteEight) {
    PacketBuffer p{};
    p[0] = 0x98;
    p[7] = 0x55; // whatever was there, it is not part of the sum
    PacketBuffer wire{};
    ScramblePacket(p, kLongPacket, kSendKeyStep, wire);
    EXPECT_EQ(p[7], 0);
    EXPECT_EQ(wire[7], 0x98 ^ 0xFF);
    EXPECT_EQ(wire[0], 0x00);
    for (int i = 1; i <= 6; ++i)
        EXPECT_EQ(wire[static_cast<std::size_t>(i)], (0x98 + 0x17 * i) & 0xFF) << i;
    // Byte 8 takes the eighth key value, byte 135 the 135th.
    EXPECT_EQ(wire[8], (0x98 + 0x17 * 7) & 0xFF);
    EXPECT_EQ(wire[135], (0x98 + 0x17 * 134) & 0xFF);
}

TEST(PacketScrambling, SumIncludesThePayloadOfLongPackets) {
    PacketBuffer p{};
    p[0] = 0x9C;
    p[100] = 0x10;
    PacketBuffer wire{};
    ScramblePacket(p, kLongPacket, kSendKeyStep, wire);
    EXPECT_EQ(wire[7], ((0x9C + 0x10) & 0xFF) ^ 0xFF);
}

TEST(PacketScrambling, ReplyRoundTripsWithTheReceiveKeyStep) {
    for (std::uint8_t code : {std::uint8_t{0x1A}, std::uint8_t{0x9D}}) {
        PacketBuffer p{};
        p[0] = code;
        for (std::size_t i = 1; i < kLongPacket; ++i)
            p[i] = static_cast<std::uint8_t>(i * 37 + 11);
        const std::size_t size = PacketSize(code);
        PacketBuffer wire{};
        ScramblePacket(p, size, kReceiveKeyStep, wire);
        PacketBuffer back{};
        const std::uint8_t key = DescrambleHead(wire, kReceiveKeyStep, back);
        if (size == kLongPacket) DescrambleTail(wire, key, kReceiveKeyStep, back);
        for (std::size_t i = 0; i < size; ++i) {
            if (i != 7) {
                EXPECT_EQ(back[i], p[i]) << "byte " << i;
            }
        }
        EXPECT_TRUE(PacketChecksumGood(back, wire[7], size));
        // Descrambling with the other direction's step does not give the packet back.
        PacketBuffer wrong{};
        DescrambleHead(wire, kSendKeyStep, wrong);
        EXPECT_NE(wrong[2], p[2]);
    }
}

TEST(PacketScrambling, ChecksumRejectsASumOfFE) {
    PacketBuffer p{};
    p[0] = 0x19;
    p[1] = 3;
    EXPECT_TRUE(PacketChecksumGood(p, static_cast<std::uint8_t>(0xFF - 0x1C), kShortPacket));
    EXPECT_FALSE(PacketChecksumGood(p, static_cast<std::uint8_t>(0xFE - 0x1C), kShortPacket));
}

TEST(PacketSize, HighBitOfTheCodeMakesALongPacket) {
    EXPECT_EQ(PacketSize(0x19), kShortPacket);
    EXPECT_EQ(PacketSize(0x7F), kShortPacket);
    EXPECT_EQ(PacketSize(0x80), kLongPacket);
    EXPECT_EQ(PacketSize(0x9D), kLongPacket);
}

TEST(PocketTables, SeatsAndPocketsAreInverse) {
    EXPECT_EQ(SeatToPocket[0], 0);
    EXPECT_EQ(SeatToPocket[1], 4); // N
    EXPECT_EQ(SeatToPocket[2], 3); // E
    EXPECT_EQ(SeatToPocket[3], 1); // S
    EXPECT_EQ(SeatToPocket[4], 2); // W
    EXPECT_EQ(PocketToSeat[0], 0);
    for (Seat s = 1; s <= 4; ++s)
        EXPECT_EQ(PocketToSeat[SeatToPocket[s]], s);
}

TEST(CardWirePosition, TwoFirstAceLastWithinEachSuit) {
    EXPECT_EQ(CardWirePosition(13), 8u);  // two of spades
    EXPECT_EQ(CardWirePosition(1), 20u);  // ace of spades
    EXPECT_EQ(CardWirePosition(26), 21u); // two of hearts
    EXPECT_EQ(CardWirePosition(40), 59u); // ace of clubs
    std::set<std::size_t> positions;
    for (int c = 1; c <= 52; ++c)
        positions.insert(CardWirePosition(c));
    EXPECT_EQ(positions.size(), 52u);
    EXPECT_EQ(*positions.begin(), 8u);
    EXPECT_EQ(*positions.rbegin(), 59u);
}

TEST(BoardLabelTable, FourBitCodesNumberTheFirstSeventyBoards) {
    EXPECT_EQ(BoardLabelTable[15], 1);
    EXPECT_EQ(BoardLabelTable[23], 2);
    EXPECT_EQ(BoardLabelTable[27], 3);
    EXPECT_EQ(BoardLabelTable[240], 70);
    EXPECT_EQ(BoardLabelTable[232], 69);
    EXPECT_EQ(BoardLabelTable[16], 0); // one bit
    EXPECT_EQ(BoardLabelTable[0], 0);
    EXPECT_EQ(BoardLabelTable[31], 0); // five bits
    EXPECT_EQ(BoardLabelTable[255], 0);
    EXPECT_EQ(BoardLabelTable[256], 0);
    int labelled = 0;
    for (std::size_t v = 0; v < 256; ++v)
        labelled += BoardLabelTable[v] != 0;
    EXPECT_EQ(labelled, 70);
    for (int n = 1; n <= 70; ++n)
        EXPECT_EQ(BoardLabelTable[BoardLabelCode(n)], n);
    EXPECT_EQ(BoardLabelCode(0), 0);
    EXPECT_EQ(BoardLabelCode(71), 0);
}

TEST(FirmwareVersion, HexDigitPairsAndRawComparison) {
    EXPECT_EQ(FirmwareText(0x02, 0x40), "2.40");
    EXPECT_EQ(FirmwareText(0x02, 0x05), "2.05");
    EXPECT_EQ(FirmwareText(0x03, 0x1A), "3.1A");
    EXPECT_TRUE(FirmwareAtLeast(2, 0x40, 2, 0x40));
    EXPECT_FALSE(FirmwareAtLeast(2, 0x39, 2, 0x40));
    EXPECT_TRUE(FirmwareAtLeast(3, 0x00, 2, 0x40));
    EXPECT_FALSE(FirmwareAtLeast(1, 0x99, 2, 0x24));
}

TEST(FillerByte, StaysWithinZeroTo254) {
    std::set<int> seen;
    for (int i = 0; i < 20000; ++i) {
        const int b = RandomFillerByte();
        ASSERT_LE(b, 254);
        seen.insert(b);
    }
    EXPECT_GT(seen.size(), 200u); // spread over the range, not a constant
}

TEST(SequenceBytes, FollowTheIndex) {
    EXPECT_EQ(SequenceFirstByte(0), 11);
    EXPECT_EQ(SequenceSecondByte(0), 36);
    EXPECT_EQ(SequenceFirstByte(3), 161);
    EXPECT_EQ(SequenceSecondByte(3), 186);
}

} // namespace
} // namespace orvenix
