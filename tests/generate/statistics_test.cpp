// The shape rule of the generator and the editor's random fill, and the statistics of a set.
#include "generate/statistics.h"
#include "model/board.h"
#include "model/shapes.h"
#include "support/test_context.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace orvenix;
using namespace orvenix::test;

namespace {

BoardSet SetOf(int first, const std::vector<Owners>& deals) {
    BoardSet set;
    set.firstBoard = static_cast<std::int16_t>(first);
    set.lastBoard = static_cast<std::int16_t>(first + static_cast<int>(deals.size()) - 1);
    for (std::size_t i = 0; i < deals.size(); ++i)
        PutBoard(set, first + static_cast<int>(i), deals[i]);
    return set;
}

Owners Rotated(Owners o) {
    for (auto& seat : o)
        seat = seat == 0 ? 0 : static_cast<Seat>(seat % 4 + 1);
    return o;
}

} // namespace

TEST(ShapeAllowed, AShapeMayRunAheadOfItsShareOnlyByRounding) {
    // 4432 is index 1 (frequency 0.215512), 7411 index 18 (0.0039184); the allowance at board n is
    // round(frequency x 8 x n), in single precision with halves to even.
    ASSERT_EQ(FindShape("4432"), 1);
    ASSERT_EQ(FindShape("7411"), 18);
    struct Case {
        std::vector<std::pair<int, int>> tally; // shape index, hands already counted
        int shape;
        int board;
        bool allowed;
    };
    const Case cases[] = {
        {{{1, 2}}, 1, 1, true}, // 1.72 rounds to 2
        {{{1, 3}}, 1, 1, false},
        {{}, 18, 1, true},         // allowance 0, nothing rarer counted
        {{{17, 5}}, 18, 1, true},  // more common shapes do not matter
        {{{19, 1}}, 18, 1, false}, // allowance 0 once a rarer shape was accepted
        {{{27, 1}}, 18, 1, false},
        {{{39, 1}}, 18, 1, false},
        {{{18, 1}}, 18, 1, false},
        {{{19, 1}}, 18, 15, false}, // 0.47 rounds to 0
        {{{19, 1}}, 18, 16, true},  // 0.50 rounds to 1
        {{{19, 1}, {18, 1}}, 18, 16, true},
        {{{19, 1}, {18, 2}}, 18, 16, false},
        {{{1, 13444}}, 1, 7798, true}, // exactly 13444.5 in single precision: halves to even
        {{{1, 13445}}, 1, 7798, false},
        {{}, 0, 1, false},
        {{}, 40, 1, false},
        {{}, 39, 1, true},
    };
    for (const Case& c : cases) {
        ShapeTally tally{};
        for (const auto& [shape, count] : c.tally)
            tally[static_cast<std::size_t>(shape)] = count;
        EXPECT_EQ(ShapeAllowed(tally, c.shape, c.board), c.allowed)
            << "shape " << c.shape << " board " << c.board;
    }
}

TEST(FormatAverage, WholePartWithoutLeadingZeroAndOneDecimal) {
    const std::pair<float, const char*> cases[] = {
        {12.0F, " 12.0"},  {0.5F, "   .5"},      {0.0F, "   .0"},      {9.0F, "  9.0"},  {1.0F, "  1.0"},
        {1.04F, "  1.0"},  {10.0F / 3, "  3.3"}, {20.0F / 3, "  6.7"}, {37.0F, " 37.0"}, {0.04F, "   .0"},
        {999.9F, "999.9"}, {1234.5F, "234.5"}}; // cut to the last five characters
    for (const auto& [value, text] : cases)
        EXPECT_EQ(FormatAverage(value), text) << value;
}

TEST(ShapeStatistics, NoCompleteBoardShowsNothing) {
    Owners one{};
    one[1] = 1;
    BoardSet set = SetOf(1, {one, Owners{}});
    ShapeTally tally{};
    tally[3] = 7; // stale counts of an earlier run are cleared
    set.completedCount = 9;
    const SetStatistics st = ShapeStatistics(set, tally);
    EXPECT_EQ(set.completedCount, 0);
    EXPECT_TRUE(st.rows.empty());
    for (int s = 0; s < 4; ++s)
        EXPECT_TRUE(st.averageHcp[s].empty() && st.averageDistrib[s].empty());
    EXPECT_TRUE(st.maxFrequency.empty() && st.minFrequency.empty());
    EXPECT_EQ(tally, ShapeTally{});
}

