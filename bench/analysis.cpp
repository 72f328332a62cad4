// Double-dummy analysis of 32 random boards: through our analyser (fresh cache, so every deal is solved)
// against the solver library's own batch call on the same deals.
#include "analysis/double_dummy.h"

#include <benchmark/benchmark.h>
#include <dds/dll.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

namespace orvenix {
namespace {

constexpr int kBoards = 32;

std::vector<Board> RandomBoards() {
    std::mt19937 rng(20261206);
    std::vector<Board> boards(kBoards);
    std::array<int, kCards> cards{};
    std::iota(cards.begin(), cards.end(), 1);
    for (int n = 0; n < kBoards; ++n) {
        std::shuffle(cards.begin(), cards.end(), rng);
        Board& b = boards[static_cast<std::size_t>(n)];
        for (int i = 0; i < kCards; ++i) {
            b.cardOwner[static_cast<std::size_t>(cards[static_cast<std::size_t>(i)])] =
                static_cast<std::uint8_t>(i / 13 + 1);
        }
        b.status = kBoardComplete;
        b.number = static_cast<std::int16_t>(n + 1);
    }
    return boards;
}

void BM_OurAnalyser(benchmark::State& state) {
    const std::vector<Board> boards = RandomBoards();
    std::vector<BoardToAnalyse> in;
    for (const Board& b : boards)
        in.push_back({&b, b.number});
    for (auto _ : state) {
        DoubleDummyAnalyser analyser; // empty cache: all 32 deals are solved
        auto results = analyser.Analyse(in);
        benchmark::DoNotOptimize(results);
        if (analyser.SolvedDeals() != kBoards) state.SkipWithError("not every deal was solved");
    }
}

void BM_LibraryBatchCall(benchmark::State& state) {
    const std::vector<Board> boards = RandomBoards();
    SetMaxThreads(0);
    auto deals = std::make_unique<ddTableDeals>();
    auto tables = std::make_unique<ddTablesRes>();
    auto pars = std::make_unique<allParResults>();
    int filter[DDS_STRAINS] = {0, 0, 0, 0, 0};
    for (auto _ : state) {
        *deals = ddTableDeals{};
        deals->noOfTables = kBoards;
        for (int n = 0; n < kBoards; ++n) {
            for (int code = 1; code <= kCards; ++code) {
                const int rank = RankOf(code);
                const int solverRank = rank == 1 ? 14 : 15 - rank;
                deals->deals[n]
                    .cards[boards[static_cast<std::size_t>(n)].cardOwner[static_cast<std::size_t>(code)] - 1]
                          [SuitOf(code) - 1] |= 1u << solverRank;
            }
        }
        const int rc = CalcAllTables(deals.get(), -1, filter, tables.get(), pars.get());
        if (rc != RETURN_NO_FAULT) state.SkipWithError("solver error");
        benchmark::DoNotOptimize(tables->results[0]);
    }
}

BENCHMARK(BM_OurAnalyser)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_LibraryBatchCall)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

} // namespace
} // namespace orvenix
