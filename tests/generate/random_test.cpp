// The random source of the dealing: the packet generator, the uniform source and the shuffle, checked
// against a plain rendering of the shuffle and for fairness.
#include "generate/random.h"
#include "model/board.h"
#include "model/shapes.h"

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
    const double a = 2.0 / (9.0 * dof);
    return dof * std::pow(1.0 - a + z * std::sqrt(a), 3.0);
}

// The shuffle one packet step at a time and with growing piles: ten passes in which packets of the deck
// go to two piles in turn, each after 1 to 11 packet steps, and the second pile goes on top.
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
            std::vector<CardCode> piles[2];
            for (std::size_t p = 0; p < 52;) {
                for (auto& pile : piles) {
                    for (long i = 0, k = RoundHalfEven(uniform_.Random01() * 10 + 1); i < k; ++i)
                        packets_.NextPacket();
                    const std::size_t n =
                        std::min<std::size_t>(static_cast<std::size_t>(packets_.packetSize), 52 - p);
                    pile.insert(pile.end(), deck_.begin() + static_cast<long>(p),
                                deck_.begin() + static_cast<long>(p + n));
                    p += n;
                }
            }
            deck_ = piles[1];
            deck_.insert(deck_.end(), piles[0].begin(), piles[0].end());
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

} // namespace

TEST(PacketGenerator, StepsMultiplyTheStateAndAdvanceJumps) {
    for (const auto& [low, high] :
         std::vector<std::pair<int, int>>{{1, 0}, {0xFFFF, 0xFFFF}, {12345, 6789}}) {
        PacketGenerator g;
        g.packetSeedLow = low;
        g.packetSeedHigh = high;
        PacketGenerator jumped = g;
        std::uint32_t s = static_cast<std::uint32_t>(high) * 65536U + static_cast<std::uint32_t>(low);
        for (int step = 1; step <= 2000; ++step) {
            g.NextPacket();
            s *= 69069U;
            ASSERT_EQ(g.State(), s) << "step " << step;
            ASSERT_TRUE(g.packetSize >= 1 && g.packetSize <= 9);
            if (step <= 30) {
                PacketGenerator j = jumped;
                j.Advance(step);
                ASSERT_EQ(j.State(), g.State()) << step;
                ASSERT_EQ(j.packetSize, g.packetSize) << step;
            }
        }
    }
}

TEST(PacketGenerator, SizesAndRoundingGoHalvesToEven) {
    const std::pair<int, int> sizes[] = {{0, 1},     {4095, 1},  {4096, 1},  {4097, 2}, {12287, 2},
                                         {12288, 3}, {20480, 3}, {61440, 9}, {65535, 9}};
    for (const auto& [high, size] : sizes)
        EXPECT_EQ(PacketSizeOf(high), size) << high;
    const std::pair<double, long> rounded[] = {{0.5, 0},
                                               {1.5, 2},
                                               {2.5, 2},
                                               {10.5, 10},
                                               {std::nextafter(10.5, 11.0), 11},
                                               {std::nextafter(1.5, 1.0), 1}};
    for (const auto& [x, n] : rounded)
        EXPECT_EQ(RoundHalfEven(x), n) << x;
}