TEST(ShapeStatistics, SixteenBoardsOfOneShape) {
    BoardSet set = SetOf(17, std::vector<Owners>(16, RoundRobinDeal()));
    ShapeTally tally{};
    const SetStatistics st = ShapeStatistics(set, tally);
    EXPECT_EQ(set.completedCount, 16);
    EXPECT_EQ(tally[5], 64);
    // Rows up to the highest shape seen (4333, index 5), and 6322 as well: it is expected 0.0564249 x 64 =
    // 3.6 times. Expected counts are frequency x 64 rounded: 13.79, 9.93, 8.28, 6.77, 6.74, 3.61.
    const std::vector<std::array<std::string, 4>> rows{
        {"4432", "   0", "  14", "-14"}, {"5332", "   0", "  10", "-10"}, {"5431", "   0", "   8", " -8"},
        {"5422", "   0", "   7", " -7"}, {"4333", "  64", "   7", "+57"}, {"6322", "   0", "   4", " -4"}};
    ASSERT_EQ(st.rows.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ((std::array<std::string, 4>{st.rows[i].shape, st.rows[i].actual, st.rows[i].expected,
                                              st.rows[i].difference}),
                  rows[i]);
    }
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(st.averageHcp[s], " 10.0");
        EXPECT_EQ(st.averageDistrib[s], "   .0");
    }
    // Every card is always in the same hand: each pair is 100% or 0%, and the first of each is kept.
    EXPECT_EQ(st.maxFrequency, "100% \u2660A N");
    EXPECT_EQ(st.minFrequency, "0% \u2660K N");
    EXPECT_EQ(st.innerSimilarity, 13); // identical boards: the first pair reaching 13
    EXPECT_EQ(st.innerFirst, 17);
    EXPECT_EQ(st.innerSecond, 18);
}

TEST(ShapeStatistics, TheNextRowOnlyWhenItIsExpectedAtLeastOnce) {
    struct Case {
        Owners deal;
        std::size_t rows;
        const char* last;
        const char* lastDifference;
    };
    // One 4333 board: 6322 is expected 0.23 times, so no row. One D000 board: every row up to it.
    for (const Case& c : {Case{RoundRobinDeal(), 5, "4333", "+4"}, Case{SuitDeal(), 39, "D000", "+4"}}) {
        BoardSet set = SetOf(1, {c.deal});
        ShapeTally tally{};
        const SetStatistics st = ShapeStatistics(set, tally);
        ASSERT_EQ(st.rows.size(), c.rows);
        EXPECT_EQ(st.rows.back().shape, c.last);
        EXPECT_EQ(st.rows.back().actual, "   4");
        EXPECT_EQ(st.rows.back().difference, c.lastDifference);
        EXPECT_EQ(st.rows[0].expected, "   1"); // 0.86
        EXPECT_EQ(st.rows[0].difference, " -1");
        EXPECT_EQ(st.rows[3].difference, "  0"); // 0.42 expected
        EXPECT_EQ(st.innerSimilarity, 0);
        EXPECT_EQ(st.innerFirst, 0);
    }
}

TEST(ShapeStatistics, AveragesAndFrequenciesOverCompleteBoardsOnly) {
    Owners partial = SuitDeal();
    partial[1] = 0;
    // Boards 5..8: suit per hand (9 distribution points each), round robin, partial (ignored), round robin.
    BoardSet set = SetOf(5, {SuitDeal(), RoundRobinDeal(), partial, RoundRobinDeal()});
    ShapeTally tally{};
    SetStatistics st = ShapeStatistics(set, tally);
    EXPECT_EQ(set.completedCount, 3);
    EXPECT_EQ(tally[5], 8);
    EXPECT_EQ(tally[39], 4);
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(st.averageHcp[s], " 10.0");
        EXPECT_EQ(st.averageDistrib[s], "  3.0"); // (9 + 0 + 0) / 3
    }
    // The spade ace is North's in all three; the first pair with the smallest count (0) is North's heart ace.
    EXPECT_EQ(st.maxFrequency, "100% \u2660A N");
    EXPECT_EQ(st.minFrequency, "0% \u2665A N");

    // Round robin, the same moved on by one seat, and suit per hand: no card stays in one hand in all three,
    // so the largest count is 2 of 3, rounded to 67%.
    set = SetOf(1, {RoundRobinDeal(), Rotated(RoundRobinDeal()), SuitDeal()});
    st = ShapeStatistics(set, tally);
    EXPECT_EQ(st.maxFrequency, "67% \u2660A N");
}
