// Card entry and the hand operations of the board editor on a single board.
#include "editor/hand_edit.h"

#include "support/board_set_samples.h"

#include <gtest/gtest.h>

#include <random>
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

TEST(ParseSuitText, TypedRankLettersReplaceThatSeatsCardsOfThatSuit) {
    // What the typing leaves in North's spades and hearts, East's spades, South's hearts and West's clubs.
    const std::pair<std::vector<Typed>, std::vector<std::string>> cases[] = {
        {{{E, Spades, "A"}, {N, Spades, "akq"}}, {"AKQ", "", "", "", ""}}, // lower case, taken from East
        {{{S, Hearts, "2TKA9"}}, {"", "", "", "AKT92", ""}},               // shown in rank order
        {{{N, Spades, "x10"}}, {"", "", "", "", ""}},                      // a ten is T
        {{{N, Spades, "  \xc3\x84 k-j,1 \t"}, {W, Clubs, "AAAA"}}, {"KJ", "", "", "", "A"}},
        {{{N, Spades, "AKQ"}, {N, Hearts, "AK"}, {E, Spades, "J"}, {N, Spades, "Q"}},
         {"Q", "AK", "J", "", ""}},
        {{{N, Hearts, "AK"}, {N, Hearts, ""}}, {"", "", "", "", ""}}};
    for (const auto& [typed, shown] : cases) {
        const Board b = TypedBoard(typed);
        EXPECT_EQ((std::vector<std::string>{
                      HandSuitCards(b, SuitBoxIndex(N, Spades)), HandSuitCards(b, SuitBoxIndex(N, Hearts)),
                      HandSuitCards(b, SuitBoxIndex(E, Spades)), HandSuitCards(b, SuitBoxIndex(S, Hearts)),
                      HandSuitCards(b, SuitBoxIndex(W, Clubs))}),
                  shown);
    }
    // A box outside 0..15 changes and shows nothing.
    Board b = test::SuitPerHandBoard();
    for (int index : {-1, 16, 1000})
        ParseSuitText(b, index, "AKQ");
    EXPECT_FALSE(CardsDiffer(b, test::SuitPerHandBoard()));
    EXPECT_EQ(HandSuitCards(b, -1) + HandSuitCards(b, 16), "");
}

TEST(SpareCards, ListsCardsNoSeatHoldsInRankOrder) {
    const Board b = TypedBoard({{N, Diamonds, "AQT8642"}, {S, Diamonds, "KJ975"}, {N, Spades, "AKQ"}});
    EXPECT_EQ(SpareCards(b, Diamonds) + "|" + SpareCards(b, Spades) + "|" + SpareCards(b, Hearts) + "|" +
                  SpareCards(b, 0) + SpareCards(b, 5),
              "3|JT98765432|AKQJT98765432|");
    Board full = test::SuitPerHandBoard();
    full.cardOwner[CardCodeOf(Clubs, 8)] = 9; // an owner that is no seat counts as not placed
    EXPECT_EQ(SpareCards(full, Clubs), "7");
}

TEST(SwapButtons, MoveEveryHandWhereTheButtonSays) {
    // Where the cards of seats 1..4 go: swaps N-W, N-E, S-E, S-W, N-S, E-W, then counter-clockwise (N to E)
    // and clockwise (N to W).
    const int maps[8][5] = {{0, W, E, S, N}, {0, E, N, S, W}, {0, N, S, E, W}, {0, N, E, W, S},
                            {0, S, E, N, W}, {0, N, W, S, E}, {0, E, S, W, N}, {0, W, N, E, S}};
    std::mt19937 rng(11);
    const Board original = test::RandomBoard(rng);
    for (int button = 0; button < 8; ++button) {
        Board b = original;
        SwapButton(b, button);
        for (int code = 1; code <= kCards; ++code)
            ASSERT_EQ(b.cardOwner[code], maps[button][original.cardOwner[code]]) << "button " << button;
    }
    // Unplaced cards stay unplaced; other buttons and seats change nothing.
    Board b = TypedBoard({{N, Spades, "AK"}, {W, Hearts, "Q"}});
    const Board before = b;
    SwapButton(b, 8);
    SwapButton(b, -1);
    SwapSeats(b, E, E);
    SwapSeats(b, 0, 5);
    EXPECT_FALSE(CardsDiffer(b, before));
    RotateHands(b, 1);
    EXPECT_EQ(HandSuitCards(b, SuitBoxIndex(E, Spades)) + HandSuitCards(b, SuitBoxIndex(N, Hearts)), "AKQ");
    EXPECT_EQ(SpareCards(b, Clubs), "AKQJT98765432");
}

TEST(FillLastHand, CompletesTheFourthHandOnlyWhenThreeAreComplete) {
    std::mt19937 rng(13);
    const Board full = test::RandomBoard(rng);
    for (int open = 1; open <= 4; ++open) {
        Board b = full;
        for (int code = 1, removed = 0; code <= kCards && removed < 5; ++code) {
            if (b.cardOwner[code] == open) {
                b.cardOwner[code] = 0;
                ++removed;
            }
        }
        EXPECT_EQ(CompleteHands(b), 3);
        EXPECT_TRUE(FillLastHand(b) && !CardsDiffer(b, full)) << "open seat " << open;
    }
    Board two = TypedBoard({{N, Spades, "AKQJT98765432"}, {E, Hearts, "AKQJT98765432"}});
    Board none{}, four = full;
    for (Board* b : {&none, &two, &four}) {
        const Board before = *b;
        EXPECT_TRUE(!FillLastHand(*b) && !CardsDiffer(*b, before));
    }
}

TEST(CardsDiffer, LooksAtCardOwnersOnly) {
    const Board a = test::SuitPerHandBoard();
    Board b = a;
    std::tie(b.number, b.dealer, b.vulnerability) = std::tuple{7, 3, 4};
    EXPECT_FALSE(CardsDiffer(a, b));
    b.cardOwner[52] = N;
    EXPECT_TRUE(CardsDiffer(a, b));
}

} // namespace
} // namespace orvenix
