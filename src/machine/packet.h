// Packets between the program and the machine: 8-byte short and 136-byte long packets, each checksummed
// and scrambled with a running XOR key, and the fixed tables that map pockets, seats and board labels.
#pragma once

#include "model/board.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace orvenix {

inline constexpr std::size_t kShortPacket = 8;
inline constexpr std::size_t kLongPacket = 136;
inline constexpr std::size_t kPacketBuffer = 137; // indices 0 to 136; index 136 is never on the wire
inline constexpr std::uint8_t kLongCodeBit = 0x80;
inline constexpr std::uint8_t kSendKeyStep = 0x17;    // program to machine
inline constexpr std::uint8_t kReceiveKeyStep = 0x15; // machine to program
inline constexpr std::size_t kFirstCardByte = 8;      // card bytes 8 to 59

using PacketBuffer = std::array<std::uint8_t, kPacketBuffer>;
using PocketCode = std::uint8_t; // 1 = South, 2 = West, 3 = East, 4 = North; 0 = no pocket

// Command codes the program sends.
namespace cmd {
inline constexpr std::uint8_t kStatus = 0x19;
inline constexpr std::uint8_t kInfo = 0x1A;
inline constexpr std::uint8_t kParameterBlock = 0x12;
inline constexpr std::uint8_t kSensors = 0x1B; // sub-code 4: board-number label
inline constexpr std::uint8_t kReadResult = 0x1D;
inline constexpr std::uint8_t kDeal = 0x98;
inline constexpr std::uint8_t kRead = 0x9C;
// Maintenance and firmware download.
inline constexpr std::uint8_t kSendImage = 0x01;
inline constexpr std::uint8_t kCapture = 0x0A;
inline constexpr std::uint8_t kSymbolSize = 0x0F;
inline constexpr std::uint8_t kSuitSize = 0x10;
inline constexpr std::uint8_t kReadParameters = 0x11;
inline constexpr std::uint8_t kWriteParameters = 0x13;
inline constexpr std::uint8_t kRecognise = 0x15;
inline constexpr std::uint8_t kOutputs = 0x17;
inline constexpr std::uint8_t kDownloadStart = 0x29;
inline constexpr std::uint8_t kCounters = 0x33;
inline constexpr std::uint8_t kDownloadData = 0xAA;
} // namespace cmd

// Reply codes the program decodes.
namespace reply {
inline constexpr std::uint8_t kBusy = 0x18;
inline constexpr std::uint8_t kStatus = 0x19;
inline constexpr std::uint8_t kStatusLong = 0x9C;
inline constexpr std::uint8_t kReadResult = 0x9D;
inline constexpr std::uint8_t kInfo = 0x1A;
inline constexpr std::uint8_t kParameterBlock = 0x12;
inline constexpr std::uint8_t kSensors = 0x1B;
inline constexpr std::uint8_t kImageLine = 0x81;
inline constexpr std::uint8_t kCounters = 0xB3;
} // namespace reply

// Status byte values: 0 idle, above 0xF0 busy, anything else a machine error code.
inline constexpr std::uint8_t kStatusIdle = 0;
inline constexpr std::uint8_t kStatusBusyAbove = 0xF0;

// Status request bits (byte 1 of 0x19).
inline constexpr std::uint8_t kRequestBreak = 1;
inline constexpr std::uint8_t kRequestAckPedal = 2;
inline constexpr std::uint8_t kRequestAckBox = 4;

// Status flag bits (byte 6 of a status reply).
inline constexpr std::uint8_t kFlagBoxReset = 4;
inline constexpr std::uint8_t kFlagPedal = 8;
inline constexpr std::uint8_t kFlagBox = 16;

// Wire size of a packet whose (plain) code byte is code.
constexpr std::size_t PacketSize(std::uint8_t code) {
    return (code & kLongCodeBit) ? kLongPacket : kShortPacket;
}

// Checksums and scrambles the plain packet p (8 or 136 bytes) into wire, stepping the key by keyStep.
// For a long packet p[7] is set to 0 first. The program sends with kSendKeyStep; the machine answers with
// kReceiveKeyStep.
void ScramblePacket(PacketBuffer& p, std::size_t size, std::uint8_t keyStep, PacketBuffer& wire);

// Descrambles wire bytes 0 to 6 into p with the key taken from wire[7] (the code byte tells the size).
// Returns the key to go on with for bytes 8 to 135 of a long packet.
std::uint8_t DescrambleHead(const PacketBuffer& wire, std::uint8_t keyStep, PacketBuffer& p);
// Descrambles wire bytes 8 to 135 of a long packet, continuing the key.
void DescrambleTail(const PacketBuffer& wire, std::uint8_t key, std::uint8_t keyStep, PacketBuffer& p);
// True when the descrambled packet p with the wire check byte sums to 0xFF.
bool PacketChecksumGood(const PacketBuffer& p, std::uint8_t wireCheck, std::size_t size);

// ---- Fixed tables --------------------------------------------------------------------------------
inline constexpr std::array<PocketCode, 5> SeatToPocket{0, 4, 3, 1, 2};
inline constexpr std::array<Seat, 5> PocketToSeat{0, 3, 4, 2, 1};

// The packet byte of card code c (1..52): within each suit block the two comes first, the ace last.
constexpr std::size_t CardWirePosition(int c) {
    const int s = SuitOf(c);
    const int r = RankOf(c);
    return kFirstCardByte + static_cast<std::size_t>(13 * (s - 1) + (13 - r));
}

// Board-number label codes: the 70 byte values with exactly four bits set, in ascending order, are the
// boards 1 to 70; every other code is 0 (unreadable).
constexpr std::array<std::uint8_t, 257> MakeBoardLabelTable() {
    std::array<std::uint8_t, 257> t{};
    int board = 0;
    for (int v = 0; v < 256; ++v) {
        int bits = 0;
        for (int b = v; b != 0; b >>= 1)
            bits += b & 1;
        if (bits == 4) t[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(++board);
    }
    return t;
}
inline constexpr std::array<std::uint8_t, 257> BoardLabelTable = MakeBoardLabelTable();
inline constexpr int kLabelledBoards = 70;

// The label code of board n (1 to 70); 0 for boards without a label code.
std::uint8_t BoardLabelCode(int n);

// A firmware version as two hexadecimal digits each, joined by ".": 0x02, 0x40 give "2.40".
std::string FirmwareText(std::uint8_t major, std::uint8_t minor);
// True when the firmware is at least major.minor, comparing the raw bytes (2.40 is 0x02, 0x40).
constexpr bool FirmwareAtLeast(std::uint8_t haveMajor, std::uint8_t haveMinor, std::uint8_t major,
                               std::uint8_t minor) {
    return haveMajor > major || (haveMajor == major && haveMinor >= minor);
}

} // namespace orvenix
