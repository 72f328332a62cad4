// Shared body of the board-set file fuzz targets: read arbitrary bytes; a rejected file must give a
// message; a loaded set must be well formed and survive a write and a second read unchanged.
#pragma once

#include "formats/format.h"
#include "base/text_encoding.h"
#include "model/board.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace orvenix::fuzz {

inline void Require(bool condition) {
    if (!condition) __builtin_trap();
}

inline std::unique_ptr<BoardSet> ClearedSet() {
    auto set = std::make_unique<BoardSet>();
    set->ClearAllBoards();
    set->firstBoard = 1;
    set->lastBoard = 0;
    set->currentBoard = 1;
    return set;
}

inline bool AllComplete(const BoardSet& set) {
    for (int n = set.firstBoard; n <= set.lastBoard; ++n) {
        if (set[n].status != kBoardComplete) return false;
    }
    return true;
}

// A loaded set: a range within 1..640, every board analysed, every card with at most one seat.
inline void CheckLoaded(const BoardSet& set) {
    Require(set.firstBoard >= 1 && set.lastBoard <= kMaxBoard && set.firstBoard <= set.lastBoard);
    for (int n = set.firstBoard; n <= set.lastBoard; ++n) {
        Board copy = set[n];
        const int complete = AnalyseBoard(copy);
        Require(copy == set[n]);
        Require((complete == 4) == (set[n].status == kBoardComplete));
        int placed = 0;
        for (int seat = 1; seat <= 4; ++seat)
            placed += set[n].cardCount[seat];
        Require(placed <= kCards);
    }
    for (const std::string* text : {&set.eventName, &set.eventSite, &set.eventDate}) {
        Require(IsValidUtf8(*text) && Utf8Length(*text) < 200);
    }
}

struct FormatUnderTest {
    ReadResult (*read)(std::string_view, BoardSet&);
    std::string (*write)(const BoardSet&);
    bool needsCompleteBoards; // the frame refuses to write incomplete boards in this format
};

inline int FuzzOneFile(const std::uint8_t* data, std::size_t size, const FormatUnderTest& format) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto set = ClearedSet();
    const ReadResult fault = format.read(bytes, *set);
    if (fault) {
        // The message is shown in a window: it must be valid UTF-8 whatever the file held.
        const std::string text = fault->Text();
        Require(!text.empty() && IsValidUtf8(text));
        return 0;
    }
    CheckLoaded(*set);
    if (format.needsCompleteBoards && !AllComplete(*set)) return 0;
    // Event texts are compared elsewhere: a Latin-1 text can read back as UTF-8 once written.
    set->eventName.clear();
    set->eventSite.clear();
    set->eventDate.clear();
    const std::string written = format.write(*set);
    auto again = ClearedSet();
    const ReadResult second = format.read(written, *again);
    Require(!second.has_value());
    CheckLoaded(*again);
    Require(format.write(*again) == written);
    return 0;
}

} // namespace orvenix::fuzz
