// Card entry and the hand operations of the board editor on a single board.
#include "editor/hand_edit.h"

#include "support/board_set_samples.h"

#include <gtest/gtest.h>

#include <random>

namespace orvenix {
namespace {

constexpr int N = 1, E = 2, S = 3, W = 4;
constexpr int Spades = 1, Hearts = 2, Diamonds = 3, Clubs = 4;

int Code(int suit, char rank) {
    const std::string letters = "AKQJT98765432";
    return CardCodeOf(suit, static_cast<int>(letters.find(rank)) + 1);
}

TEST(SuitBoxIndex, RunsSeatBySeatThenSuitBySuit) {
    EXPECT_EQ(SuitBoxIndex(N, Spades), 0);
    EXPECT_EQ(SuitBoxIndex(N, Clubs), 3);
    EXPECT_EQ(SuitBoxIndex(E, Spades), 4);
    EXPECT_EQ(SuitBoxIndex(W, Clubs), 15);
    for (int i = 0; i < kSuitBoxCount; ++i)
        EXPECT_EQ(SuitBoxIndex(SeatOfSuitBox(i), SuitOfSuitBox(i)), i);
}

TEST(ParseSuitText, LowerCaseLettersPlaceCardsAndTakeThemFromOtherSeats) {
    Board b{};
    b.cardOwner[Code(Spades, 'A')] = E;
    ParseSuitText(b, SuitBoxIndex(N, Spades), "akq");
    EXPECT_EQ(b.cardOwner[Code(Spades, 'A')], N);
    EXPECT_EQ(b.cardOwner[Code(Spades, 'K')], N);
    EXPECT_EQ(b.cardOwner[Code(Spades, 'Q')], N);
    EXPECT_EQ(HandSuitCards(b, SuitBoxIndex(N, Spades)), "AKQ");
    EXPECT_EQ(HandSuitCards(b, SuitBoxIndex(E, Spades)), "");
}

TEST(ParseSuitText, CardsAreShownInRankOrderWhateverTheTypingOrder) {
    Board b{};
    ParseSuitText(b, SuitBoxIndex(S, Hearts), "2TKA9");
    EXPECT_EQ(HandSuitCards(b, SuitBoxIndex(S, Hearts)), "AKT92");
}

TEST(ParseSuitText, CharactersThatAreNoRankPlaceNothing) {
    Board b{};
    ParseSuitText(b, SuitBoxIndex(N, Spades), "x10");
    EXPECT_EQ(HandSuitCards(b, SuitBoxIndex(N, Spades)), "");
    EXPECT_EQ(AnalyseBoard(b), 0);
    EXPECT_EQ(b.status, kBoardEmpty);
    // Garbage around real letters, blanks, punctuation and UTF-8 bytes are skipped.
    ParseSuitText(b, SuitBoxIndex(N, Spades), "  \xc3\x84 k-j,1 \t");
    EXPECT_EQ(HandSuitCards(b, SuitBoxIndex(N, Spades)), "KJ");
}

TEST(ParseSuitText, RetypingReplacesOnlyThatSeatsCardsOfThatSuit) {
    Board b{};
    ParseSuitText(b, SuitBoxIndex(N, Spades), "AKQ");
    ParseSuitText(b, SuitBoxIndex(N, Hearts), "AK");
    ParseSuitText(b, SuitBoxIndex(E, Spades), "J");
    ParseSuitText(b, SuitBoxIndex(N, Spades), "Q");
    EXPECT_EQ(HandSuitCards(b, SuitBoxIndex(N, Spades)), "Q");
    EXPECT_EQ(HandSuitCards(b, SuitBoxIndex(N, Hearts)), "AK");
    EXPECT_EQ(HandSuitCards(b, SuitBoxIndex(E, Spades)), "J");
    EXPECT_EQ(b.cardOwner[Code(Spades, 'A')], 0);
    // An empty text takes every card of the suit away from the seat.
    ParseSuitText(b, SuitBoxIndex(N, Hearts), "");
    EXPECT_EQ(SpareCards(b, Hearts), "AKQJT98765432");
}

TEST(ParseSuitText, DuplicateLettersPlaceTheCardOnce) {
    Board b{};
    ParseSuitText(b, SuitBoxIndex(W, Clubs), "AAAA");
    AnalyseBoard(b);
    EXPECT_EQ(b.cardCount[W], 1);
    EXPECT_EQ(HandSuitCards(b, SuitBoxIndex(W, Clubs)), "A");
}

TEST(ParseSuitText, IndexOutsideTheBoxesChangesNothing) {
    Board b = test::SuitPerHandBoard();
    const Board before = b;
    ParseSuitText(b, -1, "AKQ");
    ParseSuitText(b, 16, "AKQ");
    ParseSuitText(b, 1000, "");
    EXPECT_FALSE(CardsDiffer(b, before));
    EXPECT_EQ(HandSuitCards(b, -1), "");
    EXPECT_EQ(HandSuitCards(b, 16), "");
}

TEST(SpareCards, ListsCardsNoSeatHoldsInRankOrder) {
    Board b{};
    EXPECT_EQ(SpareCards(b, Diamonds), "AKQJT98765432");
    ParseSuitText(b, SuitBoxIndex(N, Diamonds), "AQT8642");
    ParseSuitText(b, SuitBoxIndex(S, Diamonds), "KJ975");
    EXPECT_EQ(SpareCards(b, Diamonds), "3");
    EXPECT_EQ(SpareCards(b, Spades), "AKQJT98765432");
    EXPECT_EQ(SpareCards(b, 0), "");
    EXPECT_EQ(SpareCards(b, 5), "");
    // An owner that is no seat counts as not placed.
    Board full = test::SuitPerHandBoard();
    full.cardOwner[Code(Clubs, '7')] = 9;
    EXPECT_EQ(SpareCards(full, Clubs), "7");
}

// Where the cards of each seat 1..4 go for each swap/rotate button.
const int kButtonMaps[8][5] = {
    {0, W, E, S, N}, // N <-> W
    {0, E, N, S, W}, // N <-> E
    {0, N, S, E, W}, // S <-> E
    {0, N, E, W, S}, // S <-> W
    {0, S, E, N, W}, // N <-> S
    {0, N, W, S, E}, // E <-> W
    {0, E, S, W, N}, // counter-clockwise: N to E
    {0, W, N, E, S}, // clockwise: N to W
};

TEST(SwapButtons, MoveEveryHandWhereTheCaptionSays) {
    std::mt19937 rng(11);
    const Board original = test::RandomBoard(rng);
    for (int button = 0; button < 8; ++button) {
        Board b = original;
        SwapButton(b, button);
        for (int code = 1; code <= kCards; ++code) {
            EXPECT_EQ(b.cardOwner[code], kButtonMaps[button][original.cardOwner[code]])
                << "button " << button << " card " << code;
        }
        EXPECT_EQ(AnalyseBoard(b), 4);
    }
}

TEST(SwapButtons, SwapsUndoThemselvesAndRotationsUndoEachOther) {
    std::mt19937 rng(12);
    const Board original = test::RandomBoard(rng);
    for (int button = 0; button < 6; ++button) {
        Board b = original;
        SwapButton(b, button);
        EXPECT_TRUE(CardsDiffer(b, original));
        SwapButton(b, button);
        EXPECT_FALSE(CardsDiffer(b, original)) << "button " << button;
    }
    Board b = original;
    SwapButton(b, 6);
    SwapButton(b, 7);
    EXPECT_FALSE(CardsDiffer(b, original));
    for (int i = 0; i < 4; ++i)
        RotateHands(b, 1);
    EXPECT_FALSE(CardsDiffer(b, original));
}

TEST(SwapButtons, UnplacedCardsStayUnplacedAndUnknownButtonsDoNothing) {
    Board b{};
    ParseSuitText(b, SuitBoxIndex(N, Spades), "AK");
    ParseSuitText(b, SuitBoxIndex(W, Hearts), "Q");
    Board before = b;
    SwapButton(b, 8);
    SwapButton(b, -1);
    EXPECT_FALSE(CardsDiffer(b, before));
    RotateHands(b, 1);
    EXPECT_EQ(HandSuitCards(b, SuitBoxIndex(E, Spades)), "AK");
    EXPECT_EQ(HandSuitCards(b, SuitBoxIndex(N, Hearts)), "Q");
    AnalyseBoard(b);
    EXPECT_EQ(b.cardCount[0] + b.cardCount[1] + b.cardCount[2] + b.cardCount[3] + b.cardCount[4], 3);
    EXPECT_EQ(SpareCards(b, Clubs), "AKQJT98765432");
    SwapSeats(b, E, E);
    SwapSeats(b, 0, 5);
    EXPECT_EQ(HandSuitCards(b, SuitBoxIndex(E, Spades)), "AK");
}

TEST(FillLastHand, CompletesTheFourthHandWhenThreeAreComplete) {
    std::mt19937 rng(13);
    const Board full = test::RandomBoard(rng);
    for (int open = 1; open <= 4; ++open) {
        Board b = full;
        // Take away some of the open seat's cards: they become the remaining cards.
        int removed = 0;
        for (int code = 1; code <= kCards && removed < 5; ++code) {
            if (b.cardOwner[code] == open) {
                b.cardOwner[code] = 0;
                ++removed;
            }
        }
        EXPECT_EQ(CompleteHands(b), 3);
        EXPECT_TRUE(FillLastHand(b));
        EXPECT_FALSE(CardsDiffer(b, full)) << "open seat " << open;
    }
}

TEST(FillLastHand, RefusesUnlessExactlyThreeHandsAreComplete) {
    Board b{};
    EXPECT_FALSE(FillLastHand(b));
    ParseSuitText(b, SuitBoxIndex(N, Spades), "AKQJT98765432");
    ParseSuitText(b, SuitBoxIndex(E, Hearts), "AKQJT98765432");
    EXPECT_EQ(CompleteHands(b), 2);
    const Board two = b;
    EXPECT_FALSE(FillLastHand(b));
    EXPECT_FALSE(CardsDiffer(b, two));
    Board full = test::SuitPerHandBoard();
    EXPECT_FALSE(FillLastHand(full));
    // Three complete hands and an empty fourth: the fourth receives all 13 remaining cards.
    ParseSuitText(b, SuitBoxIndex(S, Diamonds), "AKQJT98765432");
    EXPECT_TRUE(FillLastHand(b));
    EXPECT_EQ(HandSuitCards(b, SuitBoxIndex(W, Clubs)), "AKQJT98765432");
    EXPECT_EQ(AnalyseBoard(b), 4);
}

TEST(CardsDiffer, LooksAtCardOwnersOnly) {
    Board a = test::SuitPerHandBoard();
    Board b = a;
    b.number = 7;
    b.dealer = 3;
    b.vulnerability = 4;
    EXPECT_FALSE(CardsDiffer(a, b));
    b.cardOwner[52] = N;
    EXPECT_TRUE(CardsDiffer(a, b));
}

} // namespace
} // namespace orvenix
