// Arbitrary bytes as a history file: reading them must neither crash nor read out of bounds, and the ring
// it builds must stay walkable.
#include "history/history.h"
#include "model/similarity.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One history for every input, so that a load after another one is exercised too.
    static orvenix::History history;
    const orvenix::HistoryLoadReport report = history.Load(data, size);
    const orvenix::HistoryRing& ring = history.Ring();
    if (ring.usedSlots < 0 || ring.usedSlots > orvenix::kHistorySlots) std::abort();
    if (ring.writeSlot < 1 || ring.writeSlot > orvenix::kHistorySlots) std::abort();
    if (report.records > static_cast<std::size_t>(orvenix::kHistorySlots)) std::abort();

    // Walk the ring the way the generator and the listing do.
    orvenix::Board candidate{};
    if (size >= orvenix::kHistoryRecordSize) candidate = orvenix::DecodeHistoryBoard(data);
    std::int16_t board = 0;
    std::string name;
    // Records from outside may hold hands of any size, so only the card count bounds the result.
    const int best = orvenix::MaxHistorySimilarity(history, candidate, board, name);
    if (best < 0 || best > orvenix::kCards) std::abort();
    const auto sets = history.SetsInRingOrder();
    if (sets.size() > static_cast<std::size_t>(history.Names().count())) std::abort();
    for (const auto& set : sets) {
        if (history.FindNameBySlot(set.slot) == 0) std::abort();
        (void)history.FindHistoryName(set.name);
    }
    return 0;
}
