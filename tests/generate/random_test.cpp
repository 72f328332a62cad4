#include "generate/random.h"
#include "model/shapes.h"
#include "model/board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

using namespace orvenix;

namespace {

// Critical value of the chi-square distribution with `dof` degrees of freedom at the standard-normal
// quantile z (Wilson-Hilferty); z = 4.75 is a tail of about one in a million.
double ChiSquareCritical(int dof, double z = 4.75) {
    const double k = dof;
    const double a = 2.0 / (9.0 * k);
    return k * std::pow(1.0 - a + z * std::sqrt(a), 3.0);
}

// A straightforward rendering of the shuffle, one packet step at a time and with growing piles, fed by
// its own copies of the two generators.
class ReferenceShuffle {
  public:
    explicit ReferenceShuffle(std::uint64_t seed) : uniform_(seed) {
        const GeneratorSeeds s = PacketSeedsFromNumber(seed);
        packets_.packetSeedLow = s.first | 1;
        packets_.packetSeedHigh = s.second;
        for (int p = 1; p <= 52; ++p)
            deck_.push_back(static_cast<CardCode>(p));
    }

    Board Deal() {
        for (int pass = 0; pass < 10; ++pass) {
            std::vector<CardCode> a;
            std::vector<CardCode> b;
            std::size_t p = 0;
            while (p < 52) {
                for (std::vector<CardCode>* pile : {&a, &b}) {
                    const double x = uniform_.Random01() * 10 + 1;
                    long k = std::lround(std::floor(x));
                    if (x - std::floor(x) > 0.5 || (x - std::floor(x) == 0.5 && k % 2 == 1)) ++k;
                    for (long i = 0; i < k; ++i)
                        packets_.NextPacket();
                    const std::size_t n =
                        std::min<std::size_t>(static_cast<std::size_t>(packets_.packetSize), 52 - p);
                    pile->insert(pile->end(), deck_.begin() + static_cast<long>(p),
                                 deck_.begin() + static_cast<long>(p + n));
                    p += n;
                }
            }
            deck_ = b;
            deck_.insert(deck_.end(), a.begin(), a.end());
        }
        Board board;
        for (std::size_t p = 0; p < 52; ++p)
            board.cardOwner[deck_[p]] = static_cast<std::uint8_t>(p % 4 + 1);
        return board;
    }

  private:
    UniformSource uniform_;
    PacketGenerator packets_;
    std::vector<CardCode> deck_;
};

std::array<int, 5> SeatCounts(const Board& b) {
    std::array<int, 5> n{};
    for (int c = 1; c <= 52; ++c)
        ++n[b.cardOwner[c] <= 4 ? b.cardOwner[c] : 0];
    return n;
}

} // namespace

TEST(PacketGenerator, HalvesFollowTheMultiplier69069) {
    const std::vector<std::pair<int, int>> seeds{{1, 0}, {0xFFFF, 0xFFFF}, {0x8001, 0x7FFF}, {12345, 6789}};
    for (const auto& [low, high] : seeds) {
        PacketGenerator g;
        g.packetSeedLow = low;
        g.packetSeedHigh = high;
        std::uint32_t s = static_cast<std::uint32_t>(high) * 65536U + static_cast<std::uint32_t>(low);
        for (int step = 0; step < 5000; ++step) {
            g.NextPacket();
            s *= 69069U;
            ASSERT_EQ(g.State(), s) << "step " << step;
            ASSERT_GE(g.packetSeedLow, 0);
            ASSERT_LE(g.packetSeedLow, 65535);
            ASSERT_GE(g.packetSeedHigh, 0);
            ASSERT_LE(g.packetSeedHigh, 65535);
            ASSERT_EQ(g.packetSeedLow & 1, low & 1) << "no increment: the parity of the state is kept";
            ASSERT_GE(g.packetSize, 1);
            ASSERT_LE(g.packetSize, 9);
        }
    }
}

TEST(PacketGenerator, FirstStepsFromSeedOne) {
    PacketGenerator g; // state 1
    g.NextPacket();
    EXPECT_EQ(g.State(), 69069U);
    EXPECT_EQ(g.packetSeedHigh, 1); // 69069 = 1 * 65536 + 3533
    EXPECT_EQ(g.packetSeedLow, 3533);
    EXPECT_EQ(g.packetSize, 1);
    g.NextPacket();
    EXPECT_EQ(g.State(), 69069U * 69069U);
}

TEST(PacketGenerator, AdvanceEqualsRepeatedSteps) {
    for (int k = 0; k <= 30; ++k) {
        PacketGenerator stepped;
        stepped.packetSeedLow = 0x2F1D;
        stepped.packetSeedHigh = 0x0815;
        stepped.packetSize = 7;
        PacketGenerator jumped = stepped;
        for (int i = 0; i < k; ++i)
            stepped.NextPacket();
        jumped.Advance(k);
        EXPECT_EQ(jumped.State(), stepped.State()) << k;
        EXPECT_EQ(jumped.packetSize, stepped.packetSize) << k;
    }
}

