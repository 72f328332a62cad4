// Double-dummy analysis of complete boards: the tricks each declarer makes in each strain with all four
// hands visible, and the par result for the board's dealer and vulnerability. The solver is the
// double-dummy library (libdds); results are kept in memory per deal for the rest of the run.
#pragma once

#include "model/board.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace orvenix {

// Strains in table order: clubs, diamonds, hearts, spades, notrump.
enum Strain : int { kClubs = 0, kDiamonds = 1, kHearts = 2, kSpades = 3, kNotrump = 4 };
inline constexpr int kStrains = 5;
inline constexpr std::array<const char*, kStrains> kStrainLetters{"C", "D", "H", "S", "NT"};

// tricks[seat - 1][strain]: tricks that seat makes as declarer in that strain.
using TrickTable = std::array<std::array<int, kStrains>, 4>;

struct ParResult {
    int scoreNS = 0;                    // the par score for North-South (negative when East-West gain)
    std::vector<std::string> contracts; // e.g. "4S N", "5Cx EW -1"; several when they score alike
};

struct DoubleDummyResult {
    TrickTable tricks{};
    ParResult par;
};

// "Par: 4S N, NS +420" (or "Par: 0, passed out").
std::string ParLine(const ParResult& par);

// The deal's identity for the cache: the owner seat of every card code 1..52.
using DealKey = std::array<std::uint8_t, kCards>;
DealKey DealKeyOf(const Board& board);

// One board to analyse: the record and its board number (for the standard dealer and vulnerability).
struct BoardToAnalyse {
    const Board* board = nullptr;
    int number = 0;
};

// Called between batches with the boards done so far and the total; returning false cancels the rest.
using AnalysisProgress = std::function<bool(int done, int total)>;

class DoubleDummyAnalyser {
  public:
    // The program's one analyser (its cache lives for the run).
    static DoubleDummyAnalyser& Shared();

    // One result per input board, in order; no result for an incomplete board, for a board whose
    // cards are not 13 per hand, and for the boards not reached when progress cancels. Throws
    // std::runtime_error with the solver's message when the solver fails.
    std::vector<std::optional<DoubleDummyResult>> Analyse(const std::vector<BoardToAnalyse>& boards,
                                                          const AnalysisProgress& progress = {});
    std::optional<DoubleDummyResult> Analyse(const Board& board, int number);

    // The result for a deal already in the cache, without solving anything.
    std::optional<DoubleDummyResult> Cached(const Board& board, int number);

    // Number of deals the solver has been asked to solve (each deal once; cache hits do not count).
    [[nodiscard]] long SolvedDeals() const;
    [[nodiscard]] std::size_t CacheSize() const;
    void ClearCache();

  private:
    struct Entry {
        TrickTable tricks{};
        // par per dealer (1..4) and vulnerability (1..4), filled when first asked for
        std::array<std::array<std::optional<ParResult>, 4>, 4> par{};
    };
    DoubleDummyResult ResultFor(Entry& entry, Seat dealer, Vulnerability vul);

    mutable std::mutex mutex_;
    std::map<DealKey, Entry> cache_;
    long solvedDeals_ = 0;
};

// True when every seat holds exactly 13 of the 52 cards and the board is marked complete.
bool CanAnalyse(const Board& board);

} // namespace orvenix
