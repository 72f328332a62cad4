#include "model/board.h"
#include "model/shapes.h"
#include "support/board_set_samples.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace orvenix;
using orvenix::test::SuitPerHandBoard;

TEST(Cards, CodesSuitsRanksPointsAndNames) {
    int total = 0;
    for (int c = 1; c <= kCards; ++c) {
        EXPECT_EQ(CardCodeOf(SuitOf(c), RankOf(c)), c);
        EXPECT_EQ(SuitOf(c), (c - 1) / 13 + 1);
        total += CardPoints[c];
    }
    EXPECT_EQ(std::tuple(total, CardPoints[4], CardPoints[5], CardPoints[40]),
              std::tuple(40, 1, 0, 4)); // J, T, A
    EXPECT_EQ(std::tuple(CardName(1), CardName(52), CardNameUtf8(27), CardName(0)),
              std::tuple("\x06"
                         "A",
                         "\x05"
                         "2",
                         "\u2666A", ""));
}

TEST(Cards, DealerAndVulnerabilityCycles) {
    const Vulnerability expected[16] = {1, 2, 3, 4, 2, 3, 4, 1, 3, 4, 1, 2, 4, 1, 2, 3};
    for (int n = 1; n <= 640; ++n) {
        EXPECT_EQ(DealerOf(n), (n - 1) % 4 + 1) << n;
        EXPECT_EQ(VulnerabilityOf(n), expected[(n - 1) % 16]) << n;
    }
}

TEST(AnalyseBoard, StatusCountsPointsAndShapes) {
    Board b;
    EXPECT_EQ(std::tuple(AnalyseBoard(b), b.status), std::tuple(0, kBoardEmpty));
    b.cardOwner[5] = 2;
    b.cardOwner[6] = 9; // owners above 4 are not counted
    AnalyseBoard(b);
    EXPECT_EQ(std::tuple(b.status, b.cardCount[2], b.cardCount[0]), std::tuple(kBoardPartial, 1, 0));

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
    for (int s : {1, 2})
        EXPECT_EQ(std::tuple(b.shapeIndex[s], b.distributionPoints[s]), std::tuple(0, 0)) << s;
    EXPECT_EQ(b.distributionPoints[3], 9);

    Board flat; // every card in turn: each hand 4-3-3-3, no distribution points
    for (int code = 1; code <= kCards; ++code)
        flat.cardOwner[code] = static_cast<Seat>((code - 1) % 4 + 1);
    AnalyseBoard(flat);
    for (int s = 1; s <= 4; ++s)
        EXPECT_EQ(
            std::tuple(ShapeText(GetHandShape(flat, s)), flat.shapeIndex[s], flat.distributionPoints[s]),
            std::tuple("4333", FindShape("4333"), 0));
    Board twoSuited; // North 5-4-2-2 gets 2 points, East 6-5-1-1 gets 4
    for (int c : {1, 2, 3, 4, 5, 14, 15, 16, 17, 27, 28, 40, 41})
        twoSuited.cardOwner[c] = 1;
    for (int c : {6, 7, 8, 9, 10, 11, 18, 19, 20, 21, 22, 29, 42})
        twoSuited.cardOwner[c] = 2;
    AnalyseBoard(twoSuited);
    EXPECT_EQ(std::tuple(twoSuited.distributionPoints[1], twoSuited.distributionPoints[2]), std::tuple(2, 4));
}

TEST(CompareBoards, OwnersFirstThenNumberDealerVulnerability) {
    Board a = SuitPerHandBoard();
    Board b = a;
    b.status = kBoardPartial; // derived fields are not compared
    EXPECT_EQ(CompareBoards(a, b), 2);
    b.dealer = 3;
    EXPECT_EQ(CompareBoards(a, b), 1);
    b.cardOwner[52] = 1;
    EXPECT_EQ(CompareBoards(a, b), 0);
}

TEST(BoardSet, RenumberCountAndClear) {
    BoardSet set;
    EXPECT_EQ(set.count(), 0);
    set.firstBoard = 17;
    set.lastBoard = 32;
    set.Renumber();
    EXPECT_EQ(std::tuple(set[17].number, set[32].vulnerability, set[16].number), std::tuple(17, 3, 0));
    ClearBoard(set, 17);
    set[20].vulnerability = 0;
    EXPECT_EQ(std::tuple(set.count(), set[17] == Board{}, EffectiveDealer(set[17], 17),
                         EffectiveVulnerability(set[20], 20)),
              std::tuple(16, true, 1, 4));
    EXPECT_THROW(set[641], std::out_of_range);
}

TEST(Shapes, FindShapeAndGetHandShape) {
    EXPECT_EQ(std::tuple(FindShape("4432"), FindShape("7510"), FindShape("4431"), FindShape("")),
              std::tuple(1, 23, 0, 0)); // 4431: 12 cards
    Board b;                            // N: 4 spades, 3 hearts, 4 diamonds, 2 clubs
    for (int c : {1, 2, 3, 4, 14, 15, 16, 27, 28, 29, 30, 40, 41})
        b.cardOwner[c] = 1;
    EXPECT_EQ(ShapeText(GetHandShape(b, 1)), "4432");
    EXPECT_EQ(ShapeText(GetHandShape(b, 2)), "0000");
}
