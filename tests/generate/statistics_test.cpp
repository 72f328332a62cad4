#include "model/shapes.h"
#include "generate/statistics.h"
#include "model/board.h"
#include "support/board_set_samples.h"

#include <gtest/gtest.h>

using namespace orvenix;
namespace samples = orvenix::test;

namespace {

// Cards dealt round the table one at a time: every hand is 4-3-3-3 (shape index 5), 10 points, no
// distribution points.
Board RoundRobinBoard() {
    Board b{};
    for (int code = 1; code <= kCards; ++code)
        b.cardOwner[code] = static_cast<Seat>((code - 1) % 4 + 1);
    AnalyseBoard(b);
    return b;
}

BoardSet SetOf(int first, const std::vector<Board>& boards) {
    BoardSet set;
    set.firstBoard = static_cast<std::int16_t>(first);
    set.lastBoard = static_cast<std::int16_t>(first + static_cast<int>(boards.size()) - 1);
    for (std::size_t i = 0; i < boards.size(); ++i)
        set[first + static_cast<int>(i)] = boards[i];
    set.Renumber();
    return set;
}

ShapeTally EmptyTally() {
    return ShapeTally{};
}

} // namespace

TEST(ShapeAllowed, CommonShapeIsAllowedUpToTwiceItsShareAtBoardOne) {
    ShapeTally tally = EmptyTally();
    const int s4432 = FindShape("4432");
    ASSERT_EQ(s4432, 1);
    tally[1] = 2; // 0.215512 x 8 = 1.72, rounded 2
    EXPECT_TRUE(ShapeAllowed(tally, s4432, 1));
    tally[1] = 3;
    EXPECT_FALSE(ShapeAllowed(tally, s4432, 1));
}

TEST(ShapeAllowed, ShapeWithoutAllowanceIsRefusedOnceARarerShapeWasAccepted) {
    const int s7411 = FindShape("7411");
    ASSERT_EQ(s7411, 18);
    ShapeTally tally = EmptyTally();
    EXPECT_TRUE(ShapeAllowed(tally, s7411, 1));

    tally[17] = 5; // more common shapes do not matter
    EXPECT_TRUE(ShapeAllowed(tally, s7411, 1));

    for (int rarer : {19, 27, 39}) {
        ShapeTally t = EmptyTally();
        t[static_cast<std::size_t>(rarer)] = 1;
        EXPECT_FALSE(ShapeAllowed(t, s7411, 1)) << "rarer shape " << rarer;
    }
    tally = EmptyTally();
    tally[18] = 1; // its own tally already above an allowance of 0
    EXPECT_FALSE(ShapeAllowed(tally, s7411, 1));
}

TEST(ShapeAllowed, AllowanceGrowsWithTheBoardNumber) {
    const int s7411 = 18;
    ShapeTally tally = EmptyTally();
    tally[19] = 1;
    // 0.0039184 x 8 x 15 = 0.47 rounds to 0; x 16 = 0.50 rounds to 1.
    EXPECT_FALSE(ShapeAllowed(tally, s7411, 15));
    EXPECT_TRUE(ShapeAllowed(tally, s7411, 16));
    tally[18] = 1;
    EXPECT_TRUE(ShapeAllowed(tally, s7411, 16));
    tally[18] = 2;
    EXPECT_FALSE(ShapeAllowed(tally, s7411, 16));
}

TEST(ShapeAllowed, AllowanceIsRoundedInSinglePrecisionWithHalvesToEven) {
    // 0.215512 x 8 x 7798 is exactly 13444.5 in single precision (13444.50014 in double precision), so the
    // allowance is 13444. A board number beyond the real range is used because no board number up to 640
    // gives an exact half.
    ShapeTally tally = EmptyTally();
    tally[1] = 13444;
    EXPECT_TRUE(ShapeAllowed(tally, 1, 7798));
    tally[1] = 13445;
    EXPECT_FALSE(ShapeAllowed(tally, 1, 7798));
}

TEST(ShapeAllowed, IndexOutsideTheTableIsRefused) {
    const ShapeTally tally = EmptyTally();
    EXPECT_FALSE(ShapeAllowed(tally, 0, 1));
    EXPECT_FALSE(ShapeAllowed(tally, 40, 1));
    EXPECT_TRUE(ShapeAllowed(tally, 39, 1)); // nothing rarer counted, own tally 0
}

