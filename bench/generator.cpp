// Speed of the random deal and of a whole generation run against a full history.
#include "generate/generator.h"
#include "app/context.h"
#include "base/dialogs.h"
#include "base/log.h"
#include "base/settings.h"
#include "history/history.h"
#include "generate/random.h"

#include "bench_support.h"

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

using bench::BenchContext;
using bench::FullHistory;

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
        const GenerateResult r = GenerateBoardSet(b.ctx.Generation(), all);
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
