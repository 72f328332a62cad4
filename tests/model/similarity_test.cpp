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

// Every pair of boards of each set, complete and partial ones, is compared three ways; the set's most similar
// pair is the first one reaching the highest count.
TEST(Similarity, PairsAndSetsMatchTheCardByCardCount) {
    std::mt19937 rng(77);
    for (int round = -2; round < 6; ++round) { // rounds -2 and -1: one board, none
        BoardSet set;
        set.firstBoard = static_cast<std::int16_t>(round < 0 ? 5 : 1 + round * 7);
        set.lastBoard = static_cast<std::int16_t>(round < 0 ? 3 - round : set.firstBoard + 30 + round * 20);
        for (int b = set.firstBoard; b <= set.lastBoard; ++b)
            set[b] = (b % 4 == 0) ? RandomPartialBoard(rng) : samples::RandomBoard(rng);
        if (round == 0) { // ties: board 13 again, with every seat moved on by one and as it is
            for (int code = 1; code <= kCards; ++code)
                set[30].cardOwner[code] = static_cast<Seat>(set[13].cardOwner[code] % 4 + 1);
            set[31] = set[13];
        }
        int best = 0, bi = 0, bj = 0;
        for (int i = set.firstBoard; i < set.lastBoard; ++i) {
            for (int j = i + 1; j <= set.lastBoard; ++j) {
                const int s = ReferenceCompare(set[i], set[j]);
                ASSERT_EQ(std::tuple(CompareHands(set[i], set[j]), CompareHands(set[j], set[i]),
                                     CompareMasks(MasksOf(set[i]), MasksOf(set[j]))),
                          std::tuple(s, s, s))
                    << i << ", " << j;
                if (s > best) std::tie(best, bi, bj) = std::tuple(s, i, j);
            }
        }
        std::int16_t first = 99, second = 99;
        EXPECT_EQ(std::tuple(MaxInnerSimilarity(set, first, second), first, second),
                  std::tuple(best, bi, bj));
        EXPECT_TRUE(round != 0 || std::tuple(best, bi, bj) == std::tuple(13, 13, 30));
    }
}