TEST(FormatAverage, NumberFormatOfTheSummary) {
    EXPECT_EQ(FormatAverage(12.0F), " 12.0");
    EXPECT_EQ(FormatAverage(0.5F), "   .5");
    EXPECT_EQ(FormatAverage(0.0F), "   .0");
    EXPECT_EQ(FormatAverage(9.0F), "  9.0");
    EXPECT_EQ(FormatAverage(10.0F / 3.0F), "  3.3");
    EXPECT_EQ(FormatAverage(20.0F / 3.0F), "  6.7");
    EXPECT_EQ(FormatAverage(37.0F), " 37.0");
    EXPECT_EQ(FormatAverage(0.04F), "   .0");
    EXPECT_EQ(FormatAverage(999.9F), "999.9");
    EXPECT_EQ(FormatAverage(1234.5F), "234.5"); // cut to the last five characters
}

TEST(ShapeStatistics, NoCompleteBoardShowsNoRowsAveragesOrFrequencies) {
    Board partial{};
    partial.cardOwner[1] = 1;
    AnalyseBoard(partial);
    BoardSet set = SetOf(1, {partial, Board{}});
    ShapeTally tally = EmptyTally();
    tally[3] = 7; // stale counts of an earlier run are cleared
    set.completedCount = 9;

    const SetStatistics st = ShapeStatistics(set, tally);
    EXPECT_EQ(set.completedCount, 0);
    EXPECT_TRUE(st.rows.empty());
    for (int s = 0; s < 4; ++s) {
        EXPECT_TRUE(st.averageHcp[s].empty());
        EXPECT_TRUE(st.averageDistrib[s].empty());
    }
    EXPECT_TRUE(st.maxFrequency.empty());
    EXPECT_TRUE(st.minFrequency.empty());
    EXPECT_EQ(tally, EmptyTally());
}

TEST(ShapeStatistics, SixteenBoardsOfOneShape) {
    BoardSet set = SetOf(17, std::vector<Board>(16, RoundRobinBoard()));
    ShapeTally tally = EmptyTally();
    const SetStatistics st = ShapeStatistics(set, tally);

    EXPECT_EQ(set.completedCount, 16);
    EXPECT_EQ(tally[5], 64);
    // Highest shape seen is 5; shape 6 is expected 0.0564249 x 64 = 3.6 times, so it gets a row too.
    ASSERT_EQ(st.rows.size(), 6U);
    EXPECT_EQ(st.rows[0].shape, "4432");
    EXPECT_EQ(st.rows[0].actual, "   0");
    EXPECT_EQ(st.rows[0].expected, "  14"); // 0.215512 x 4 x 16 = 13.79
    EXPECT_EQ(st.rows[0].difference, "-14");
    EXPECT_EQ(st.rows[1].expected, "  10"); // 9.93
    EXPECT_EQ(st.rows[2].expected, "   8"); // 8.28
    EXPECT_EQ(st.rows[3].expected, "   7"); // 6.77
    EXPECT_EQ(st.rows[4].shape, "4333");
    EXPECT_EQ(st.rows[4].actual, "  64");
    EXPECT_EQ(st.rows[4].expected, "   7"); // 6.74
    EXPECT_EQ(st.rows[4].difference, "+57");
    EXPECT_EQ(st.rows[5].shape, "6322");
    EXPECT_EQ(st.rows[5].expected, "   4");
    EXPECT_EQ(st.rows[5].difference, " -4");
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(st.averageHcp[s], " 10.0");
        EXPECT_EQ(st.averageDistrib[s], "   .0");
    }
    // Every card is always in the same hand: each pair is 100% or 0%, and the first of each is kept.
    EXPECT_EQ(st.maxFrequency, "100% \u2660A N");
    EXPECT_EQ(st.minFrequency, "0% \u2660K N");
    // Identical boards: the first pair reaching 13.
    EXPECT_EQ(st.innerSimilarity, 13);
    EXPECT_EQ(st.innerFirst, 17);
    EXPECT_EQ(st.innerSecond, 18);
}

