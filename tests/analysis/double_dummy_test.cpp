#include "analysis/double_dummy.h"
#include "support/board_set_samples.h"

#include <gtest/gtest.h>

#include <string>

namespace orvenix {
namespace {

constexpr int kN = 0, kE = 1, kS = 2, kW = 3;

// A board from four hands written as "AKQJ.AKQ.AKQ.AKQ" (spades, hearts, diamonds, clubs), N E S W.
Board BoardFromHands(const std::array<std::string, 4>& hands) {
    Board b;
    const std::string ranks = kRankLetters;
    for (int seat = 1, suit = 1; seat <= 4; ++seat, suit = 1)
        for (char c : hands[seat - 1])
            if (c == '.')
                ++suit;
            else
                b.cardOwner[CardCodeOf(suit, static_cast<int>(ranks.find(c)) + 1)] = static_cast<Seat>(seat);
    b.status = kBoardComplete;
    return b;
}

// Every hand 4-3-3-3 and North holds the top cards of every suit; the other hands hold lower cards only.
Board FlatTopNorth() {
    return BoardFromHands({"AKQJ.AKQ.AKQ.AKQ", "T98.JT98.JT9.JT9", "765.765.8765.876", "432.432.432.5432"});
}

// Tricks of North, East, South and West in one strain.
std::array<int, 4> Column(const DoubleDummyResult& r, int strain) {
    return {r.tricks[kN][strain], r.tricks[kE][strain], r.tricks[kS][strain], r.tricks[kW][strain]};
}
constexpr std::array<int, 4> kAllNS{13, 0, 13, 0};
constexpr std::array<int, 4> kAllEW{0, 13, 0, 13};

class DoubleDummyTest : public ::testing::Test {
  protected:
    DoubleDummyAnalyser analyser; // a fresh cache per test
};

TEST_F(DoubleDummyTest, EachHandHoldingOneWholeSuit) {
    // A side whose hand holds all the trumps takes every trick; in the other side's suits, and in notrump
    // where the opening leader runs a 13-card suit, it takes none. Both sides make a grand slam and spades
    // outrank hearts: 7S by North-South.
    struct Case {
        Seat dealer;
        Vulnerability vulnerability;
        int scoreNS;
    };
    for (const Case& c : {Case{1, 1, 1510}, Case{2, 4, 2210}}) { // 210 + 300 + 1000; 210 + 500 + 1500
        Board b = test::SuitPerHandBoard();
        b.dealer = c.dealer;
        b.vulnerability = c.vulnerability;
        const auto r = analyser.Analyse(b, 1);
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(std::tuple(Column(*r, kSpades), Column(*r, kDiamonds), Column(*r, kHearts),
                             Column(*r, kClubs), Column(*r, kNotrump)),
                  std::tuple(kAllNS, kAllNS, kAllEW, kAllEW, std::array<int, 4>{}));
        EXPECT_EQ(std::tuple(r->par.scoreNS, ParLine(r->par).substr(0, 7)), std::tuple(c.scoreNS, "Par: 7S"));
    }
}

TEST_F(DoubleDummyTest, OneHandHoldingAllThirteenSpades) {
    // North: every spade. The other 39 cards spread without any special pattern.
    const Board b =
        BoardFromHands({"AKQJT98765432...", ".AK98.QT75.J9643", ".QJ765.AK96.T872", ".T432.J8432.AKQ5"});
    const auto r = analyser.Analyse(b, 3);
    ASSERT_TRUE(r.has_value());
    // North ruffs or wins every trick; the same when South declares, North ruffing third in hand.
    EXPECT_EQ(Column(*r, kSpades), kAllNS);
}

TEST_F(DoubleDummyTest, FlatHandsWithNorthHoldingTheTopCards) {
    const auto r = analyser.Analyse(FlatTopNorth(), 1);
    ASSERT_TRUE(r.has_value());
    // North has a card in every suit and each of them is the best left in its suit: North-South win
    // every trick in notrump, and in spades and diamonds, where no opponent keeps a trump after three
    // rounds.
    for (int strain : {kNotrump, kSpades, kDiamonds})
        EXPECT_EQ(Column(*r, strain), kAllNS) << strain;
    // 7NT by North-South; board 1 is not vulnerable: 220 + 300 + 1000.
    EXPECT_EQ(std::tuple(ParLine(r->par).substr(0, 8), r->par.scoreNS), std::tuple("Par: 7NT", 1520));
}

TEST_F(DoubleDummyTest, IncompleteOrCancelledBoardsGetNoAnalysis) {
    Board b = FlatTopNorth();
    b.cardOwner[5] = 0;
    Board partial = FlatTopNorth();
    partial.status = kBoardPartial;
    EXPECT_FALSE(analyser.Analyse(b, 1).has_value() || analyser.Analyse(partial, 1).has_value());
    // Cancelled before the first batch: nothing is solved either.
    const Board a = test::SuitPerHandBoard();
    const auto r = analyser.Analyse({{&a, 1}}, [](int, int) { return false; });
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(std::tuple(r[0].has_value(), analyser.SolvedDeals()), std::tuple(false, 0));
}

TEST_F(DoubleDummyTest, EachDealIsSolvedOnceAndThenComesFromTheCache) {
    const Board a = test::SuitPerHandBoard();
    const Board b = FlatTopNorth();
    Board aAgain = a; // the same deal on another board number, dealer and vulnerability
    aAgain.dealer = 3;
    aAgain.vulnerability = 2;
    const auto first = analyser.Analyse({{&a, 1}, {&b, 2}, {&aAgain, 7}});
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(std::tuple(analyser.SolvedDeals(), analyser.CacheSize()), std::tuple(2, 2u));
    EXPECT_EQ(first[0]->tricks, first[2]->tricks);
    EXPECT_TRUE(analyser.Cached(b, 2).has_value());
    const auto again = analyser.Analyse({{&b, 2}, {&a, 1}});
    EXPECT_EQ(analyser.SolvedDeals(), 2); // nothing solved the second time
    ASSERT_TRUE(again[0].has_value());
    EXPECT_EQ(std::tie(again[0]->tricks, again[0]->par.scoreNS),
              std::tie(first[1]->tricks, first[1]->par.scoreNS));
}

TEST(ParLineTest, Texts) {
    EXPECT_EQ(ParLine(ParResult{420, {"4S N"}}), "Par: 4S N, NS +420");
    EXPECT_EQ(ParLine(ParResult{-100, {"5Cx EW -1"}}), "Par: 5Cx EW -1, EW +100");
    EXPECT_EQ(ParLine(ParResult{}), "Par: 0, passed out");
}

} // namespace
} // namespace orvenix
