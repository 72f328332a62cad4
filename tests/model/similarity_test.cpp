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
        const int sa = a.cardOwner[code];
        const int sb = b.cardOwner[code];
        if (sa < 1 || sa > 4 || sb < 1 || sb > 4) continue;
        ++counter[sa - 1][sb - 1];
    }
    int best = 0;
    for (auto& row : counter)
        for (int c : row)
            best = std::max(best, c);
    return best;
}

Board Rotated(const Board& b) {
    Board r = b;
    for (int code = 1; code <= kCards; ++code) {
        if (r.cardOwner[code] >= 1 && r.cardOwner[code] <= 4)
            r.cardOwner[code] = static_cast<Seat>(r.cardOwner[code] % 4 + 1);
    }
    return r;
}

// A board whose owners are drawn from 0..4 with some values above 4 mixed in.
Board RandomPartialBoard(std::mt19937& rng) {
    Board b{};
    std::uniform_int_distribution<int> owner(0, 6);
    std::uniform_int_distribution<int> junk(5, 255);
    for (int code = 1; code <= kCards; ++code) {
        int o = owner(rng);
        if (o == 6) o = junk(rng);
        b.cardOwner[code] = static_cast<std::uint8_t>(o);
    }
    return b;
}

} // namespace

TEST(CompareHands, EqualsTheCardByCardCount) {
    std::mt19937 rng(2024);
    const Board full = samples::SuitPerHandBoard();
    EXPECT_EQ(CompareHands(full, full), 13);
    EXPECT_EQ(CompareHands(full, Rotated(full)), 13);
    EXPECT_EQ(CompareHands(Board{}, full), 0);
    for (int i = 0; i < 20000; ++i) {
        Board a = (i % 3 == 0) ? samples::RandomBoard(rng) : RandomPartialBoard(rng);
        Board b = (i % 5 == 0) ? samples::RandomBoard(rng) : RandomPartialBoard(rng);
        if (i % 7 == 0) b = Rotated(a);
        const int expected = ReferenceCompare(a, b);
        ASSERT_EQ(CompareHands(a, b), expected) << "pair " << i;
        ASSERT_EQ(CompareHands(b, a), expected) << "pair " << i;
        ASSERT_EQ(CompareMasks(MasksOf(a), MasksOf(b)), expected) << "pair " << i;
    }
}

TEST(MaxInnerSimilarity, FewerThanTwoBoards) {
    for (const BoardSet& set : {BoardSet{}, samples::RandomSet(5, 5)}) {
        std::int16_t first = 99;
        std::int16_t second = 99;
        EXPECT_EQ(MaxInnerSimilarity(set, first, second), 0);
        EXPECT_EQ(first, 0);
        EXPECT_EQ(second, 0);
    }
}

TEST(MaxInnerSimilarity, MatchesTheReferenceOverRandomAndPartialSets) {
    std::mt19937 rng(77);
    for (int round = 0; round < 6; ++round) {
        BoardSet set;
        set.firstBoard = static_cast<std::int16_t>(1 + round * 7);
        set.lastBoard = static_cast<std::int16_t>(set.firstBoard + 30 + round * 20);
        for (int b = set.firstBoard; b <= set.lastBoard; ++b)
            set[b] = (b % 4 == 0) ? RandomPartialBoard(rng) : samples::RandomBoard(rng);
        if (round == 0) { // ties: the first pair reaching 13 is reported
            set[30] = Rotated(set[13]);
            set[31] = set[13];
        }
        int best = 0;
        int bi = 0;
        int bj = 0;
        for (int i = set.firstBoard; i < set.lastBoard; ++i) {
            for (int j = i + 1; j <= set.lastBoard; ++j) {
                const int s = ReferenceCompare(set[i], set[j]);
                if (s > best) {
                    best = s;
                    bi = i;
                    bj = j;
                }
            }
        }
        std::int16_t first = 0;
        std::int16_t second = 0;
        EXPECT_EQ(MaxInnerSimilarity(set, first, second), best);
        EXPECT_EQ(std::tuple(first, second), std::tuple(bi, bj));
        EXPECT_TRUE(round != 0 || std::tuple(best, bi, bj) == std::tuple(13, 13, 30));
    }
}
