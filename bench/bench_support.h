// What several benchmarks share: a context around a board set, and a history whose ring is full.
#pragma once

#include "app/context.h"
#include "base/dialogs.h"
#include "base/log.h"
#include "base/settings.h"
#include "generate/generator.h"
#include "history/history.h"

#include <filesystem>
#include <memory>
#include <string>

namespace orvenix::bench {

struct BenchContext {
    std::unique_ptr<BoardSet> set = std::make_unique<BoardSet>();
    ScriptedDialogs dialogs;
    MemorySettings settings;
    ActivityLog log{std::filesystem::temp_directory_path() / "orvenix-bench-dealer.log"};
    AppContext ctx{*set, dialogs, settings, log};
};

// A history whose ring is full: sets of 640 boards recorded until all 10000 slots have been used.
inline std::unique_ptr<History> FullHistory() {
    auto history = std::make_unique<History>();
    BenchContext b;
    b.ctx.random.Reseed(1);
    GenerateChoices plain;
    plain.first = 1;
    plain.last = 640;
    plain.rejectShape = false;
    plain.rejectInner = false;
    plain.rejectHistory = false;
    for (int n = 0; n < 17; ++n) {
        GenerateBoardSet(b.ctx.Generation(), plain);
        history->RecordHistory(b.ctx, b.ctx.set, "SET" + std::to_string(n));
    }
    return history;
}

} // namespace orvenix::bench
