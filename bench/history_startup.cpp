// Start-up work up to "Ready" that depends on the history: reading a full 10000-record history file and
// the first statistics of the (still empty) board set.
#include "app/context.h"
#include "base/dialogs.h"
#include "base/log.h"
#include "base/settings.h"
#include "history/history.h"
#include "generate/statistics.h"
#include "model/board.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>

#include <unistd.h>

using namespace orvenix;
namespace fs = std::filesystem;

namespace {

Board RandomDeal(std::mt19937& rng) {
    std::array<int, kCards> deck{};
    std::iota(deck.begin(), deck.end(), 1);
    std::shuffle(deck.begin(), deck.end(), rng);
    Board b{};
    for (std::size_t i = 0; i < deck.size(); ++i)
        b.cardOwner[static_cast<std::size_t>(deck[i])] = static_cast<Seat>(i / 13 + 1);
    return b;
}

// Fifteen sets of 640 boards and a last set that wraps the ring: 10000 records.
fs::path WriteFullHistory(const fs::path& folder) {
    std::mt19937 rng(5);
    std::vector<std::uint8_t> bytes;
    auto append = [&bytes](const HistoryRecord& r) { bytes.insert(bytes.end(), r.begin(), r.end()); };
    int n = 0;
    while (bytes.size() < static_cast<std::size_t>(kHistorySlots - 1) * kHistoryRecordSize) {
        if (n % 641 == 0) {
            append(MakeNameRecord("SET" + std::to_string(n / 641 + 1) + ".PBN", 640));
        } else {
            append(MakeBoardRecord(RandomDeal(rng), n % 641));
        }
        ++n;
    }
    append(MakeEndMarker());
    const fs::path path = folder / "history.dat";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

void BM_StartupWithFullHistory(benchmark::State& state) {
    const fs::path folder = fs::temp_directory_path() / ("orvenix-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path path = WriteFullHistory(folder);
    BoardSet set;
    ScriptedDialogs dialogs;
    MemorySettings settings;
    ActivityLog log(folder / "dealer.log");
    AppContext ctx{set, dialogs, settings, log};
    std::string status;
    ctx.status = [&status](const std::string& s) { status = s; };
    for (auto _ : state) {
        auto history = History::Startup(ctx, path);
        const SetStatistics st = ShapeStatistics(set, ctx.shapeTally);
        benchmark::DoNotOptimize(st.rows.size());
        benchmark::DoNotOptimize(history.get());
    }
    state.SetLabel(status);
    if (!dialogs.messages.empty()) state.SkipWithError("the history file was reported as unusable");
    std::error_code ec;
    fs::remove_all(folder, ec);
}
BENCHMARK(BM_StartupWithFullHistory)->Unit(benchmark::kMillisecond);

} // namespace
