#include "analysis/double_dummy.h"

#include <dds/dll.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace orvenix {
namespace {

// The solver keeps per-thread state of its own and must not be entered twice at once.
std::mutex& SolverMutex() {
    static std::mutex m;
    return m;
}

void InitSolverOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        SetMaxThreads(0); // 0: as many threads as the computer has cores
        // The solver keeps its transposition tables until told otherwise: they are given back when the
        // program ends, after the last analysis.
        std::atexit([] {
            const std::lock_guard<std::mutex> lock(SolverMutex());
            FreeMemory();
        });
    });
}

// The solver's strain index for our table column (clubs, diamonds, hearts, spades, notrump).
constexpr std::array<int, kStrains> kSolverStrain{3, 2, 1, 0, 4};
// The solver's vulnerability codes for ours (1 None, 2 NS, 3 EW, 4 All).
constexpr std::array<int, 5> kSolverVulnerability{0, 0, 2, 3, 1};

ddTableDeal SolverDeal(const DealKey& key) {
    ddTableDeal d{};
    for (int code = 1; code <= kCards; ++code) {
        const int seat = key[static_cast<std::size_t>(code - 1)];
        const int rank = RankOf(code);                     // 1 = ace .. 13 = two
        const int solverRank = rank == 1 ? 14 : 15 - rank; // 2 .. 14 (ace)
        d.cards[seat - 1][SuitOf(code) - 1] |= 1u << solverRank;
    }
    return d;
}

std::string SolverError(int code) {
    char text[80] = {};
    ErrorMessage(code, text);
    return std::string("Double-dummy solver error: ") + text;
}

ParResult ParFor(const TrickTable& tricks, Seat dealer, Vulnerability vul) {
    ddTableResults table{};
    for (int seat = 0; seat < 4; ++seat) {
        for (int s = 0; s < kStrains; ++s) {
            table.resTable[kSolverStrain[static_cast<std::size_t>(s)]][seat] =
                tricks[static_cast<std::size_t>(seat)][static_cast<std::size_t>(s)];
        }
    }
    parResultsDealer res{};
    int rc;
    {
        std::lock_guard lock(SolverMutex());
        rc = DealerPar(&table, &res, dealer - 1, kSolverVulnerability[vul <= 4 ? vul : 1]);
    }
    if (rc != RETURN_NO_FAULT) throw std::runtime_error(SolverError(rc));
    ParResult par;
    par.scoreNS = res.score; // the solver's score is North-South's, whoever deals
    for (int i = 0; i < res.number && i < 10; ++i) {
        std::string c(res.contracts[i]); // "4S-N", "4S*-EW-1", "3N-NS", "4H-S+1"
        if (c.size() < 2 || c == "pass") continue;
        if (c[1] == 'N') c.insert(2, "T");
        std::replace(c.begin(), c.end(), '*', 'x');
        const auto dash = c.find('-'); // the one between contract and declarer; a later one is "down"
        if (dash != std::string::npos) c[dash] = ' ';
        const auto result = c.find_first_of("-+", dash == std::string::npos ? 0 : dash);
        if (result != std::string::npos) c.insert(result, " ");
        par.contracts.push_back(c);
    }
    return par;
}

} // namespace

std::string ParLine(const ParResult& par) {
    if (par.contracts.empty() || par.scoreNS == 0) return "Par: 0, passed out";
    std::string line = "Par: ";
    for (std::size_t i = 0; i < par.contracts.size(); ++i) {
        if (i > 0) line += "; ";
        line += par.contracts[i];
    }
    line +=
        par.scoreNS > 0 ? ", NS +" + std::to_string(par.scoreNS) : ", EW +" + std::to_string(-par.scoreNS);
    return line;
}

DealKey DealKeyOf(const Board& board) {
    DealKey key{};
    std::copy(board.cardOwner.begin() + 1, board.cardOwner.end(), key.begin());
    return key;
}

bool CanAnalyse(const Board& board) {
    if (board.status != kBoardComplete) return false;
    std::array<int, 5> count{};
    for (int code = 1; code <= kCards; ++code) {
        const int seat = board.cardOwner[static_cast<std::size_t>(code)];
        if (seat < 1 || seat > 4) return false;
        ++count[static_cast<std::size_t>(seat)];
    }
    return count[1] == 13 && count[2] == 13 && count[3] == 13 && count[4] == 13;
}

DoubleDummyAnalyser& DoubleDummyAnalyser::Shared() {
    static DoubleDummyAnalyser analyser;
    return analyser;
}

