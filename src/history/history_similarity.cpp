// The history filter's measure: how alike a candidate board is to the boards recorded in the history.
#include "history/history.h"

#include "model/similarity.h"

namespace orvenix {

namespace {

ORVENIX_POPCNT_CLONES int ScanRing(const History& history, const HandMasks& c, int& bestSlot,
                                   int& bestNameIndex) {
    const HistoryRing& ring = history.Ring();
    const int used = ring.usedSlots;
    int best = 0;
    bestSlot = 0;
    bestNameIndex = 0;
    int nameIndex = 0; // 0: no usable name yet in this walk
    int slot = history.OldestSlot();
    for (int visited = 0; visited < used; ++visited) {
        const auto k = static_cast<std::size_t>(slot);
        const std::uint8_t kind = ring.slotKind[k];
        if (kind == kHistoryName) {
            const int index = ring.slotName[k];
            nameIndex =
                (index > 0 && !history.Names().entries[static_cast<std::size_t>(index - 1)].name.empty())
                    ? index
                    : 0;
        } else if (kind == kHistoryBoard && nameIndex != 0) {
            const int s = CompareMasksInline(c, ring.slotMasks[k]);
            if (s > best) {
                best = s;
                bestSlot = slot;
                bestNameIndex = nameIndex;
            }
        }
        if (++slot > used) slot = 1;
    }
    return best;
}

} // namespace

int MaxHistorySimilarity(const History& history, const Board& candidate, std::int16_t& historyBoard,
                         std::string& fileName) {
    historyBoard = 0;
    fileName = "<none>";
    int bestSlot = 0;
    int bestName = 0;
    const int best = ScanRing(history, MasksOf(candidate), bestSlot, bestName);
    if (bestSlot > 0) {
        historyBoard = history.Ring().slotBoard[static_cast<std::size_t>(bestSlot)].number;
        fileName = history.Names().entries[static_cast<std::size_t>(bestName - 1)].name;
    }
    return best;
}

} // namespace orvenix
