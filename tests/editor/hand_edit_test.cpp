// Card entry and the hand operations of the board editor on a single board.
#include "editor/hand_edit.h"

#include "support/board_set_samples.h"

#include <gtest/gtest.h>

#include <tuple>

namespace orvenix {
namespace {

constexpr int N = 1, E = 2, S = 3, W = 4;
constexpr int Spades = 1, Hearts = 2, Diamonds = 3, Clubs = 4;

using Typed = std::tuple<int, int, const char*>; // seat, suit, text

Board TypedBoard(const std::vector<Typed>& typed) {
    Board b{};
    for (const auto& [seat, suit, text] : typed)
        ParseSuitText(b, SuitBoxIndex(seat, suit), text);
    return b;
}

TEST(ParseSuitText, TypedRankLettersReplaceThatSeatsCardsOfThatSuitTheRestAreSpare) {
    // What the typing leaves in North's spades and hearts, East's spades, South's hearts and West's clubs,
    // and the spades no seat holds.
    const std::pair<std::vector<Typed>, std::string> cases[] = {
        {{{E, Spades, "A"}, {N, Spades, "akq"}}, "AKQ|||||JT98765432"}, // lower case, taken from East
        {{{S, Hearts, "2TKA9"}}, "|||AKT92||AKQJT98765432"},            // shown in rank order
        {{{N, Spades, "x10"}}, "|||||AKQJT98765432"},                   // a ten is T
        {{{N, Spades, "  \xc3\x84 k-j,1 \t"}, {W, Clubs, "AAAA"}}, "KJ||||A|AQT98765432"},
        {{{N, Spades, "AKQ"}, {N, Hearts, "AK"}, {E, Spades, "J"}, {N, Spades, "Q"}},
         "Q|AK|J|||AKT98765432"}};
    for (const auto& [typed, shown] : cases) {
        const Board b = TypedBoard(typed);
        std::string seen;
        for (const int box : {0, 1, 4, 9, 15}) // the boxes of those seats and suits
            seen += HandSuitCards(b, box) + "|";
        EXPECT_EQ(seen + SpareCards(b, Spades), shown);
    }
    Board full = test::SuitPerHandBoard();
    full.cardOwner[CardCodeOf(Clubs, 8)] = 9; // an owner that is no seat counts as not placed
    EXPECT_EQ(SpareCards(full, Clubs), "7");
}

TEST(SwapButtons, MoveEveryHandWhereTheButtonSays) {
    // Where the cards of seats 1..4 go: swaps N-W, N-E, S-E, S-W, N-S, E-W, then counter-clockwise (N to E)
    // and clockwise (N to W). Unplaced cards stay unplaced.
    const int maps[8][5] = {{0, W, E, S, N}, {0, E, N, S, W}, {0, N, S, E, W}, {0, N, E, W, S},
                            {0, S, E, N, W}, {0, N, W, S, E}, {0, E, S, W, N}, {0, W, N, E, S}};
    Board original = test::SuitPerHandBoard();
    ParseSuitText(original, SuitBoxIndex(W, Clubs), "AKQ");
    for (int button = 0; button < 8; ++button) {
        Board b = original;
        SwapButton(b, button);
        for (int code = 1; code <= kCards; ++code)
            ASSERT_EQ(b.cardOwner[code], maps[button][original.cardOwner[code]]) << "button " << button;
    }
}

TEST(FillLastHand, CompletesTheFourthHandOnlyWhenThreeAreComplete) {
    const Board full = test::SuitPerHandBoard();
    for (int open = 1; open <= 4; ++open) {
        Board b = full;
        ParseSuitText(b, SuitBoxIndex(open, open), ""); // each seat holds its own suit
        EXPECT_TRUE(CompleteHands(b) == 3 && FillLastHand(b) && !CardsDiffer(b, full)) << open;
    }
    // No hand, two hands or four hands complete: nothing to fill.
    for (const Board& before :
         {Board{}, TypedBoard({{N, Spades, "AKQJT98765432"}, {E, Hearts, "AKQJT98765432"}}), full}) {
        Board b = before;
        EXPECT_TRUE(!FillLastHand(b) && !CardsDiffer(b, before));
    }
}

} // namespace
} // namespace orvenix
