// The seeds of a run: the pointer and the date, or a number.
#include "app/seeding.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

// Without a number the pointer and the days since 2008 give the two seed words; a number makes every draw
// reproducible, whatever the pointer.
TEST(Seeding, ThePointerAndTheDateOrANumber) {
    // The pointer, the days since 2008 and the two seed words.
    const std::tuple<PointerPosition, std::int64_t, int, int> cases[] = {
        {{10, 20}, 0, 10 * 256 + 20 + 1, 0},
        {{300, 7}, 365, (300 * 256 + 7) & 0xFFFF, 365}, // already odd
        {{-1, 0}, 1, 0xFF01, 1},                        // left of the screen: two's complement
        {{0, 0}, 65536 + 3, 1, 3}};                     // the day count wraps
    for (const auto& [pointer, days, first, second] : cases)
        EXPECT_EQ(std::tuple(SeedsFrom(pointer, days).first, SeedsFrom(pointer, days).second),
                  std::tuple(first, second))
            << days;
    RandomSource a, b, r;
    const GeneratorSeeds sa = SeedRandomSource(a, 42, PointerPosition{5, 6});
    SeedRandomSource(b, 42, std::nullopt);
    // The number gives both packet-generator words, the first odd, and other numbers other words.
    EXPECT_TRUE(a.deterministic() && sa.first % 2 == 1 && a.packets().packetSeedLow == sa.first &&
                a.packets().packetSeedHigh == sa.second && sa.first != PacketSeedsFromNumber(43).first &&
                sa.second != PacketSeedsFromNumber(43).second && a.RandomDeal() == b.RandomDeal());
    const GeneratorSeeds s = SeedRandomSource(r, std::nullopt, PointerPosition{120, 80});
    EXPECT_EQ(std::tuple(s.first, s.second, r.packets().packetSeedLow, r.deterministic()),
              std::tuple((120 * 256 + 80) | 1, DaysSince2008Today() & 0xFFFF, s.first, false));
}

} // namespace
} // namespace orvenix
