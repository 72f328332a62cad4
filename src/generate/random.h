// The random deal: a simulated shuffle of one persistent deck, driven by a secure uniform source (how many
// packet steps to take) and the packet generator (how many cards each packet holds).
#pragma once

#include "generate/seeds.h"
#include "model/board.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace orvenix {

// Uniform random numbers from a ChaCha20 key stream with fast key erasure: each refill draws a new key
// together with the output, so numbers already handed out cannot be recomputed from the state. The
// default source is keyed from the operating system's secure random generator; a seeded source gives the
// same numbers for the same seed (tests and reproducible runs).
class UniformSource {
  public:
    // Keyed by the operating system. Throws std::runtime_error when no secure source is available.
    UniformSource();
    // Deterministic: the same seed gives the same sequence.
    explicit UniformSource(std::uint64_t seed);

    // 64 random bits.
    std::uint64_t Next64() {
        if (next_ == buffer_.size()) Refill();
        // A value handed out does not stay behind in the buffer.
        const std::uint64_t v = buffer_[next_];
        buffer_[next_++] = 0;
        return v;
    }
    // A uniform value in [0, 1) with 53 random bits.
    double Random01() { return static_cast<double>(Next64() >> 11) * 0x1.0p-53; }
    [[nodiscard]] bool deterministic() const { return deterministic_; }

  private:
    void Refill();

    std::array<unsigned char, 32> key_{};
    std::array<std::uint64_t, 512> buffer_{};
    std::size_t next_ = 0;
    bool deterministic_ = false;
};

// The packet generator: the 32-bit state S = packetSeedHigh * 65536 + packetSeedLow, multiplied by 69069
// modulo 2^32 at every step (no increment, so an odd state stays odd).
struct PacketGenerator {
    std::int32_t packetSeedLow = 1;  // 0..65535
    std::int32_t packetSeedHigh = 0; // 0..65535
    std::int16_t packetSize = 0;     // size of the last packet drawn, 1..9

    // One step, computed in 16-bit halves (69069 = 65536 + 3533); sets packetSize.
    void NextPacket();
    // The same as k calls of NextPacket (k >= 0; k = 0 changes nothing).
    void Advance(int k);
    [[nodiscard]] std::uint32_t State() const {
        return (static_cast<std::uint32_t>(packetSeedHigh) << 16) | static_cast<std::uint32_t>(packetSeedLow);
    }
};

// The size of a packet drawn with this high half: high / 8192 rounded half to even, plus 1 (1..9).
constexpr std::int16_t PacketSizeOf(std::int32_t high) {
    std::int32_t q = high >> 13;
    const std::int32_t r = high & 8191;
    // Without branches: the rounding is as unpredictable as the state.
    q += static_cast<std::int32_t>((r > 4096) | ((r == 4096) & ((q & 1) != 0)));
    return static_cast<std::int16_t>(q + 1);
}

// Nearest whole number, halves to even, whatever the floating-point rounding mode (|x| < 2^62).
inline long RoundHalfEven(double x) {
    auto whole = static_cast<long>(x); // toward zero
    if (static_cast<double>(whole) > x) --whole;
    const double rest = x - static_cast<double>(whole);
    whole += static_cast<long>((rest > 0.5) | ((rest == 0.5) & ((whole & 1) != 0)));
    return whole;
}

// Card codes at positions 1..52 (position 0 unused).
using Deck = std::array<CardCode, 53>;
// Position p holds card code p.
Deck OrderedDeck();

// Packet seed words fixed by a number, for reproducible runs: the first word is odd.
GeneratorSeeds PacketSeedsFromNumber(std::uint64_t seed);

// Everything random of the program: the uniform source, the packet generator and the deck. The program
// owns one for its whole run and never resets it, so successive deals continue one long shuffle.
class RandomSource {
  public:
    // Secure uniform source; packet generator seeded with the default words until SeedPacketGenerator.
    RandomSource() : RandomSource(GeneratorSeeds{}) {}
    // Secure uniform source; packet generator seeded with the given words.
    explicit RandomSource(const GeneratorSeeds& seeds);
    // A copy would deal the same cards as the original: the source can only be moved.
    RandomSource(const RandomSource&) = delete;
    RandomSource& operator=(const RandomSource&) = delete;
    RandomSource(RandomSource&&) = default;
    RandomSource& operator=(RandomSource&&) = default;
    ~RandomSource() = default;
    // Reproducible: deterministic uniform source and packet seed words from the one number.
    static RandomSource FromSeed(std::uint64_t seed);

    // Seeds the packet generator from the start-up seed words (the low word is made odd).
    void SeedPacketGenerator(const GeneratorSeeds& seeds);
    // Switches to the reproducible source of FromSeed and puts the deck back in order.
    void Reseed(std::uint64_t seed);

    // A uniform value in [0, 1).
    double Random01() { return uniform_.Random01(); }
    // A filler byte 0..254: the whole part of 255 * Random01.
    std::uint8_t FillerByte() { return static_cast<std::uint8_t>(255.0 * Random01()); }
    // Advances the packet generator by one step.
    void NextPacket() { packets_.NextPacket(); }
    // One complete random deal: cardOwner holds 13 cards per seat, every other field is zero.
    Board RandomDeal();

    [[nodiscard]] const PacketGenerator& packets() const { return packets_; }
    [[nodiscard]] const Deck& deck() const { return deck_; }
    [[nodiscard]] bool deterministic() const { return uniform_.deterministic(); }

  private:
    // k = Random01 * 10 + 1 rounded, k packet steps; the packet size after the last.
    int DrawPacket();

    UniformSource uniform_;
    PacketGenerator packets_;
    Deck deck_ = OrderedDeck();
};

} // namespace orvenix
