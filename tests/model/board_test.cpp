#include "model/board.h"
#include "model/shapes.h"
#include "model/similarity.h"
#include "support/board_set_samples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

using namespace orvenix;
using namespace orvenix::test;

namespace {

// The card-by-card count: one counter per pair of seats, unplaced cards and owners above 4 skipped.
int ReferenceCompare(const Board& a, const Board& b) {
    int counter[4][4] = {};
    for (int code = 1; code <= kCards; ++code) {
        const int sa = a.cardOwner[code], sb = b.cardOwner[code];
        if (sa >= 1 && sa <= 4 && sb >= 1 && sb <= 4) ++counter[sa - 1][sb - 1];
    }
    return *std::max_element(&counter[0][0], &counter[0][0] + 16);
}

} // namespace

TEST(Cards, CodesPointsNamesAndTheDealerAndVulnerabilityCycles) {
    int total = 0;
    for (int c = 1; c <= kCards; ++c) {
        EXPECT_EQ(std::tuple(CardCodeOf(SuitOf(c), RankOf(c)), SuitOf(c)), std::tuple(c, (c - 1) / 13 + 1));
        total += CardPoints[c];
    }
    // All the points, the jack, the ten and the ace.
    EXPECT_EQ(std::tuple(total, CardPoints[4], CardPoints[5], CardPoints[40]), std::tuple(40, 1, 0, 4));
    EXPECT_EQ(std::tuple(CardName(1), CardName(52), CardNameUtf8(27), CardName(0)),
              std::tuple("\6A", "\0052", "\u2666A", ""));
    const Vulnerability expected[16] = {1, 2, 3, 4, 2, 3, 4, 1, 3, 4, 1, 2, 4, 1, 2, 3};
    for (int n = 1; n <= 640; ++n)
        EXPECT_EQ(std::tuple(DealerOf(n), VulnerabilityOf(n)),
                  std::tuple((n - 1) % 4 + 1, expected[(n - 1) % 16]));
}

TEST(AnalyseBoard, StatusCountsPointsAndShapes) {
    Board b;
    EXPECT_EQ(std::tuple(AnalyseBoard(b), b.status), std::tuple(0, kBoardEmpty));
    b.cardOwner[5] = 2;
    b.cardOwner[6] = 9; // owners above 4 are not counted
    AnalyseBoard(b);
    EXPECT_EQ(std::tuple(b.status, b.cardCount[2]), std::tuple(kBoardPartial, 1));
    b = SuitPerHandBoard(); // 13-card suits: three voids, 9 distribution points each
    EXPECT_EQ(std::tuple(AnalyseBoard(b), b.status), std::tuple(4, kBoardComplete));
    for (int s = 1; s <= 4; ++s)
        EXPECT_EQ(std::tuple(b.shapeIndex[s], b.distributionPoints[s], b.highCardPoints[s]),
                  std::tuple(39, 9, 10));
    // A heart moves from East to North: 14 and 12 cards have neither shape nor distribution points, also
    // when the board was analysed before.
    b.cardOwner[14] = 1;
    EXPECT_EQ(std::tuple(AnalyseBoard(b), b.status, b.cardCount[1], b.cardCount[2]),
              std::tuple(2, kBoardPartial, 14, 12));
    EXPECT_EQ(std::tuple(b.shapeIndex[1], b.distributionPoints[1], b.shapeIndex[2], b.distributionPoints[2],
                         b.distributionPoints[3]),
              std::tuple(0, 0, 0, 0, 9));
    // North's hand alone: its shape, the shape's index and the distribution points (3 for a void, 2 for a
    // singleton, 1 for a doubleton).
    const std::tuple<std::vector<int>, const char*, int> hands[] = {
        {{1, 5, 9, 13, 17, 21, 25, 29, 33, 37, 41, 45, 49}, "4333", 0},
        {{1, 2, 3, 4, 14, 15, 16, 27, 28, 29, 30, 40, 41}, "4432", 1},
        {{1, 2, 3, 4, 5, 14, 15, 16, 17, 27, 28, 40, 41}, "5422", 2},
        {{6, 7, 8, 9, 10, 11, 18, 19, 20, 21, 22, 29, 42}, "6511", 4},
    };
    for (const auto& [cards, shape, points] : hands) {
        Board hand;
        for (int c : cards)
            hand.cardOwner[c] = 1;
        AnalyseBoard(hand);
        EXPECT_EQ(
            std::tuple(ShapeText(GetHandShape(hand, 1)), hand.shapeIndex[1], hand.distributionPoints[1]),
            std::tuple(shape, FindShape(shape), points));
    }
    EXPECT_EQ(std::tuple(ShapeText(GetHandShape(Board{}, 2)), FindShape("4432"), FindShape("7510"),
                         FindShape("4431"), FindShape("")),
              std::tuple("0000", 1, 23, 0, 0)); // 4431: 12 cards
}

TEST(BoardSet, CompareRenumberCountAndClear) {
    Board a = SuitPerHandBoard();
    Board b = a;
    b.status = kBoardPartial; // derived fields are not compared
    const int same = CompareBoards(a, b);
    b.dealer = 3;
    const int otherDealer = CompareBoards(a, b);
    b.cardOwner[52] = 1;
    EXPECT_EQ(std::tuple(same, otherDealer, CompareBoards(a, b)), std::tuple(2, 1, 0));
    BoardSet set;
    set.firstBoard = 17;
    set.lastBoard = 32;
    set.Renumber();
    EXPECT_EQ(std::tuple(set[17].number, set[32].vulnerability, set[16].number), std::tuple(17, 3, 0));
    set[17].dealer = 0;
    set[20].vulnerability = 0;
    EXPECT_EQ(std::tuple(set.count(), EffectiveDealer(set[17], 17), EffectiveVulnerability(set[20], 20)),
              std::tuple(16, 1, 4));
}

// Every pair of boards of each set, complete and partial ones, is compared three ways; the set's most similar
// pair is the first one reaching the highest count.
TEST(Similarity, PairsAndSetsMatchTheCardByCardCount) {
    std::mt19937 rng(77);
    for (int round = -2; round < 6; ++round) { // rounds -2 and -1: one board, none
        BoardSet set;
        set.firstBoard = static_cast<std::int16_t>(round < 0 ? 5 : 1 + round * 7);
        set.lastBoard = static_cast<std::int16_t>(round < 0 ? 3 - round : set.firstBoard + 30 + round * 20);
        for (int b = set.firstBoard; b <= set.lastBoard; ++b) {
            set[b] = RandomBoard(rng);
            for (int code = 1; b % 4 == 0 && code <= kCards; ++code) // owners 0..4, some above 4 mixed in
                set[b].cardOwner[code] =
                    static_cast<std::uint8_t>(rng() % 7 < 6 ? rng() % 5 : 5 + rng() % 251);
        }
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
