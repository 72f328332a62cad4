#include "model/shapes.h"
#include "model/board.h"

#include <gtest/gtest.h>

using namespace orvenix;

namespace {
// Deals suits round the table: N spades, E hearts, S diamonds, W clubs.
Board SuitPerSeat() {
    Board b;
    for (int code = 1; code <= kCards; ++code) b.cardOwner[code] = static_cast<Seat>(SuitOf(code));
    return b;
}
} // namespace

TEST(CardTables, CodesRanksSuitsAndPoints) {
    EXPECT_EQ(CardRankChar[1], 'A');
    EXPECT_EQ(CardRankChar[13], '2');
    EXPECT_EQ(CardRankChar[14], 'A');
    EXPECT_EQ(CardSuit[13], 1);
    EXPECT_EQ(CardSuit[14], 2);
    EXPECT_EQ(CardSuit[52], 4);
    int total = 0;
    for (int c = 1; c <= 52; ++c) {
        total += CardPoints[c];
        EXPECT_EQ(SuitOf(c), CardSuit[c]);
        EXPECT_EQ(CardCodeOf(SuitOf(c), RankOf(c)), c);
    }
    EXPECT_EQ(total, 40);
    EXPECT_EQ(CardPoints[4], 1);  // spade jack
    EXPECT_EQ(CardPoints[5], 0);  // spade ten
    EXPECT_EQ(CardPoints[40], 4); // club ace
    EXPECT_EQ(CardName(1), std::string("\x06" "A"));
    EXPECT_EQ(CardName(52), std::string("\x05" "2"));
    EXPECT_EQ(CardNameUtf8(27), "\u2666A");
    EXPECT_EQ(CardName(0), "");
}

TEST(DealerAndVulnerability, CyclesOfFourAndSixteen) {
    EXPECT_EQ(DealerOf(1), 1);
    EXPECT_EQ(DealerOf(4), 4);
    EXPECT_EQ(DealerOf(5), 1);
    EXPECT_EQ(DealerOf(640), 4);
    const Vulnerability expected[16] = {1, 2, 3, 4, 2, 3, 4, 1, 3, 4, 1, 2, 4, 1, 2, 3};
    for (int n = 1; n <= 640; ++n) EXPECT_EQ(VulnerabilityOf(n), expected[(n - 1) % 16]) << n;
    EXPECT_EQ(VulnerabilityOf(640), 3);
}

TEST(AnalyseBoard, StatusFollowsPlacedCards) {
    Board b;
    EXPECT_EQ(AnalyseBoard(b), 0);
    EXPECT_EQ(b.status, kBoardEmpty);
    b.cardOwner[5] = 2;
    AnalyseBoard(b);
    EXPECT_EQ(b.status, kBoardPartial);
    EXPECT_EQ(b.cardCount[2], 1);
}

TEST(AnalyseBoard, FourteenAndTwelveCardHandsHaveNoShape) {
    Board b = SuitPerSeat();
    b.cardOwner[14] = 1; // a heart moves from E to N
    EXPECT_EQ(AnalyseBoard(b), 2);
    EXPECT_EQ(b.status, kBoardPartial);
    EXPECT_EQ(b.cardCount[1], 14);
    EXPECT_EQ(b.cardCount[2], 12);
    EXPECT_EQ(b.shapeIndex[1], 0);
    EXPECT_EQ(b.shapeIndex[2], 0);
    EXPECT_EQ(b.distributionPoints[1], 0);
    EXPECT_EQ(b.shapeIndex[3], FindShape("D000"));
}

TEST(AnalyseBoard, ThirteenCardSuitAndFlatHands) {
    Board b = SuitPerSeat();
    EXPECT_EQ(AnalyseBoard(b), 4);
    EXPECT_EQ(b.status, kBoardComplete);
    for (int s = 1; s <= 4; ++s) {
        EXPECT_EQ(b.shapeIndex[s], 39);
        EXPECT_EQ(b.distributionPoints[s], 9);
        EXPECT_EQ(b.highCardPoints[s], 10);
    }
    // Rotate every card by rank so each seat holds 4-3-3-3.
    Board flat;
    int i = 0;
    for (int code = 1; code <= kCards; ++code) flat.cardOwner[code] = static_cast<Seat>(i++ % 4 + 1);
    AnalyseBoard(flat);
    EXPECT_EQ(flat.status, kBoardComplete);
    for (int s = 1; s <= 4; ++s) {
        EXPECT_EQ(ShapeText(GetHandShape(flat, s)), "4333");
        EXPECT_EQ(flat.shapeIndex[s], 5);
        EXPECT_EQ(flat.distributionPoints[s], 0);
    }
}

TEST(AnalyseBoard, OwnersAboveFourAreIgnored) {
    Board b = SuitPerSeat();
    b.cardOwner[1] = 9;
    AnalyseBoard(b);
    EXPECT_EQ(b.cardCount[1], 12);
    EXPECT_EQ(b.status, kBoardPartial);
}

TEST(CompareBoards, OwnersFirstThenNumberDealerVulnerability) {
    Board a = SuitPerSeat();
    Board b = a;
    EXPECT_EQ(CompareBoards(a, b), 2);
    b.dealer = 3;
    EXPECT_EQ(CompareBoards(a, b), 1);
    b.cardOwner[52] = 1;
    EXPECT_EQ(CompareBoards(a, b), 0);
    AnalyseBoard(a); // derived fields are not compared
    EXPECT_EQ(CompareBoards(a, SuitPerSeat()), 2);
}

TEST(BoardSet, RenumberCountAndClear) {
    BoardSet set;
    EXPECT_EQ(set.count(), 0);
    set.firstBoard = 17;
    set.lastBoard = 32;
    EXPECT_EQ(set.count(), 16);
    set.Renumber();
    EXPECT_EQ(set[17].number, 17);
    EXPECT_EQ(set[17].dealer, 1);
    EXPECT_EQ(set[17].vulnerability, 1);
    EXPECT_EQ(set[32].vulnerability, 3);
    EXPECT_EQ(set[16].number, 0);
    ClearBoard(set, 17);
    EXPECT_EQ(set[17], Board{});
    EXPECT_EQ(EffectiveDealer(set[17], 17), 1);
    EXPECT_EQ(EffectiveVulnerability(set[20], 20), 4);
    set[20].vulnerability = 0;
    EXPECT_EQ(EffectiveVulnerability(set[20], 20), 4);
    EXPECT_THROW(set[641], std::out_of_range);
}

TEST(Shapes, FindShapeAndGetHandShape) {
    EXPECT_EQ(FindShape("4432"), 1);
    EXPECT_EQ(FindShape("D000"), 39);
    EXPECT_EQ(FindShape("7510"), 23);
    EXPECT_EQ(FindShape("4431"), 0); // 12 cards
    EXPECT_EQ(FindShape(""), 0);
    float sum = 0;
    for (int i = 1; i <= kShapeCount; ++i) sum += kShapeTable[i].frequency;
    EXPECT_NEAR(sum, 1.0F, 1e-5);
    Board b;
    // N: 4 spades, 3 hearts, 4 diamonds, 2 clubs.
    for (int c : {1, 2, 3, 4, 14, 15, 16, 27, 28, 29, 30, 40, 41}) b.cardOwner[c] = 1;
    EXPECT_EQ(ShapeText(GetHandShape(b, 1)), "4432");
    EXPECT_EQ(ShapeText(GetHandShape(b, 2)), "0000");
}
