#include "analysis/double_dummy.h"
#include "support/board_set_samples.h"

#include <gtest/gtest.h>

#include <tuple>

namespace orvenix {
namespace {

// North holds the top four spades and the top three cards of every other suit; the other cards go round
// East, South and West in turn, so that each holds 13.
Board TopsToNorth() {
    Board b;
    int i = 0;
    for (int code = 1; code <= kCards; ++code)
        b.cardOwner[code] = static_cast<Seat>(RankOf(code) <= (SuitOf(code) == 1 ? 4 : 3) ? 1 : 2 + i++ % 3);
    b.status = kBoardComplete;
    return b;
}

// The tricks of North, East, South and West in each of the strains, a strain ending in '|'.
std::string Tricks(const DoubleDummyResult& r, const std::vector<int>& strains) {
    std::string out;
    for (int strain : strains)
        for (int seat = 0; seat < 4; ++seat)
            out += std::to_string(r.tricks[seat][strain]) + (seat == 3 ? "|" : " ");
    return out;
}

TEST(DoubleDummy, DealsWorkedOutByHand) {
    DoubleDummyAnalyser analyser; // a fresh cache
    const std::vector<int> all{kSpades, kDiamonds, kHearts, kClubs, kNotrump};
    const Board suits = test::SuitPerHandBoard();
    const Board tops = TopsToNorth();
    // The deal, the board number that gives the dealer and vulnerability, the strains and what they show.
    const std::tuple<Board, int, std::vector<int>, std::string> cases[] = {
        // Each hand one whole suit: a side whose hand holds all the trumps takes every trick; in the other
        // side's suits, and in notrump where the opening leader runs a 13-card suit, it takes none. Both
        // sides make a grand slam and spades outrank hearts: 7S by North-South, on board 1 210 + 300 + 1000,
        // on board 7 (vulnerable) 210 + 500 + 1500.
        {suits, 1, all, "13 0 13 0|13 0 13 0|0 13 0 13|0 13 0 13|0 0 0 0|Par: 7S NS, NS +1510"},
        {suits, 7, all, "13 0 13 0|13 0 13 0|0 13 0 13|0 13 0 13|0 0 0 0|Par: 7S NS, NS +2210"},
        // North holds four spades and three cards of every other suit, each the best left in its suit:
        // North-South win every trick in notrump, and in spades and diamonds, of which East and West hold
        // three each, none left after three rounds. 7NT by North-South; board 1 is not vulnerable:
        // 220 + 300 + 1000.
        {tops, 1, {kNotrump, kSpades, kDiamonds}, "13 0 13 0|13 0 13 0|13 0 13 0|Par: 7NT NS, NS +1520"}};
    for (const auto& [board, number, strains, expected] : cases) {
        SCOPED_TRACE(expected);
        const auto r = analyser.Analyse(board, number);
        ASSERT_TRUE(r.has_value());
        // The tricks, then the par line where the row gives one.
        const std::string tricks = Tricks(*r, strains);
        EXPECT_EQ(tricks + (expected.size() > tricks.size() ? ParLine(r->par) : ""), expected);
    }
    // The par line of an East-West result and of a deal passed out.
    EXPECT_EQ(ParLine(ParResult{-100, {"5Cx EW -1"}}) + "|" + ParLine(ParResult{}),
              "Par: 5Cx EW -1, EW +100|Par: 0, passed out");
}

TEST(DoubleDummy, IncompleteOrCancelledBoardsGetNoAnalysis) {
    DoubleDummyAnalyser analyser; // a fresh cache
    Board b = TopsToNorth();
    b.cardOwner[5] = 0;
    Board partial = TopsToNorth();
    partial.status = kBoardPartial;
    EXPECT_FALSE(analyser.Analyse(b, 1).has_value() || analyser.Analyse(partial, 1).has_value());
    // Cancelled before the first batch: nothing is solved either.
    const Board a = test::SuitPerHandBoard();
    const auto r = analyser.Analyse({{&a, 1}}, [](int, int) { return false; });
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(std::tuple(r[0].has_value(), analyser.SolvedDeals()), std::tuple(false, 0));
}

TEST(DoubleDummy, EachDealIsSolvedOnceAndThenComesFromTheCache) {
    DoubleDummyAnalyser analyser; // a fresh cache
    const Board a = test::SuitPerHandBoard();
    const Board b = TopsToNorth();
    // The same deal again on board 7, with another dealer and vulnerability.
    const auto first = analyser.Analyse({{&a, 1}, {&b, 2}, {&a, 7}});
    ASSERT_TRUE(first.size() == 3 && first[0] && first[1] && first[2]);
    EXPECT_EQ(std::tuple(analyser.SolvedDeals(), analyser.CacheSize(), first[0]->tricks == first[2]->tricks,
                         analyser.Cached(b, 2).has_value()),
              std::tuple(2, 2u, true, true));
    const auto again = analyser.Analyse({{&b, 2}, {&a, 1}});
    ASSERT_TRUE(again[0].has_value() && analyser.SolvedDeals() == 2); // nothing solved the second time
    EXPECT_EQ(std::tie(again[0]->tricks, again[0]->par.scoreNS),
              std::tie(first[1]->tricks, first[1]->par.scoreNS));
}

} // namespace
} // namespace orvenix
