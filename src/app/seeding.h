// How a run seeds its random deals, the same for the windows and the command-line tool: reproducibly from a
// number (--seed), or else from the mouse pointer's position (where there is one; a secure random word
// where there is not) and today's date.
#pragma once

#include "generate/random.h"
#include "generate/seeds.h"

#include <cstdint>
#include <optional>

namespace orvenix {

struct PointerPosition {
    int x = 0;
    int y = 0;
};

// The packet seed words: ((x * 256 + y) OR 1) AND 0xFFFF on 32-bit two's-complement arithmetic, and the
// days since 1 January 2008 AND 0xFFFF.
GeneratorSeeds SeedsFrom(PointerPosition pointer, std::int64_t daysSince2008);
// Days from 1 January 2008 to the computer's local date today.
std::int64_t DaysSince2008Today();

// Seeds random for a run and returns the packet seed words it used.
GeneratorSeeds SeedRandomSource(RandomSource& random, std::optional<std::uint64_t> seed,
                                std::optional<PointerPosition> pointer);

} // namespace orvenix