TEST(PacketGenerator, PacketSizeRoundsHalvesToEven) {
    EXPECT_EQ(PacketSizeOf(0), 1);
    EXPECT_EQ(PacketSizeOf(4095), 1);
    EXPECT_EQ(PacketSizeOf(4096), 1); // 0.5 -> 0
    EXPECT_EQ(PacketSizeOf(4097), 2);
    EXPECT_EQ(PacketSizeOf(8192), 2);
    EXPECT_EQ(PacketSizeOf(12287), 2);
    EXPECT_EQ(PacketSizeOf(12288), 3); // 1.5 -> 2
    EXPECT_EQ(PacketSizeOf(20480), 3); // 2.5 -> 2
    EXPECT_EQ(PacketSizeOf(61440), 9); // 7.5 -> 8
    EXPECT_EQ(PacketSizeOf(65535), 9);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(10.5), 10);
    EXPECT_EQ(RoundHalfEven(std::nextafter(10.5, 11.0)), 11);
    EXPECT_EQ(RoundHalfEven(std::nextafter(1.5, 1.0)), 1);
    EXPECT_EQ(RoundHalfEven(1.0), 1);
    EXPECT_EQ(RoundHalfEven(10.999999), 11);
}

TEST(PacketSeeds, FixedByTheNumberAndOdd) {
    for (std::uint64_t seed : {0ULL, 1ULL, 42ULL, ~0ULL}) {
        const GeneratorSeeds a = PacketSeedsFromNumber(seed);
        const GeneratorSeeds b = PacketSeedsFromNumber(seed);
        EXPECT_EQ(a.first, b.first);
        EXPECT_EQ(a.second, b.second);
        EXPECT_EQ(a.first & 1, 1);
    }
    EXPECT_NE(PacketSeedsFromNumber(1).first, PacketSeedsFromNumber(2).first);
}

TEST(UniformSource, ValuesInUnitIntervalWith53Bits) {
    UniformSource u(7);
    int lowBitSet = 0;
    double sum = 0;
    constexpr int kDraws = 200000;
    for (int i = 0; i < kDraws; ++i) {
        const double x = u.Random01();
        ASSERT_GE(x, 0.0);
        ASSERT_LT(x, 1.0);
        sum += x;
        const double scaled = std::ldexp(x, 53);
        ASSERT_EQ(scaled, std::floor(scaled)) << "a multiple of 2^-53";
        if (std::fmod(scaled, 2.0) == 1.0) ++lowBitSet;
    }
    EXPECT_NEAR(sum / kDraws, 0.5, 0.005);
    // The 53rd bit is random too: about half of the values have it.
    EXPECT_NEAR(static_cast<double>(lowBitSet) / kDraws, 0.5, 0.01);
}

TEST(UniformSource, SeededSourcesRepeatOthersDiffer) {
    UniformSource a(99);
    UniformSource b(99);
    UniformSource c(100);
    UniformSource secure1;
    UniformSource secure2;
    EXPECT_TRUE(a.deterministic());
    EXPECT_FALSE(secure1.deterministic());
    int sameAsOtherSeed = 0;
    int secureSame = 0;
    // Across several refills of the buffer.
    for (int i = 0; i < 3000; ++i) {
        const std::uint64_t x = a.Next64();
        ASSERT_EQ(x, b.Next64());
        if (x == c.Next64()) ++sameAsOtherSeed;
        if (secure1.Next64() == secure2.Next64()) ++secureSame;
    }
    EXPECT_EQ(sameAsOtherSeed, 0);
    EXPECT_EQ(secureSame, 0);
}

TEST(RandomSource, FillerBytesStayBelow255) {
    RandomSource r = RandomSource::FromSeed(3);
    std::array<int, 256> seen{};
    for (int i = 0; i < 100000; ++i)
        ++seen[r.FillerByte()];
    EXPECT_EQ(seen[255], 0);
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[254], 0);
}

TEST(RandomDeal, EveryDealIsCompleteWithThirteenCardsPerSeat) {
    RandomSource r; // the secure source of the program
    for (int i = 0; i < 3000; ++i) {
        Board b = r.RandomDeal();
        const auto n = SeatCounts(b);
        ASSERT_EQ(n[0], 0) << "every card placed";
        for (int seat = 1; seat <= 4; ++seat)
            ASSERT_EQ(n[static_cast<std::size_t>(seat)], 13);
        // Only the cards are set.
        EXPECT_EQ(b.number, 0);
        EXPECT_EQ(b.dealer, 0);
        EXPECT_EQ(b.vulnerability, 0);
        EXPECT_EQ(b.status, 0);
        EXPECT_EQ(b.cardOwner[0], 0);
        EXPECT_EQ(AnalyseBoard(b), 4);
        EXPECT_EQ(b.status, kBoardComplete);
        // The deck stays a permutation of the 52 cards.
        std::set<int> cards(r.deck().begin() + 1, r.deck().end());
        ASSERT_EQ(cards.size(), 52U);
        ASSERT_EQ(*cards.begin(), 1);
        ASSERT_EQ(*cards.rbegin(), 52);
    }
}

