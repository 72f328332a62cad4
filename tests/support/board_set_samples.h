// Board sets for tests: a board with one suit per hand and reproducible random complete sets.
#pragma once

#include "model/board.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <numeric>
#include <random>

namespace orvenix::test {

// North all spades, East all hearts, South all diamonds, West all clubs.
inline Board SuitPerHandBoard() {
    Board b{};
    for (int code = 1; code <= kCards; ++code)
        b.cardOwner[code] = static_cast<Seat>(SuitOf(code));
    AnalyseBoard(b);
    return b;
}

// A complete random deal drawn from the given engine.
inline Board RandomBoard(std::mt19937& rng) {
    std::array<int, kCards> deck{};
    std::iota(deck.begin(), deck.end(), 1);
    std::shuffle(deck.begin(), deck.end(), rng);
    Board b{};
    for (std::size_t i = 0; i < deck.size(); ++i)
        b.cardOwner[deck[i]] = static_cast<Seat>(i / 13 + 1);
    AnalyseBoard(b);
    return b;
}

// Boards first..last filled with reproducible random deals, numbered with their standard dealer and
// vulnerability.
inline BoardSet RandomSet(int first, int last, std::uint32_t seed = 7) {
    BoardSet set;
    std::mt19937 rng(seed);
    set.firstBoard = static_cast<std::int16_t>(first);
    set.lastBoard = static_cast<std::int16_t>(last);
    for (int n = first; n <= last; ++n)
        set[n] = RandomBoard(rng);
    set.Renumber();
    return set;
}

// Random boards first..last in which the given boards lack one card (the ace of spades).
inline BoardSet WithIncompleteBoards(std::initializer_list<int> numbers, int first = 1, int last = 16) {
    BoardSet set = RandomSet(first, last);
    for (int n : numbers) {
        set[n].cardOwner[1] = 0;
        AnalyseBoard(set[n]);
    }
    return set;
}

// A set as the frame hands it to a reader: every slot empty, firstBoard 1, lastBoard 0.
inline BoardSet ClearedSet() {
    BoardSet set;
    set.ClearAllBoards();
    set.firstBoard = 1;
    set.lastBoard = 0;
    set.currentBoard = 1;
    return set;
}

// Whether the boards first..last of two sets hold the same deals under the same numbers.
inline bool SameBoards(const BoardSet& a, const BoardSet& b, int first, int last) {
    for (int n = first; n <= last; ++n) {
        if (CompareBoards(a[n], b[n]) != 2) return false;
    }
    return true;
}

} // namespace orvenix::test
