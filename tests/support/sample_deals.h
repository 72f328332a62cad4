// Board sets with known deals for the printing tests.
#pragma once

#include "model/board.h"

#include <string>

namespace orvenix::test {

// Board n of the sample: card code c goes to seat ((c + n) mod 4) + 1, so every hand holds 13 cards with
// three or four cards in each suit, and the deals differ from board to board.
inline Board SampleBoard(int n) {
    Board b;
    b.number = static_cast<std::int16_t>(n);
    for (int c = 1; c <= kCards; ++c)
        b.cardOwner[static_cast<std::size_t>(c)] = static_cast<Seat>((c + n) % 4 + 1);
    b.dealer = DealerOf(n);
    b.vulnerability = VulnerabilityOf(n);
    AnalyseBoard(b);
    return b;
}

// A board where North holds all 13 spades, East all hearts, South all diamonds and West all clubs: every
// hand has three voids.
inline Board VoidBoard(int n) {
    Board b;
    b.number = static_cast<std::int16_t>(n);
    for (int c = 1; c <= kCards; ++c)
        b.cardOwner[static_cast<std::size_t>(c)] = static_cast<Seat>(SuitOf(c));
    b.dealer = DealerOf(n);
    b.vulnerability = VulnerabilityOf(n);
    AnalyseBoard(b);
    return b;
}

// Boards first to last, all sample deals.
inline BoardSet SampleSet(int first, int last, const std::string& eventName = "Club Pairs") {
    BoardSet set;
    set.Reset();
    set.firstBoard = static_cast<std::int16_t>(first);
    set.lastBoard = static_cast<std::int16_t>(last);
    for (int n = first; n <= last; ++n)
        set[n] = SampleBoard(n);
    set.eventName = eventName;
    set.fileName = "/home/club/sets/tuesday.pbn";
    return set;
}

} // namespace orvenix::test
