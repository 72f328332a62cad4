// Speed of the similarity measure: one pair of boards, the inner similarity of a full set and one
// candidate against a full history ring.
#include "model/similarity.h"
#include "history/history.h"
#include "model/board.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

using namespace orvenix;

namespace {

Board RandomDeal(std::mt19937& rng) {
    std::array<int, kCards> deck{};
    std::iota(deck.begin(), deck.end(), 1);
    std::shuffle(deck.begin(), deck.end(), rng);
    Board b{};
    for (std::size_t i = 0; i < deck.size(); ++i)
        b.cardOwner[static_cast<std::size_t>(deck[i])] = static_cast<Seat>(i / 13 + 1);
    AnalyseBoard(b);
    return b;
}

// A full ring: one name record, 9998 boards and the end marker.
std::vector<std::uint8_t> FullRingBytes(std::mt19937& rng) {
    std::vector<std::uint8_t> bytes;
    auto append = [&bytes](const HistoryRecord& r) { bytes.insert(bytes.end(), r.begin(), r.end()); };
    append(MakeNameRecord("BENCH.PBN", 640));
    for (int i = 1; i <= kHistorySlots - 2; ++i)
        append(MakeBoardRecord(RandomDeal(rng), (i - 1) % 640 + 1));
    append(MakeEndMarker());
    return bytes;
}

void BM_CompareHands(benchmark::State& state) {
    std::mt19937 rng(1);
    std::vector<Board> boards;
    for (int i = 0; i < 256; ++i)
        boards.push_back(RandomDeal(rng));
    std::size_t i = 0;
    for (auto _ : state) {
        const Board& a = boards[i & 255];
        const Board& b = boards[(i * 7 + 3) & 255];
        benchmark::DoNotOptimize(CompareHands(a, b));
        ++i;
    }
}
BENCHMARK(BM_CompareHands);

void BM_MaxInnerSimilarity640(benchmark::State& state) {
    std::mt19937 rng(2);
    BoardSet set;
    set.firstBoard = 1;
    set.lastBoard = kMaxBoard;
    for (int b = 1; b <= kMaxBoard; ++b)
        set[b] = RandomDeal(rng);
    for (auto _ : state) {
        std::int16_t first = 0;
        std::int16_t second = 0;
        benchmark::DoNotOptimize(MaxInnerSimilarity(set, first, second));
    }
    state.SetLabel("640 boards");
}
BENCHMARK(BM_MaxInnerSimilarity640)->Unit(benchmark::kMillisecond);

void BM_MaxHistorySimilarityFullRing(benchmark::State& state) {
    std::mt19937 rng(3);
    const auto bytes = FullRingBytes(rng);
    History history;
    history.Load(bytes.data(), bytes.size());
    std::vector<Board> candidates;
    for (int i = 0; i < 64; ++i)
        candidates.push_back(RandomDeal(rng));
    std::size_t i = 0;
    for (auto _ : state) {
        std::int16_t board = 0;
        std::string name;
        benchmark::DoNotOptimize(MaxHistorySimilarity(history, candidates[i++ & 63], board, name));
    }
    state.SetLabel("10000 slots");
}
BENCHMARK(BM_MaxHistorySimilarityFullRing)->Unit(benchmark::kMicrosecond);

} // namespace