TEST(ShapeStatistics, NextRowOnlyWhenItIsExpectedAtLeastOnce) {
    BoardSet set = SetOf(1, {RoundRobinBoard()});
    ShapeTally tally = EmptyTally();
    const SetStatistics st = ShapeStatistics(set, tally);
    // Shape 6 is expected 0.0564249 x 4 = 0.23 times, rounded 0: rows stop at the highest shape seen.
    ASSERT_EQ(st.rows.size(), 5U);
    EXPECT_EQ(st.rows[0].expected, "   1"); // 0.86
    EXPECT_EQ(st.rows[0].difference, " -1");
    EXPECT_EQ(st.rows[3].expected, "   0"); // 0.42
    EXPECT_EQ(st.rows[3].difference, "  0");
    EXPECT_EQ(st.rows[4].actual, "   4");
    EXPECT_EQ(st.rows[4].difference, "+4");
    EXPECT_EQ(st.innerSimilarity, 0);
    EXPECT_EQ(st.innerFirst, 0);
    EXPECT_EQ(st.innerSecond, 0);
}

TEST(ShapeStatistics, RarestShapeShowsEveryRow) {
    BoardSet set = SetOf(1, {samples::SuitPerHandBoard()});
    ShapeTally tally = EmptyTally();
    const SetStatistics st = ShapeStatistics(set, tally);
    EXPECT_EQ(tally[39], 4);
    ASSERT_EQ(st.rows.size(), 39U);
    EXPECT_EQ(st.rows[38].shape, "D000");
    EXPECT_EQ(st.rows[38].actual, "   4");
    EXPECT_EQ(st.rows[38].expected, "   0");
    EXPECT_EQ(st.rows[38].difference, "+4");
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(st.averageHcp[s], " 10.0");
        EXPECT_EQ(st.averageDistrib[s], "  9.0");
    }
}

TEST(ShapeStatistics, AveragesAndFrequenciesOverCompleteBoardsOnly) {
    Board partial = samples::SuitPerHandBoard();
    partial.cardOwner[1] = 0;
    AnalyseBoard(partial);
    // Boards 5..8: suit per hand, round robin, partial (ignored), round robin.
    BoardSet set = SetOf(5, {samples::SuitPerHandBoard(), RoundRobinBoard(), partial, RoundRobinBoard()});
    ShapeTally tally = EmptyTally();
    const SetStatistics st = ShapeStatistics(set, tally);

    EXPECT_EQ(set.completedCount, 3);
    EXPECT_EQ(tally[5], 8);
    EXPECT_EQ(tally[39], 4);
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(st.averageHcp[s], " 10.0");
        EXPECT_EQ(st.averageDistrib[s], "  3.0"); // (9 + 0 + 0) / 3
    }
    // The spade ace is North's in all three; the spade king is North's once (33%) and East's twice; the
    // first pair with the smallest count (0) is North and the heart ace.
    EXPECT_EQ(st.maxFrequency, "100% \u2660A N");
    EXPECT_EQ(st.minFrequency, "0% \u2665A N");
}

TEST(ShapeStatistics, FrequencyPercentageIsRounded) {
    // Round robin, the same moved on by one seat, and suit per hand: no card stays in one hand in all
    // three, so the largest count is 2 of 3 (67%), first reached by North's spade ace.
    Board rotated = RoundRobinBoard();
    for (int code = 1; code <= kCards; ++code)
        rotated.cardOwner[code] = static_cast<Seat>(rotated.cardOwner[code] % 4 + 1);
    AnalyseBoard(rotated);
    BoardSet set = SetOf(1, {RoundRobinBoard(), rotated, samples::SuitPerHandBoard()});
    ShapeTally tally = EmptyTally();
    const SetStatistics st = ShapeStatistics(set, tally);
    EXPECT_EQ(st.maxFrequency, "67% \u2660A N");
    EXPECT_EQ(st.minFrequency, "0% \u2665A N");
}

TEST(ShapeStatistics, InnerSimilarityOfTheSetIsReported) {
    BoardSet set = samples::RandomSet(1, 24, 99);
    set[20] = set[3];
    set[20].number = 20;
    ShapeTally tally = EmptyTally();
    const SetStatistics st = ShapeStatistics(set, tally);
    EXPECT_EQ(st.innerSimilarity, 13);
    EXPECT_EQ(st.innerFirst, 3);
    EXPECT_EQ(st.innerSecond, 20);
    int hands = 0;
    for (int i = 1; i <= kShapeCount; ++i)
        hands += tally[i];
    EXPECT_EQ(hands, 96);
}
