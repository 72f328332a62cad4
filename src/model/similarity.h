// How alike two boards are: the largest number of cards that one hand of the first board shares with one
// hand of the second, over all sixteen pairs of seats (0 to 13).
#pragma once

#include "model/board.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

// The similarity kernels are mostly population counts. x86-64 processors without the POPCNT instruction
// are rare but exist, so where the toolchain can dispatch at load time, a POPCNT clone is chosen when the
// processor has it and a plain one otherwise.
#if defined(__GNUC__) && defined(__x86_64__) && defined(__ELF__) && !defined(__POPCNT__)
#define ORVENIX_POPCNT_CLONES __attribute__((target_clones("popcnt", "default")))
#else
#define ORVENIX_POPCNT_CLONES
#endif

namespace orvenix {

// The cards of each seat 1..4 of one board as a 52-bit mask (bit code - 1). Cards that are not placed and
// owners above 4 are in no mask, so comparing masks counts exactly the cards that CompareHands counts.
struct HandMasks {
    std::array<std::uint64_t, 4> seat{};
};

HandMasks MasksOf(const Board& board);
// The similarity of two boards given by their masks.
int CompareMasks(const HandMasks& a, const HandMasks& b);
// The same, for loops that compare many masks inside one ORVENIX_POPCNT_CLONES function.
inline int CompareMasksInline(const HandMasks& a, const HandMasks& b) {
    int best = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::uint64_t ai = a.seat[i];
        for (std::size_t j = 0; j < 4; ++j)
            best = std::max(best, std::popcount(ai & b.seat[j]));
    }
    return best;
}

// The similarity of two boards (only cardOwner is read); symmetric.
int CompareHands(const Board& a, const Board& b);

// Highest similarity between two different boards of the set, with the first pair reaching it (0, 0 when
// the set has fewer than two boards).
int MaxInnerSimilarity(const BoardSet& set, std::int16_t& first, std::int16_t& second);

} // namespace orvenix
