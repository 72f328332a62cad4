// Speed of the board editor's random fill: boards 1 to 640 with the shape rule and both similarity filters
// against a full history. It judges candidates like a generation run, so it keeps the generation's budget
// of at most 1 s for the whole set.
#include "app/context.h"
#include "app/dialogs.h"
#include "app/log.h"
#include "app/settings.h"
#include "editor/board_editor.h"
#include "generate/generator.h"
#include "generate/history.h"
#include "generate/random.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

using namespace orvenix;

namespace {

struct BenchContext {
    std::unique_ptr<BoardSet> set = std::make_unique<BoardSet>();
    ScriptedDialogs dialogs;
    MemorySettings settings;
    ActivityLog log{std::filesystem::temp_directory_path() / "orvenix-bench-editor-dealer.log"};
    AppContext ctx{.set = *set, .dialogs = dialogs, .settings = settings, .log = log};
};

// A history whose ring is full: sets of 640 boards recorded until all 10000 slots have been used.
std::unique_ptr<History> FullHistory() {
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
        GenerateBoardSet(b.ctx, plain);
        history->RecordHistory(b.ctx, "SET" + std::to_string(n));
    }
    return history;
}

void BM_EditorRandomFill640(benchmark::State& state) {
    const std::unique_ptr<History> history = FullHistory();
    if (history->Ring().usedSlots < kHistorySlots) {
        state.SkipWithError("the history ring is not full");
        return;
    }
    BenchContext b;
    b.ctx.random.Reseed(2);
    RandomFillServices services;
    services.randomDeal = [&b] { return b.ctx.random.RandomDeal(); };
    services.tally = &b.ctx.shapeTally;
    services.history = history.get();
    int verify = 0;
    for (auto _ : state) {
        state.PauseTiming();
        b.set->Reset();
        BoardEditor editor(*b.set);
        editor.Open();
        state.ResumeTiming();
        const RandomFillResult r = editor.RandomFill("640", services);
        if (b.set->lastBoard != 640) {
            state.SkipWithError("the fill did not reach board 640");
            break;
        }
        verify += static_cast<int>(r.verify.size());
    }
    state.counters["verify_boards"] = benchmark::Counter(verify, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_EditorRandomFill640)->Unit(benchmark::kMillisecond);

} // namespace