TEST(UniformSource, SeededRepeatsAndValuesFillTheUnitIntervalWith53Bits) {
    UniformSource a(99), b(99), c(100), secure1, secure2;
    EXPECT_TRUE(a.deterministic());
    EXPECT_FALSE(secure1.deterministic());
    int sameAsOther = 0;
    for (int i = 0; i < 3000; ++i) { // across several refills of the buffer
        const std::uint64_t x = a.Next64();
        ASSERT_EQ(x, b.Next64());
        sameAsOther += (x == c.Next64()) + (secure1.Next64() == secure2.Next64());
    }
    EXPECT_EQ(sameAsOther, 0);

    UniformSource u(7);
    int lowBitSet = 0;
    double sum = 0;
    constexpr int kDraws = 200000;
    for (int i = 0; i < kDraws; ++i) {
        const double x = u.Random01();
        ASSERT_TRUE(x >= 0.0 && x < 1.0);
        sum += x;
        const double scaled = std::ldexp(x, 53);
        ASSERT_EQ(scaled, std::floor(scaled)) << "a multiple of 2^-53";
        lowBitSet += std::fmod(scaled, 2.0) == 1.0;
    }
    EXPECT_NEAR(sum / kDraws, 0.5, 0.005);
    EXPECT_NEAR(static_cast<double>(lowBitSet) / kDraws, 0.5, 0.01); // the 53rd bit is random too
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

TEST(RandomDeal, EveryDealIsCompleteAndOnlyTheCardsAreSet) {
    RandomSource r; // the secure source of the program
    for (int i = 0; i < 3000; ++i) {
        Board b = r.RandomDeal();
        ASSERT_EQ(b.number + b.dealer + b.vulnerability + b.status + b.cardOwner[0], 0);
        ASSERT_EQ(AnalyseBoard(b), 4) << "13 cards in each hand";
        const std::set<int> cards(r.deck().begin() + 1, r.deck().end()); // the deck stays a permutation
        ASSERT_EQ(cards.size(), 52U);
        ASSERT_TRUE(*cards.begin() == 1 && *cards.rbegin() == 52);
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
    RandomSource a = RandomSource::FromSeed(5), b = RandomSource::FromSeed(5), c = RandomSource::FromSeed(6);
    std::vector<Board> deals;
    for (int i = 0; i < 20; ++i) {
        deals.push_back(a.RandomDeal());
        EXPECT_EQ(deals.back(), b.RandomDeal());
        EXPECT_NE(deals.back().cardOwner, c.RandomDeal().cardOwner);
        if (i > 0) {
            EXPECT_NE(deals[i].cardOwner, deals[i - 1].cardOwner);
        }
    }
    a.Reseed(5); // the same sequence again from an ordered deck
    EXPECT_EQ(a.deck(), OrderedDeck());
    EXPECT_EQ(a.RandomDeal(), deals[0]);
    const RandomSource words(GeneratorSeeds{0x1234, 0x0ABC}); // the start-up words, the low one made odd
    EXPECT_EQ(words.packets().packetSeedLow, 0x1235);
    EXPECT_EQ(words.packets().packetSeedHigh, 0x0ABC);
}

// Fairness with a fixed seed, so the outcome is the same on every run.
TEST(RandomDealFairness, EveryCardInEverySeatAQuarterOfTheTimeIndependentlyOfTheLastDeal) {
    RandomSource r = RandomSource::FromSeed(20260101);
    constexpr int kDeals = 40000;
    std::array<std::array<int, 5>, 53> count{};
    // Seat of each card in one deal against the next: a weak shuffle of the kept deck would carry it over.
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
    double chi = 0, chiPairs = 0;
    for (int c = 1; c <= 52; ++c) {
        for (int s = 1; s <= 4; ++s) {
            EXPECT_NEAR(count[c][s] / double(kDeals), 0.25, 0.015) << "card " << c << " seat " << s;
            chi += std::pow(count[c][s] - kDeals / 4.0, 2) / (kDeals / 4.0);
        }
        for (int k = 0; k < 16; ++k)
            chiPairs += std::pow(pair[c][k] - kDeals / 16.0, 2) / (kDeals / 16.0);
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
    double chi = 0, pooledExpected = 0, pooledObserved = 0;
    int cells = 1;
    for (std::size_t i = 1; i <= kShapeCount; ++i) {
        const double e = hands * kShapeTable[i].frequency;
        if (e >= 20) {
            chi += std::pow(tally[i] - e, 2) / e;
            ++cells;
        } else {
            pooledExpected += e;
            pooledObserved += tally[i];
        }
    }
    ASSERT_GE(pooledExpected, 20);
    chi += std::pow(pooledObserved - pooledExpected, 2) / pooledExpected;
    EXPECT_GE(cells, 20);
    EXPECT_LT(chi, ChiSquareCritical(cells - 1));
}