TEST(RandomDeal, FollowsTheShuffleStepByStep) {
    for (std::uint64_t seed : {1ULL, 2024ULL}) {
        RandomSource fast = RandomSource::FromSeed(seed);
        ReferenceShuffle reference(seed);
        for (int i = 0; i < 200; ++i)
            ASSERT_EQ(fast.RandomDeal().cardOwner, reference.Deal().cardOwner) << i;
    }
}

TEST(RandomDeal, SameSeedSameDealsAndTheShuffleContinues) {
    RandomSource a = RandomSource::FromSeed(5);
    RandomSource b = RandomSource::FromSeed(5);
    RandomSource c = RandomSource::FromSeed(6);
    std::vector<Board> deals;
    for (int i = 0; i < 20; ++i) {
        Board x = a.RandomDeal();
        EXPECT_EQ(x, b.RandomDeal());
        EXPECT_NE(x.cardOwner, c.RandomDeal().cardOwner);
        deals.push_back(x);
    }
    for (std::size_t i = 1; i < deals.size(); ++i)
        EXPECT_NE(deals[i].cardOwner, deals[i - 1].cardOwner);
    // Reseeding starts the same sequence again from an ordered deck.
    a.Reseed(5);
    EXPECT_EQ(a.deck(), OrderedDeck());
    EXPECT_EQ(a.RandomDeal(), deals[0]);
}

TEST(RandomDeal, PacketSeedsComeFromTheStartUpWords) {
    RandomSource r(GeneratorSeeds{0x1234, 0x0ABC});
    EXPECT_EQ(r.packets().packetSeedLow, 0x1235); // made odd
    EXPECT_EQ(r.packets().packetSeedHigh, 0x0ABC);
    r.SeedPacketGenerator({0x0F0F, 7});
    EXPECT_EQ(r.packets().packetSeedLow, 0x0F0F);
    EXPECT_EQ(r.packets().packetSeedHigh, 7);
}

// Fairness with a fixed seed, so the outcome is the same on every run.
TEST(RandomDealFairness, EveryCardInEverySeatAQuarterOfTheTime) {
    RandomSource r = RandomSource::FromSeed(20260101);
    constexpr int kDeals = 40000;
    std::array<std::array<int, 5>, 53> count{};
    // Seat of each card in one deal against the next: a weak shuffle of the persistent deck would carry
    // the previous deal over.
    std::array<std::array<int, 16>, 53> pair{};
    Board previous = r.RandomDeal();
    for (int i = 0; i < kDeals; ++i) {
        const Board b = r.RandomDeal();
        for (int c = 1; c <= 52; ++c) {
            ++count[c][b.cardOwner[c]];
            ++pair[c][(previous.cardOwner[c] - 1) * 4 + (b.cardOwner[c] - 1)];
        }
        previous = b;
    }
    double chi = 0;
    double chiPairs = 0;
    for (int c = 1; c <= 52; ++c) {
        for (int s = 1; s <= 4; ++s) {
            const double share = static_cast<double>(count[c][s]) / kDeals;
            EXPECT_NEAR(share, 0.25, 0.015) << "card " << c << " seat " << s;
            const double e = kDeals / 4.0;
            chi += (count[c][s] - e) * (count[c][s] - e) / e;
        }
        for (int k = 0; k < 16; ++k) {
            const double e = kDeals / 16.0;
            chiPairs += (pair[c][k] - e) * (pair[c][k] - e) / e;
        }
    }
    EXPECT_LT(chi, ChiSquareCritical(52 * 3));
    EXPECT_LT(chiPairs, ChiSquareCritical(52 * 15));
}

TEST(RandomDealFairness, HandShapesFollowTheTable) {
    RandomSource r = RandomSource::FromSeed(77);
    constexpr int kDeals = 25000;
    std::array<int, 41> tally{};
    for (int i = 0; i < kDeals; ++i) {
        const Board b = r.RandomDeal();
        for (int seat = 1; seat <= 4; ++seat)
            ++tally[static_cast<std::size_t>(FindShape(GetHandShape(b, seat)))];
    }
    ASSERT_EQ(tally[0], 0) << "every hand has a shape of the table";
    // Shapes in index order; the rare tail is pooled until its expected count reaches 20.
    const double hands = 4.0 * kDeals;
    double chi = 0;
    int cells = 0;
    double pooledExpected = 0;
    double pooledObserved = 0;
    for (int i = 1; i <= kShapeCount; ++i) {
        const double e = hands * kShapeTable[static_cast<std::size_t>(i)].frequency;
        if (e >= 20) {
            chi += (tally[static_cast<std::size_t>(i)] - e) * (tally[static_cast<std::size_t>(i)] - e) / e;
            ++cells;
        } else {
            pooledExpected += e;
            pooledObserved += tally[static_cast<std::size_t>(i)];
        }
    }
    ASSERT_GE(pooledExpected, 20);
    chi += (pooledObserved - pooledExpected) * (pooledObserved - pooledExpected) / pooledExpected;
    ++cells;
    EXPECT_GE(cells, 20);
    EXPECT_LT(chi, ChiSquareCritical(cells - 1));
    // The most common shape, 4432, in about 21.55% of the hands.
    EXPECT_NEAR(tally[1] / hands, 0.215512, 0.006);
}
