// How alike two boards are: the largest number of cards that one hand of the first board shares with one
// hand of the second, over all sixteen pairs of seats (0 to 13).
#pragma once

#include "model/board.h"

#include <array>
#include <cstdint>
#include <string>

namespace orvenix {

class History;

// The cards of each seat 1..4 of one board as a 52-bit mask (bit code - 1). Cards that are not placed and
// owners above 4 are in no mask, so comparing masks counts exactly the cards that CompareHands counts.
struct HandMasks {
    std::array<std::uint64_t, 4> seat{};
};

HandMasks MasksOf(const Board& board);
// The similarity of two boards given by their masks.
int CompareMasks(const HandMasks& a, const HandMasks& b);

// The similarity of two boards (only cardOwner is read); symmetric.
int CompareHands(const Board& a, const Board& b);

// Highest similarity between two different boards of the set, with the first pair reaching it (0, 0 when
// the set has fewer than two boards).
int MaxInnerSimilarity(const BoardSet& set, std::int16_t& first, std::int16_t& second);

// Highest similarity between the candidate and the boards held in the history ring, walked from its oldest
// slot, with the board number and recorded file name of the first history board reaching it. Boards whose
// name record has been overwritten are skipped. With nothing found: 0, board 0 and "<none>".
int MaxHistorySimilarity(const History& history, const Board& candidate, std::int16_t& historyBoard,
                         std::string& fileName);

} // namespace orvenix
