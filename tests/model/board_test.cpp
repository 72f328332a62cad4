#include "model/board.h"
#include "model/shapes.h"
#include "support/board_set_samples.h"

#include <gtest/gtest.h>

using namespace orvenix;
using orvenix::test::SuitPerHandBoard;

TEST(Cards, CodesSuitsRanksPointsAndNames) {
    int total = 0;
    for (int c = 1; c <= kCards; ++c) {
        EXPECT_EQ(CardCodeOf(SuitOf(c), RankOf(c)), c);
        EXPECT_EQ(SuitOf(c), (c - 1) / 13 + 1);
        total += CardPoints[c];
    }
    EXPECT_EQ(total, 40);
    EXPECT_EQ(CardPoints[4], 1);  // spade jack
    EXPECT_EQ(CardPoints[5], 0);  // spade ten
    EXPECT_EQ(CardPoints[40], 4); // club ace
    EXPECT_EQ(CardName(1), "\x06"
                           "A");
    EXPECT_EQ(CardName(52), "\x05"
                            "2");
    EXPECT_EQ(CardNameUtf8(27), "\u2666A");
    EXPECT_EQ(CardName(0), "");
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
    EXPECT_EQ(AnalyseBoard(b), 0);
    EXPECT_EQ(b.status, kBoardEmpty);
    b.cardOwner[5] = 2;
    b.cardOwner[6] = 9; // owners above 4 are not counted
    AnalyseBoard(b);
    EXPECT_EQ(b.status, kBoardPartial);
    EXPECT_EQ(b.cardCount[2], 1);

    b = SuitPerHandBoard(); // 13-card suits: three voids, 9 distribution points each
    EXPECT_EQ(AnalyseBoard(b), 4);
    EXPECT_EQ(b.status, kBoardComplete);
    for (int s = 1; s <= 4; ++s) {
        EXPECT_EQ(b.shapeIndex[s], FindShape("D000"));
        EXPECT_EQ(b.distributionPoints[s], 9);
        EXPECT_EQ(b.highCardPoints[s], 10);
    }
    // A heart moves from East to North: 14 and 12 cards have neither shape nor distribution points, also
    // when the board was analysed before.
    b.cardOwner[14] = 1;
    EXPECT_EQ(AnalyseBoard(b), 2);
    EXPECT_EQ(b.status, kBoardPartial);
    EXPECT_EQ(b.cardCount[1], 14);
    EXPECT_EQ(b.cardCount[2], 12);
    for (int s : {1, 2}) {
        EXPECT_EQ(b.shapeIndex[s], 0);
        EXPECT_EQ(b.distributionPoints[s], 0);
    }
    EXPECT_EQ(b.distributionPoints[3], 9);

    Board flat; // every card in turn: each hand 4-3-3-3, no distribution points
    for (int code = 1; code <= kCards; ++code)
        flat.cardOwner[code] = static_cast<Seat>((code - 1) % 4 + 1);
    AnalyseBoard(flat);
    for (int s = 1; s <= 4; ++s) {
        EXPECT_EQ(ShapeText(GetHandShape(flat, s)), "4333");
        EXPECT_EQ(flat.shapeIndex[s], FindShape("4333"));
        EXPECT_EQ(flat.distributionPoints[s], 0);
    }
    Board twoSuited; // North 5-4-2-2 gets 2 points, East 6-5-1-1 gets 4
    for (int c : {1, 2, 3, 4, 5, 14, 15, 16, 17, 27, 28, 40, 41})
        twoSuited.cardOwner[c] = 1;
    for (int c : {6, 7, 8, 9, 10, 11, 18, 19, 20, 21, 22, 29, 42})
        twoSuited.cardOwner[c] = 2;
    AnalyseBoard(twoSuited);
    EXPECT_EQ(twoSuited.distributionPoints[1], 2);
    EXPECT_EQ(twoSuited.distributionPoints[2], 4);
}

TEST(CompareBoards, OwnersFirstThenNumberDealerVulnerability) {
    Board a = SuitPerHandBoard();
    Board b = a;
    EXPECT_EQ(CompareBoards(a, b), 2);
    b.dealer = 3;
    EXPECT_EQ(CompareBoards(a, b), 1);
    b.cardOwner[52] = 1;
    EXPECT_EQ(CompareBoards(a, b), 0);
    b = a;
    b.status = kBoardPartial; // derived fields are not compared
    EXPECT_EQ(CompareBoards(a, b), 2);
}

TEST(BoardSet, RenumberCountAndClear) {
    BoardSet set;
    EXPECT_EQ(set.count(), 0);
    set.firstBoard = 17;
    set.lastBoard = 32;
    EXPECT_EQ(set.count(), 16);
    set.Renumber();
    EXPECT_EQ(set[17].number, 17);
    EXPECT_EQ(set[32].vulnerability, 3);
    EXPECT_EQ(set[16].number, 0);
    ClearBoard(set, 17);
    EXPECT_EQ(set[17], Board{});
    EXPECT_EQ(EffectiveDealer(set[17], 17), 1);
    set[20].vulnerability = 0;
    EXPECT_EQ(EffectiveVulnerability(set[20], 20), 4);
    EXPECT_THROW(set[641], std::out_of_range);
}

TEST(Shapes, FindShapeAndGetHandShape) {
    EXPECT_EQ(FindShape("4432"), 1);
    EXPECT_EQ(FindShape("7510"), 23);
    EXPECT_EQ(FindShape("4431"), 0); // 12 cards
    EXPECT_EQ(FindShape(""), 0);
    float sum = 0;
    for (int i = 1; i <= kShapeCount; ++i)
        sum += kShapeTable[i].frequency;
    EXPECT_NEAR(sum, 1.0F, 1e-5);
    Board b; // N: 4 spades, 3 hearts, 4 diamonds, 2 clubs
    for (int c : {1, 2, 3, 4, 14, 15, 16, 27, 28, 29, 30, 40, 41})
        b.cardOwner[c] = 1;
    EXPECT_EQ(ShapeText(GetHandShape(b, 1)), "4432");
    EXPECT_EQ(ShapeText(GetHandShape(b, 2)), "0000");
}