DoubleDummyResult DoubleDummyAnalyser::ResultFor(Entry& entry, Seat dealer, Vulnerability vul) {
    if (dealer < 1 || dealer > 4) dealer = 1;
    if (vul < 1 || vul > 4) vul = 1;
    auto& par = entry.par[static_cast<std::size_t>(dealer - 1)][static_cast<std::size_t>(vul - 1)];
    if (!par) par = ParFor(entry.tricks, dealer, vul);
    return DoubleDummyResult{entry.tricks, *par};
}

std::vector<std::optional<DoubleDummyResult>>
DoubleDummyAnalyser::Analyse(const std::vector<BoardToAnalyse>& boards, const AnalysisProgress& progress) {
    const int total = static_cast<int>(boards.size());
    std::vector<std::optional<DoubleDummyResult>> results(boards.size());

    // The deals not yet in the cache, each once.
    std::vector<DealKey> todo;
    {
        std::lock_guard lock(mutex_);
        for (const BoardToAnalyse& b : boards) {
            if (b.board == nullptr || !CanAnalyse(*b.board)) continue;
            const DealKey key = DealKeyOf(*b.board);
            if (!cache_.contains(key) && std::find(todo.begin(), todo.end(), key) == todo.end()) {
                todo.push_back(key);
            }
        }
    }

    bool cancelled = false;
    if (!todo.empty()) {
        InitSolverOnce();
        auto deals = std::make_unique<ddTableDeals>();
        auto tables = std::make_unique<ddTablesRes>();
        auto pars = std::make_unique<allParResults>();
        int filter[DDS_STRAINS] = {0, 0, 0, 0, 0};
        const int solvedBefore = total - static_cast<int>(todo.size());
        for (std::size_t start = 0; start < todo.size(); start += MAXNOOFTABLES) {
            if (progress && !progress(solvedBefore + static_cast<int>(start), total)) {
                cancelled = true;
                break;
            }
            const std::size_t n = std::min<std::size_t>(MAXNOOFTABLES, todo.size() - start);
            deals->noOfTables = static_cast<int>(n);
            for (std::size_t i = 0; i < n; ++i)
                deals->deals[i] = SolverDeal(todo[start + i]);
            int rc;
            {
                std::lock_guard lock(SolverMutex());
                rc = CalcAllTables(deals.get(), -1, filter, tables.get(), pars.get());
            }
            if (rc != RETURN_NO_FAULT) throw std::runtime_error(SolverError(rc));
            std::lock_guard lock(mutex_);
            for (std::size_t i = 0; i < n; ++i) {
                Entry entry;
                for (int seat = 0; seat < 4; ++seat) {
                    for (int s = 0; s < kStrains; ++s) {
                        entry.tricks[static_cast<std::size_t>(seat)][static_cast<std::size_t>(s)] =
                            tables->results[i].resTable[kSolverStrain[static_cast<std::size_t>(s)]][seat];
                    }
                }
                cache_.emplace(todo[start + i], entry);
                ++solvedDeals_;
            }
        }
    }

    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < boards.size(); ++i) {
        const BoardToAnalyse& b = boards[i];
        if (b.board == nullptr || !CanAnalyse(*b.board)) continue;
        auto it = cache_.find(DealKeyOf(*b.board));
        if (it == cache_.end()) continue; // not reached before cancelling
        results[i] = ResultFor(it->second, EffectiveDealer(*b.board, b.number),
                               EffectiveVulnerability(*b.board, b.number));
    }
    if (progress && !cancelled) progress(total, total);
    return results;
}

std::optional<DoubleDummyResult> DoubleDummyAnalyser::Analyse(const Board& board, int number) {
    return Analyse(std::vector<BoardToAnalyse>{{&board, number}}).front();
}

std::optional<DoubleDummyResult> DoubleDummyAnalyser::Cached(const Board& board, int number) {
    if (!CanAnalyse(board)) return std::nullopt;
    std::lock_guard lock(mutex_);
    auto it = cache_.find(DealKeyOf(board));
    if (it == cache_.end()) return std::nullopt;
    return ResultFor(it->second, EffectiveDealer(board, number), EffectiveVulnerability(board, number));
}

long DoubleDummyAnalyser::SolvedDeals() const {
    std::lock_guard lock(mutex_);
    return solvedDeals_;
}

std::size_t DoubleDummyAnalyser::CacheSize() const {
    std::lock_guard lock(mutex_);
    return cache_.size();
}

void DoubleDummyAnalyser::ClearCache() {
    std::lock_guard lock(mutex_);
    cache_.clear();
}

} // namespace orvenix
