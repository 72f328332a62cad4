// Speed of loading and saving a full 640-board set in the DGE, BRE and PBN formats (target: at most 2 ms
// each).
#include "formats/bre.h"
#include "formats/dge.h"
#include "formats/pbn.h"
#include "model/board.h"

#include <benchmark/benchmark.h>

#include <array>
#include <numeric>
#include <random>
#include <string>

using namespace orvenix;

namespace {

BoardSet FullSet() {
    BoardSet set;
    std::mt19937 rng(2026);
    for (int n = 1; n <= kMaxBoard; ++n) {
        std::array<int, kCards> deck{};
        std::iota(deck.begin(), deck.end(), 1);
        std::shuffle(deck.begin(), deck.end(), rng);
        Board& b = set[n];
        for (std::size_t i = 0; i < deck.size(); ++i)
            b.cardOwner[static_cast<std::size_t>(deck[i])] = static_cast<Seat>(i / 13 + 1);
        AnalyseBoard(b);
    }
    set.firstBoard = 1;
    set.lastBoard = kMaxBoard;
    set.Renumber();
    set.eventName = "Benchmark pairs";
    set.eventSite = "Club house";
    set.eventDate = "2026.12.06";
    return set;
}

const BoardSet& Full() {
    static const BoardSet set = FullSet();
    return set;
}

template <std::string (*Write)(const BoardSet&)> void BM_Save(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(Write(Full()));
}

template <std::string (*Write)(const BoardSet&), ReadResult (*Read)(std::string_view, BoardSet&)>
void BM_Load(benchmark::State& state) {
    const std::string bytes = Write(Full());
    BoardSet set;
    for (auto _ : state) {
        // What the frame does before every load: clear the table.
        set.ClearAllBoards();
        set.firstBoard = 1;
        set.lastBoard = 0;
        const ReadResult r = Read(bytes, set);
        if (r || set.lastBoard != kMaxBoard) state.SkipWithError("the set did not load");
        benchmark::DoNotOptimize(set);
    }
}

} // namespace

BENCHMARK(BM_Save<WriteDge>)->Name("SaveDge640")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Load<WriteDge, ReadDge>)->Name("LoadDge640")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Save<WriteBre>)->Name("SaveBre640")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Load<WriteBre, ReadBre>)->Name("LoadBre640")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Save<WritePbn>)->Name("SavePbn640")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Load<WritePbn, ReadPbn>)->Name("LoadPbn640")->Unit(benchmark::kMicrosecond);
