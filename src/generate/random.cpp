#include "generate/random.h"

#include <sodium.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

namespace orvenix {

namespace {

void InitSodium() {
    if (sodium_init() < 0) throw std::runtime_error("the secure random number source cannot be initialised");
}

// 69069^k modulo 2^32 for k = 0..11: k packet steps in one multiplication.
constexpr std::array<std::uint32_t, 12> MakePowers() {
    std::array<std::uint32_t, 12> p{};
    p[0] = 1;
    for (std::size_t k = 1; k < p.size(); ++k)
        p[k] = p[k - 1] * 69069U;
    return p;
}
constexpr std::array<std::uint32_t, 12> kMultiplierPowers = MakePowers();

std::uint64_t SplitMix64(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

} // namespace

// ---- Uniform source -------------------------------------------------------------------------------

UniformSource::UniformSource() {
    InitSodium();
    randombytes_buf(key_.data(), key_.size());
    next_ = buffer_.size();
}

UniformSource::UniformSource(std::uint64_t seed) : deterministic_(true) {
    InitSodium();
    // The seed in the first eight key bytes (little-endian), a fixed label in the rest.
    for (std::size_t i = 0; i < 8; ++i)
        key_[i] = static_cast<unsigned char>(seed >> (8 * i));
    static constexpr char kLabel[] = "orvenix deal seed stream";
    std::memcpy(key_.data() + 8, kLabel, key_.size() - 8);
    next_ = buffer_.size();
}

void UniformSource::Refill() {
    // One key stream: the first 32 bytes become the next key, the rest is output. The nonce can stay zero
    // because no key is ever used twice.
    static constexpr std::size_t kBytes = sizeof(std::uint64_t) * std::tuple_size_v<decltype(buffer_)>;
    std::array<unsigned char, 32 + kBytes> stream{};
    static constexpr std::array<unsigned char, crypto_stream_chacha20_NONCEBYTES> kNonce{};
    crypto_stream_chacha20(stream.data(), stream.size(), kNonce.data(), key_.data());
    std::memcpy(key_.data(), stream.data(), key_.size());
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(buffer_.data(), stream.data() + 32, kBytes);
    } else {
        for (std::size_t i = 0; i < buffer_.size(); ++i) {
            std::uint64_t v = 0;
            for (std::size_t b = 0; b < 8; ++b)
                v |= static_cast<std::uint64_t>(stream[32 + 8 * i + b]) << (8 * b);
            buffer_[i] = v;
        }
    }
    sodium_memzero(stream.data(), stream.size());
    next_ = 0;
}

// ---- Packet generator -----------------------------------------------------------------------------

void PacketGenerator::NextPacket() {
    const std::int32_t t = packetSeedLow * 3533;
    const std::int32_t high = ((t / 65536) + packetSeedHigh * 3533 + packetSeedLow) & 65535;
    packetSeedLow = t & 65535;
    packetSeedHigh = high;
    packetSize = PacketSizeOf(high);
}

void PacketGenerator::Advance(int k) {
    if (k <= 0) return;
    std::uint32_t s = State();
    while (k > 11) {
        s *= kMultiplierPowers[11];
        k -= 11;
    }
    s *= kMultiplierPowers[static_cast<std::size_t>(k)];
    packetSeedLow = static_cast<std::int32_t>(s & 0xFFFFU);
    packetSeedHigh = static_cast<std::int32_t>(s >> 16);
    packetSize = PacketSizeOf(packetSeedHigh);
}

Deck OrderedDeck() {
    Deck d{};
    for (int p = 1; p <= kCards; ++p)
        d[static_cast<std::size_t>(p)] = static_cast<CardCode>(p);
    return d;
}

GeneratorSeeds PacketSeedsFromNumber(std::uint64_t seed) {
    const std::uint64_t x = SplitMix64(seed);
    GeneratorSeeds s;
    s.first = static_cast<std::uint16_t>((x & 0xFFFFU) | 1U);
    s.second = static_cast<std::uint16_t>((x >> 16) & 0xFFFFU);
    return s;
}

// ---- Random source --------------------------------------------------------------------------------

RandomSource::RandomSource(const GeneratorSeeds& seeds) {
    SeedPacketGenerator(seeds);
}

RandomSource RandomSource::FromSeed(std::uint64_t seed) {
    RandomSource r;
    r.Reseed(seed);
    return r;
}

void RandomSource::SeedPacketGenerator(const GeneratorSeeds& seeds) {
    packets_.packetSeedLow = static_cast<std::int32_t>(seeds.first | 1U);
    packets_.packetSeedHigh = static_cast<std::int32_t>(seeds.second);
    packets_.packetSize = 0;
}

void RandomSource::Reseed(std::uint64_t seed) {
    uniform_ = UniformSource(seed);
    SeedPacketGenerator(PacketSeedsFromNumber(seed));
    deck_ = OrderedDeck();
}

int RandomSource::DrawPacket() {
    const long k = RoundHalfEven(uniform_.Random01() * 10.0 + 1.0);
    const std::uint32_t state = packets_.State() * kMultiplierPowers[static_cast<std::size_t>(k)];
    packets_.packetSeedLow = static_cast<std::int32_t>(state & 0xFFFFU);
    packets_.packetSeedHigh = static_cast<std::int32_t>(state >> 16);
    packets_.packetSize = PacketSizeOf(packets_.packetSeedHigh);
    return packets_.packetSize;
}

Board RandomSource::RandomDeal() {
    // Working copies with room past the 52 cards, so that every packet moves as one copy of a fixed size
    // (no packet holds more than 9 cards); only the first n cards of each copy count.
    constexpr std::size_t kPacketCopy = 16;
    constexpr std::size_t kRoom = 128;
    std::array<CardCode, kRoom> deck{};
    std::array<CardCode, kRoom> pileA{};
    std::array<CardCode, kRoom> pileB{};
    std::memcpy(deck.data(), deck_.data() + 1, kCards);
    for (int pass = 0; pass < 10; ++pass) {
        int countA = 0;
        int countB = 0;
        int p = 0; // deck position - 1
        while (p < kCards) {
            int n = std::min(DrawPacket(), kCards - p);
            std::memcpy(pileA.data() + countA, deck.data() + p, kPacketCopy);
            countA += n;
            p += n;
            // Pile B draws its packet even when the deck is used up (it then takes no card).
            n = std::min(DrawPacket(), kCards - p);
            std::memcpy(pileB.data() + countB, deck.data() + p, kPacketCopy);
            countB += n;
            p += n;
        }
        // Pile B first, then pile A.
        std::memcpy(deck.data(), pileB.data(), 64);
        std::memcpy(deck.data() + countB, pileA.data(), 64);
    }
    std::memcpy(deck_.data() + 1, deck.data(), kCards);
    Board board;
    for (std::size_t p = 0; p < kCards; ++p)
        board.cardOwner[deck[p]] = static_cast<std::uint8_t>(p % 4 + 1);
    return board;
}

} // namespace orvenix
