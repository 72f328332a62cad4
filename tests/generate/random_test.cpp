// The random source of the dealing: reproducible from a seed, complete deals, and fair.
#include "generate/random.h"
#include "model/shapes.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace orvenix;

namespace {

// Whether the chi-square statistic of these (observed, expected) cells stays below the critical value for
// `dof` degrees of freedom at the standard-normal quantile 4.75 (Wilson-Hilferty), a tail of about one in a
// million.
bool ChiSquareFits(const std::vector<std::pair<double, double>>& cells, int dof) {
    double chi = 0;
    for (const auto& [observed, expected] : cells)
        chi += std::pow(observed - expected, 2) / expected;
    const double a = 2.0 / (9.0 * dof);
    return chi < dof * std::pow(1.0 - a + 4.75 * std::sqrt(a), 3.0);
}

} // namespace

// Deals of the secure source and of a seed number: only the cards, 13 in each hand, the same from the same
// seed, other deals from another seed or another secure source, and never one deal twice in a row.
TEST(RandomDeal, CompleteDealsSameSeedSameDealsAndTheShuffleContinues) {
    RandomSource a = RandomSource::FromSeed(5), b = RandomSource::FromSeed(5), c = RandomSource::FromSeed(6);
    RandomSource secure, other; // the secure source of the program
    std::array<int, 256> seen{};
    std::vector<Board> deals;
    for (std::size_t i = 0; i < 3000; ++i) { // across several refills of the uniform source's buffer
        deals.push_back(a.RandomDeal());
        Board s = secure.RandomDeal();
        ASSERT_EQ(s.number + s.dealer + s.vulnerability + s.status + s.cardOwner[0], 0) << "only the cards";
        ASSERT_EQ(AnalyseBoard(s), 4) << "13 cards in each hand";
        ASSERT_EQ(deals[i], b.RandomDeal());
        ASSERT_NE(deals[i].cardOwner, c.RandomDeal().cardOwner);
        ASSERT_TRUE(i == 0 || deals[i].cardOwner != deals[i - 1].cardOwner);
        ASSERT_NE(s.cardOwner, other.RandomDeal().cardOwner);
        for (int k = 0; k < 30; ++k)
            ++seen[secure.FillerByte()];
    }
    EXPECT_TRUE(seen[255] == 0 && seen[0] * seen[254] > 0 && a.deterministic() && !secure.deterministic());
    a.Reseed(5); // the same sequence again from an ordered deck
    EXPECT_TRUE(a.deck() == OrderedDeck() && a.RandomDeal() == deals[0]);
    const RandomSource words(GeneratorSeeds{0x1234, 0x0ABC}); // the start-up words, the low one made odd
    EXPECT_TRUE(words.packets().packetSeedLow == 0x1235 && words.packets().packetSeedHigh == 0x0ABC);
}

// Fairness with a fixed seed, so the outcome is the same on every run: the seat of every card in one deal
// against the next (a weak shuffle of the kept deck would carry it over, a biased one favour a seat), and
// hand shapes as often as the shape table says.
TEST(RandomDealFairness, SeatsOfTheCardsAndHandShapes) {
    RandomSource r = RandomSource::FromSeed(20260101);
    constexpr int kDeals = 40000;
    // (observed, expected) for each card and each pair of its seats in two deals in a row.
    std::vector<std::pair<double, double>> cells(52 * 16, {0.0, kDeals / 16.0});
    std::array<int, 41> tally{};
    Board previous = r.RandomDeal();
    for (int i = 0; i < kDeals; ++i) {
        const Board b = r.RandomDeal();
        for (int c = 1; c <= 52; ++c)
            ++cells[(c - 1) * 16 + (previous.cardOwner[c] - 1) * 4 + b.cardOwner[c] - 1].first;
        for (int seat = 1; seat <= 4; ++seat)
            ++tally[static_cast<std::size_t>(FindShape(GetHandShape(b, seat)))];
        previous = b;
    }
    EXPECT_TRUE(ChiSquareFits(cells, 52 * 15));
    // Shapes in index order; the rare tail is pooled in the first cell until its expected count reaches 20.
    cells.assign(1, {0.0, 0.0});
    for (std::size_t i = 1; i <= kShapeCount; ++i) {
        const double e = 4.0 * kDeals * kShapeTable[i].frequency;
        auto& cell = e >= 20 ? cells.emplace_back(0.0, 0.0) : cells[0];
        cell = {cell.first + tally[i], cell.second + e};
    }
    EXPECT_TRUE(ChiSquareFits(cells, static_cast<int>(cells.size()) - 1));
}
