// A complete AppContext for tests: a board set, scripted dialogs, settings in memory, an activity log
// and a history path in a temporary folder of its own. Qt-free, for core and window tests alike.
#pragma once

#include "app/context.h"
#include "app/options.h"
#include "support/board_set_samples.h"
#include "support/temp_dir.h"

#include <memory>
#include <string>
#include <vector>

namespace orvenix::test {

// Everything a window or command borrows, with every status text recorded.
struct TestContext {
    TestContext() { RecordStatus(); }

    // Wraps whatever ctx.status does now (a window replaces it when it is made) so that every status
    // text is also kept in `statuses`.
    void RecordStatus() {
        auto inner = ctx.status;
        ctx.status = [this, inner](const std::string& text) {
            statuses.push_back(text);
            if (inner) inner(text);
        };
    }

    TempDir dir;
    std::unique_ptr<BoardSet> set = std::make_unique<BoardSet>();
    ScriptedDialogs dialogs;
    MemorySettings settings;
    ActivityLog log{dir / "dealer.log"};
    AppContext ctx{*set, dialogs, settings, log};
    ProgramOptions options{.historyPath = dir / "history.dat", .machine = "emulated", .seed = 12345};
    std::vector<std::string> statuses;
};

// ---- Boards -------------------------------------------------------------------------------------------

using Owners = std::array<Seat, 53>; // seat of each card code 1..52; entry 0 unused

// Seat s holds the whole of suit s (every hand "D000": 10 points, 9 distribution points).
inline Owners SuitDeal() {
    return SuitPerHandBoard().cardOwner;
}

// Card c goes to seat ((c - 1) mod 4) + 1: every hand "4333" with 10 points.
inline Owners RoundRobinDeal() {
    Owners o{};
    for (int c = 1; c <= kCards; ++c)
        o[static_cast<std::size_t>(c)] = static_cast<Seat>((c - 1) % 4 + 1);
    return o;
}

// Every hand moves one seat round the table.
inline Owners Rotated(Owners o) {
    for (int c = 1; c <= kCards; ++c)
        o[static_cast<std::size_t>(c)] = static_cast<Seat>(o[static_cast<std::size_t>(c)] % 4 + 1);
    return o;
}

// Stores a board with these owners as board n (number, standard dealer and vulnerability) and analyses it.
inline void PutBoard(BoardSet& set, int n, const Owners& owners) {
    Board& b = set[n] = Board{.cardOwner = owners};
    NumberBoard(b, n);
    AnalyseBoard(b);
}

} // namespace orvenix::test
