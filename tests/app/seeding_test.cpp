// The seeds of a run: the pointer and the date, or a number.
#include "app/seeding.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

TEST(SeedsFrom, FollowThePointerAndTheDate) {
    struct Case {
        PointerPosition pointer;
        std::int64_t days;
        std::uint16_t first, second;
    };
    const Case cases[] = {{{10, 20}, 0, 10 * 256 + 20 + 1, 0},
                          {{300, 7}, 365, (300 * 256 + 7) & 0xFFFF, 365}, // already odd
                          {{-1, 0}, 1, 0xFF01, 1},    // left of the screen: two's complement
                          {{0, 0}, 65536 + 3, 1, 3}}; // the day count wraps
    for (const Case& c : cases) {
        const GeneratorSeeds s = SeedsFrom(c.pointer, c.days);
        EXPECT_TRUE(s.first == c.first && s.second == c.second) << s.first << " " << s.second;
    }
}

// A number makes every draw reproducible, whatever the pointer; without one the pointer and today seed
// the packets.
TEST(SeedRandomSource, ANumberOrThePointerAndToday) {
    RandomSource a, b, r;
    const GeneratorSeeds sa = SeedRandomSource(a, 42, PointerPosition{5, 6});
    const GeneratorSeeds sb = SeedRandomSource(b, 42, std::nullopt);
    EXPECT_TRUE(sa.first == sb.first && sa.second == sb.second && a.deterministic());
    EXPECT_EQ(a.RandomDeal().cardOwner, b.RandomDeal().cardOwner);
    const GeneratorSeeds s = SeedRandomSource(r, std::nullopt, PointerPosition{120, 80});
    EXPECT_EQ(s.first, (120 * 256 + 80) | 1);
    EXPECT_EQ(s.second, DaysSince2008Today() & 0xFFFF);
    EXPECT_TRUE(r.packets().packetSeedLow == s.first && !r.deterministic());
}

} // namespace
} // namespace orvenix
