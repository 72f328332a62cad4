#include "model/board.h"
#include "model/similarity.h"
#include "support/board_set_samples.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

using namespace orvenix;
namespace samples = orvenix::test;

namespace {

// The card-by-card count: one counter per pair of seats, unplaced cards and owners above 4 skipped.
int ReferenceCompare(const Board& a, const Board& b) {
    int counter[4][4] = {};
    for (int code = 1; code <= kCards; ++code) {
        const int sa = a.cardOwner[code], sb = b.cardOwner[code];
        if (sa >= 1 && sa <= 4 && sb >= 1 && sb <= 4) ++counter[sa - 1][sb - 1];
    }
    int best = 0;
    for (auto& row : counter)
        for (int c : row)
            best = std::max(best, c);
    return best;
}

Board Rotated(const Board& b) {
    Board r = b;
    for (int code = 1; code <= kCards; ++code)
        if (r.cardOwner[code] >= 1 && r.cardOwner[code] <= 4)
            r.cardOwner[code] = static_cast<Seat>(r.cardOwner[code] % 4 + 1);
    return r;
}

// A board whose owners are drawn from 0..4 with some values above 4 mixed in.
Board RandomPartialBoard(std::mt19937& rng) {
    Board b{};
    std::uniform_int_distribution<int> owner(0, 6), junk(5, 255);
    for (int code = 1; code <= kCards; ++code) {
        const int o = owner(rng);
        b.cardOwner[code] = static_cast<std::uint8_t>(o == 6 ? junk(rng) : o);
    }
    return b;
}

} // namespace

TEST(CompareHands, EqualsTheCardByCardCount) {
    std::mt19937 rng(2024);
    for (int i = 0; i < 20000; ++i) {
        Board a = (i % 3 == 0) ? samples::RandomBoard(rng) : RandomPartialBoard(rng);
        Board b = (i % 5 == 0) ? samples::RandomBoard(rng) : RandomPartialBoard(rng);
        if (i % 7 == 0) b = Rotated(a);
        const int expected = ReferenceCompare(a, b);
        ASSERT_EQ(std::tuple(CompareHands(a, b), CompareHands(b, a), CompareMasks(MasksOf(a), MasksOf(b))),
                  std::tuple(expected, expected, expected))
            << "pair " << i;
    }
}

TEST(MaxInnerSimilarity, MatchesTheReferenceOverRandomAndPartialSets) {
    std::mt19937 rng(77);
    for (int round = -2; round < 6; ++round) { // rounds -2 and -1: one board, none
        BoardSet set;
        set.firstBoard = static_cast<std::int16_t>(round < 0 ? 5 : 1 + round * 7);
        set.lastBoard = static_cast<std::int16_t>(round < 0 ? 3 - round : set.firstBoard + 30 + round * 20);
        for (int b = set.firstBoard; b <= set.lastBoard; ++b)
            set[b] = (b % 4 == 0) ? RandomPartialBoard(rng) : samples::RandomBoard(rng);
        if (round == 0) { // ties: the first pair reaching 13 is reported
            set[30] = Rotated(set[13]);
            set[31] = set[13];
        }
        int best = 0, bi = 0, bj = 0;
        for (int i = set.firstBoard; i < set.lastBoard; ++i) {
            for (int j = i + 1; j <= set.lastBoard; ++j) {
                const int s = ReferenceCompare(set[i], set[j]);
                if (s > best) std::tie(best, bi, bj) = std::tuple(s, i, j);
            }
        }
        std::int16_t first = 99, second = 99;
        EXPECT_EQ(std::tuple(MaxInnerSimilarity(set, first, second), first, second),
                  std::tuple(best, bi, bj));
        EXPECT_TRUE(round != 0 || std::tuple(best, bi, bj) == std::tuple(13, 13, 30));
    }
}
