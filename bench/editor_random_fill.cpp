// Speed of the board editor's random fill: boards 1 to 640 with the shape rule and both similarity filters
// against a full history. It judges candidates like a generation run, so it keeps the generation's budget
// of at most 1 s for the whole set.
#include "app/context.h"
#include "base/dialogs.h"
#include "base/log.h"
#include "base/settings.h"
#include "editor/board_editor.h"
#include "generate/generator.h"
#include "history/history.h"
#include "generate/random.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

using namespace orvenix;

namespace {

using bench::BenchContext;
using bench::FullHistory;

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
