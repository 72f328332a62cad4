// The shape rule of the generator and the editor's random fill, and the statistics of a set.
#include "generate/statistics.h"
#include "support/test_context.h"

#include <gtest/gtest.h>

using namespace orvenix;
using namespace orvenix::test;

namespace {

// Boards first, first + 1, ... with these deals (the tally is recounted), and their statistics as the
// statistics window lists them: the complete boards, the shape rows, the averages of the four seats, the two
// card frequencies and the closest pair of boards.
std::string StatisticsOf(int first, const std::vector<Owners>& deals, ShapeTally& tally) {
    BoardSet set;
    set.firstBoard = static_cast<std::int16_t>(first);
    set.lastBoard = static_cast<std::int16_t>(first + static_cast<int>(deals.size()) - 1);
    set.completedCount = 9; // a stale count of an earlier run
    for (std::size_t i = 0; i < deals.size(); ++i)
        PutBoard(set, first + static_cast<int>(i), deals[i]);
    const SetStatistics st = ShapeStatistics(set, tally);
    std::string s = std::to_string(set.completedCount) + "|";
    for (const ShapeRow& r : st.rows)
        s += r.shape + r.actual + r.expected + r.difference + "|";
    for (std::size_t seat = 0; seat < 4; ++seat)
        s += st.averageHcp[seat] + st.averageDistrib[seat] + "|";
    return s + st.maxFrequency + "|" + st.minFrequency + "|" + std::to_string(st.innerSimilarity) + " " +
           std::to_string(st.innerFirst) + ":" + std::to_string(st.innerSecond);
}

} // namespace

TEST(ShapeAllowed, AShapeMayRunAheadOfItsShareOnlyByRounding) {
    // 4432 is index 1 (frequency 0.215512), 7411 index 18 (0.0039184); the allowance at board n is
    // round(frequency x 8 x n), in single precision with halves to even.
    // Each case: two tally entries (shape index, hands already counted), the shape, the board, allowed. 4432
    // at board 1: 1.72 rounds to 2. 7411 at board 1: allowance 0, so it passes only while nothing rarer (nor
    // itself) was counted; more common shapes do not matter. At boards 15 and 16 the allowance is 0.47 and
    // 0.50, rounding to 0 and 1. 4432 at 7798 is exactly 13444.5 in single precision: halves to even.
    const int cases[][7] = {
        {1, 2, 0, 0, 1, 1, 1},        {1, 3, 0, 0, 1, 1, 0},        {0, 0, 0, 0, 18, 1, 1},
        {17, 5, 0, 0, 18, 1, 1},      {19, 1, 0, 0, 18, 1, 0},      {27, 1, 0, 0, 18, 1, 0},
        {39, 1, 0, 0, 18, 1, 0},      {18, 1, 0, 0, 18, 1, 0},      {19, 1, 0, 0, 18, 15, 0},
        {19, 1, 0, 0, 18, 16, 1},     {19, 1, 18, 1, 18, 16, 1},    {19, 1, 18, 2, 18, 16, 0},
        {1, 13444, 0, 0, 1, 7798, 1}, {1, 13445, 0, 0, 1, 7798, 0}, {0, 0, 0, 0, 0, 1, 0},
        {0, 0, 0, 0, 40, 1, 0},       {0, 0, 0, 0, 39, 1, 1}};
    for (const auto& c : cases) {
        ShapeTally tally{};
        tally[static_cast<std::size_t>(c[0])] += c[1];
        tally[static_cast<std::size_t>(c[2])] += c[3];
        EXPECT_EQ(ShapeAllowed(tally, c[4], c[5]), c[6] == 1) << "shape " << c[4] << " board " << c[5];
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

TEST(ShapeStatistics, RowsAveragesAndFrequenciesOverCompleteBoardsOnly) {
    ShapeTally tally{};
    tally[3] = 7; // stale counts of an earlier run are cleared
    EXPECT_TRUE(StatisticsOf(1, {Owners{}}, tally) == "0|||||||0 0:0" && tally == ShapeTally{});
    // Rows up to the highest shape seen (4333, index 5), and 6322 as well: it is expected 0.0564249 x 64 =
    // 3.6 times. Expected counts are frequency x 64 rounded: 13.79, 9.93, 8.28, 6.77, 6.74, 3.61. Every card
    // is always in the same hand: each pair is 100% or 0%, and the first of each is kept. Identical boards:
    // the first pair reaching 13.
    EXPECT_EQ(
        StatisticsOf(17, std::vector<Owners>(16, RoundRobinDeal()), tally),
        "16|4432   0  14-14|5332   0  10-10|5431   0   8 -8|5422   0   7 -7|4333  64   7+57|"
        "6322   0   4 -4| 10.0   .0| 10.0   .0| 10.0   .0| 10.0   .0|100% \u2660A N|0% \u2660K N|13 17:18");
    EXPECT_EQ(tally[5], 64);

    // One 4333 board: 6322 is expected 0.23 times, so no row. One D000 board: every row up to it. 4432 is
    // expected 0.86 times, 5422 0.42 times.
    for (const auto& [deal, rows, last] : {std::tuple{RoundRobinDeal(), 5, "|4333   4   0+4| 10.0"},
                                           std::tuple{SuitDeal(), 39, "|D000   4   0+4| 10.0"}}) {
        const std::string s = StatisticsOf(1, {deal}, tally);
        EXPECT_TRUE(std::ranges::count(s, '|') == rows + 7 && s.starts_with("1|4432   0   1 -1|") &&
                    s.find("|5422   0   0  0|") != std::string::npos && s.find(last) != std::string::npos)
            << s;
    }

    // Boards 5..8: suit per hand (9 distribution points each), round robin, partial (ignored), round robin.
    // The spade ace is North's in all three; the first pair with the smallest count (0) is North's heart ace.
    Owners partial = SuitDeal();
    partial[1] = 0;
    const std::string s = StatisticsOf(5, {SuitDeal(), RoundRobinDeal(), partial, RoundRobinDeal()}, tally);
    EXPECT_TRUE(tally[5] == 8 && tally[39] == 4 && s.starts_with("3|") &&
                s.find("| 10.0  3.0| 10.0  3.0| 10.0  3.0| 10.0  3.0|100% \u2660A N|0% \u2665A N|") !=
                    std::string::npos)
        << s;
    // Round robin, the same moved on by one seat, and suit per hand: no card stays in one hand in all three,
    // so the largest count is 2 of 3, rounded to 67%.
    EXPECT_NE(StatisticsOf(1, {RoundRobinDeal(), Rotated(RoundRobinDeal()), SuitDeal()}, tally)
                  .find("|67% \u2660A N|"),
              std::string::npos);
}
