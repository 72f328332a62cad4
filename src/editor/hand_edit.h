// Card entry and hand operations of the board editor on one board: suit boxes, swaps, rotations and fill.
#pragma once

#include "model/board.h"

#include <string>
#include <string_view>

namespace orvenix {

// The 16 suit boxes: index = (seat - 1) * 4 + (suit - 1), so 0..3 are North's spades, hearts, diamonds
// and clubs, 4..7 East's, 8..11 South's and 12..15 West's.
inline constexpr int kSuitBoxCount = 16;
constexpr int SuitBoxIndex(int seat, int suit) {
    return (seat - 1) * 4 + (suit - 1);
}
constexpr int SeatOfSuitBox(int index) {
    return index / 4 + 1;
}
constexpr int SuitOfSuitBox(int index) {
    return (index & 3) + 1;
}

// Whether a card is held by one of the four seats (owners above 4 count as not placed in the editor).
constexpr bool CardPlaced(const Board& board, int code) {
    return board.cardOwner[code] >= 1 && board.cardOwner[code] <= 4;
}

// Rank letters of the cards of one hand's suit, ace first (empty for an index outside 0..15).
std::string HandSuitCards(const Board& board, int index);
// Rank letters of the cards of a suit 1..4 that no seat holds, ace first.
std::string SpareCards(const Board& board, int suit);

// Replaces the cards of one hand's suit with the cards named in the text. Every card of that suit held by
// the seat is first taken away; then each character of the trimmed, upper-cased text that is a rank letter
// of "AKQJT98765432" places that card with the seat, taking it from any seat that held it. Every other
// character is ignored (a ten is "T"; "10" places nothing). An index outside 0..15 changes nothing.
void ParseSuitText(Board& board, int index, std::string_view text);

// Every card held by seat a goes to seat b and every card held by b goes to a.
void SwapSeats(Board& board, int a, int b);
// Every placed card moves from seat s to seat s + k (wrapping past West); unplaced cards stay unplaced.
// k = 1 moves North's cards to East, k = 3 moves them to West.
void RotateHands(Board& board, int k);

// The operation behind swap/rotate button 0..7: swaps W-N, E-N, S-E, W-S, S-N, W-E, then rotation by 1
// (counter-clockwise) and by 3 (clockwise). Other indexes change nothing.
void SwapButton(Board& board, int index);
// Captions (tooltips) of the eight swap/rotate buttons.
inline constexpr const char* kSwapCaptions[8] = {
    "Swap North and West hands",      "Swap North and East hands",  "Swap South and East hands",
    "Swap South and West hands",      "Swap North and South hands", "Swap East and West hands",
    "Rotate hands Counter-ClockWise", "Rotate hands ClockWise"};

// Number of hands holding exactly 13 cards.
int CompleteHands(const Board& board);
// When exactly three hands hold 13 cards, every unplaced card goes to the fourth; returns whether it did.
bool FillLastHand(Board& board);

// Whether any of the 52 card owners differs between the two boards.
bool CardsDiffer(const Board& a, const Board& b);

} // namespace orvenix
