// Loading and saving a set of 640 boards in each board-set format: the readers and writers on bytes in
// memory, and the whole file path (read from disk, or written through a temporary file and renamed).
#include "formats/frame.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <numeric>
#include <random>
#include <string>

namespace {
using namespace orvenix;

std::unique_ptr<BoardSet> FullSet() {
    auto set = std::make_unique<BoardSet>();
    std::mt19937 rng(640);
    std::array<int, kCards> deck{};
    std::iota(deck.begin(), deck.end(), 1);
    for (int n = 1; n <= kMaxBoard; ++n) {
        std::shuffle(deck.begin(), deck.end(), rng);
        Board& b = (*set)[n];
        for (std::size_t i = 0; i < deck.size(); ++i)
            b.cardOwner[deck[i]] = static_cast<Seat>(i / 13 + 1);
        AnalyseBoard(b);
    }
    set->firstBoard = 1;
    set->lastBoard = kMaxBoard;
    set->Renumber();
    set->eventName = "Club championship";
    set->eventSite = "Town hall";
    set->eventDate = "2026.12.06";
    return set;
}

const BoardSet& Sample() {
    static const std::unique_ptr<BoardSet> set = FullSet();
    return *set;
}

FileFormat FormatAt(const benchmark::State& state) {
    return BoardSetFormats()[static_cast<std::size_t>(state.range(0))].format;
}

void Label(benchmark::State& state) {
    state.SetLabel(BoardSetFormats()[static_cast<std::size_t>(state.range(0))].name);
}

void BM_Write(benchmark::State& state) {
    const FileFormat format = FormatAt(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteBoardSet(format, Sample()));
    Label(state);
}

void BM_Read(benchmark::State& state) {
    const FileFormat format = FormatAt(state);
    const std::string bytes = WriteBoardSet(format, Sample());
    auto set = std::make_unique<BoardSet>();
    for (auto _ : state) {
        ClearForLoad(*set);
        if (ReadBoardSet(format, bytes, *set)) state.SkipWithError("the sample did not load");
        benchmark::DoNotOptimize(set->lastBoard);
    }
    Label(state);
}

std::string SamplePath(FileFormat format) {
    return (std::filesystem::temp_directory_path() /
            (std::string("orvenix-bench-formats.") + InfoOf(format).extension))
        .string();
}

void BM_LoadFile(benchmark::State& state) {
    const FileFormat format = FormatAt(state);
    const std::string path = SamplePath(format);
    if (WriteFileSafely(path, WriteBoardSet(format, Sample())))
        state.SkipWithError("cannot write the sample");
    auto set = std::make_unique<BoardSet>();
    for (auto _ : state) {
        const FileOutcome out = LoadBoardSetFile(path, *set);
        if (!out.ok) state.SkipWithError("the sample did not load");
    }
    std::filesystem::remove(path);
    Label(state);
}

void BM_SaveFile(benchmark::State& state) {
    const FileFormat format = FormatAt(state);
    const std::string path = SamplePath(format);
    for (auto _ : state) {
        const FileOutcome out = SaveBoardSetFile(path, Sample());
        if (!out.ok) state.SkipWithError("the sample was not saved");
    }
    std::filesystem::remove(path);
    Label(state);
}

} // namespace

BENCHMARK(BM_Write)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Read)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadFile)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveFile)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);
