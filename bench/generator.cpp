// Speed of the random deal and of a whole generation run against a full history.
#include "generate/generator.h"
#include "app/context.h"
#include "app/dialogs.h"
#include "app/log.h"
#include "app/settings.h"
#include "generate/history.h"
#include "generate/random.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

using namespace orvenix;

namespace {

// Target: at least 500,000 deals per second on one core.
void BM_RandomDeal(benchmark::State& state) {
    RandomSource random; // the secure source the program uses
    for (auto _ : state) {
        Board b = random.RandomDeal();
        benchmark::DoNotOptimize(b);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RandomDeal);

struct BenchContext {
    std::unique_ptr<BoardSet> set = std::make_unique<BoardSet>();
    ScriptedDialogs dialogs;
    MemorySettings settings;
    ActivityLog log{std::filesystem::temp_directory_path() / "orvenix-bench-dealer.log"};
    AppContext ctx{.set = *set, .dialogs = dialogs, .settings = settings, .log = log};
};

// A history whose ring is full: sets of 640 boards recorded until all 10000 slots have been used.
std::unique_ptr<History> FullHistory() {
    auto history = std::make_unique<History>();
    BenchContext b;
    b.ctx.random.Reseed(1);
    GenerateChoices all;
    all.first = 1;
    all.last = 640;
    all.rejectShape = false;
    all.rejectInner = false;
    all.rejectHistory = false;
    for (int n = 0; n < 17; ++n) {
        GenerateBoardSet(b.ctx, all);
        history->RecordHistory(b.ctx, "SET" + std::to_string(n));
    }
    return history;
}

// Target: boards 1 to 640 with all three filters on against a full history in at most 1 s.
void BM_Generate640AllFilters(benchmark::State& state) {
    const std::unique_ptr<History> history = FullHistory();
    if (history->Ring().usedSlots < kHistorySlots) {
        state.SkipWithError("the history ring is not full");
        return;
    }
    BenchContext b;
    b.ctx.history = history.get();
    GenerateChoices all;
    all.first = 1;
    all.last = 640;
    int boards = 0;
    for (auto _ : state) {
        const GenerateResult r = GenerateBoardSet(b.ctx, all);
        if (!r.Succeeded()) {
            state.SkipWithError("the generation did not succeed");
            break;
        }
        boards += r.boardsGenerated;
    }
    state.counters["boards"] = benchmark::Counter(boards, benchmark::Counter::kAvgIterations);
    state.counters["history_boards"] = history->BoardRecordCount();
}
BENCHMARK(BM_Generate640AllFilters)->Unit(benchmark::kMillisecond);

} // namespace
