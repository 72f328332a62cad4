#include "machine/packet.h"

#include <cstdio>

namespace orvenix {

void ScramblePacket(PacketBuffer& p, std::size_t size, std::uint8_t keyStep, PacketBuffer& wire) {
    if (size != kLongPacket) size = kShortPacket;
    if (size == kLongPacket) p[7] = 0;
    unsigned sum = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (i != 7) sum += p[i];
    }
    const auto s = static_cast<std::uint8_t>(sum);
    wire[7] = static_cast<std::uint8_t>(s ^ 0xFF);
    std::uint8_t key = s;
    for (std::size_t i = 0; i < size; ++i) {
        if (i == 7) continue;
        wire[i] = static_cast<std::uint8_t>(p[i] ^ key);
        key = static_cast<std::uint8_t>(key + keyStep);
    }
}

std::uint8_t DescrambleHead(const PacketBuffer& wire, std::uint8_t keyStep, PacketBuffer& p) {
    auto key = static_cast<std::uint8_t>(wire[7] ^ 0xFF);
    for (std::size_t i = 0; i < 7; ++i) {
        p[i] = static_cast<std::uint8_t>(wire[i] ^ key);
        key = static_cast<std::uint8_t>(key + keyStep);
    }
    p[7] = wire[7];
    return key;
}

void DescrambleTail(const PacketBuffer& wire, std::uint8_t key, std::uint8_t keyStep, PacketBuffer& p) {
    for (std::size_t i = kShortPacket; i < kLongPacket; ++i) {
        p[i] = static_cast<std::uint8_t>(wire[i] ^ key);
        key = static_cast<std::uint8_t>(key + keyStep);
    }
}

bool PacketChecksumGood(const PacketBuffer& p, std::uint8_t wireCheck, std::size_t size) {
    unsigned sum = wireCheck;
    for (std::size_t i = 0; i < size; ++i) {
        if (i != 7) sum += p[i];
    }
    return (sum & 0xFF) == 0xFF;
}

std::uint8_t BoardLabelCode(int n) {
    if (n < 1 || n > kLabelledBoards) return 0;
    for (std::size_t v = 0; v < 256; ++v) {
        if (BoardLabelTable[v] == n) return static_cast<std::uint8_t>(v);
    }
    return 0;
}

std::string FirmwareText(std::uint8_t major, std::uint8_t minor) {
    char text[16];
    std::snprintf(text, sizeof text, "%X.%02X", major, minor);
    return text;
}

} // namespace orvenix
