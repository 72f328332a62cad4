#include "app/seeding.h"

#include <chrono>
#include <ctime>

namespace orvenix {

GeneratorSeeds SeedsFrom(PointerPosition pointer, std::int64_t daysSince2008) {
    // A pointer left of or above the screen gives a negative sum: its low 16 bits are kept.
    const auto sum = static_cast<std::uint32_t>(pointer.x) * 256U + static_cast<std::uint32_t>(pointer.y);
    GeneratorSeeds seeds;
    seeds.first = static_cast<std::uint16_t>((sum | 1U) & 0xFFFFU);
    seeds.second = static_cast<std::uint16_t>(static_cast<std::uint64_t>(daysSince2008) & 0xFFFFU);
    return seeds;
}

std::int64_t DaysSince2008Today() {
    using namespace std::chrono;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    const sys_days today{year{local.tm_year + 1900} / month{static_cast<unsigned>(local.tm_mon + 1)} /
                         day{static_cast<unsigned>(local.tm_mday)}};
    return (today - sys_days{year{2008} / January / 1}).count();
}

GeneratorSeeds SeedRandomSource(RandomSource& random, std::optional<std::uint64_t> seed,
                                std::optional<PointerPosition> pointer) {
    if (seed) {
        // The deck starts in order and every draw is reproducible.
        random.Reseed(*seed);
        return PacketSeedsFromNumber(*seed);
    }
    // Without a pointer (a terminal) the first word is a secure random number.
    const PointerPosition where = pointer.value_or(PointerPosition{
        static_cast<int>(random.Random01() * 256.0), static_cast<int>(random.Random01() * 256.0)});
    const GeneratorSeeds seeds = SeedsFrom(where, DaysSince2008Today());
    random.SeedPacketGenerator(seeds);
    return seeds;
}

} // namespace orvenix
