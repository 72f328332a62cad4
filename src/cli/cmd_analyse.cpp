// orvenix-cli analyse INPUT: the double-dummy table and par of every complete board of a board-set file.
#include "analysis/double_dummy.h"
#include "base/messages.h"
#include "cli/command.h"
#include "cli/input.h"
#include "formats/frame.h"

#include <iomanip>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvenix::cli {
namespace {

int RunAnalyse(Args& args) {
    if (args.size() != 1) return UsageError("analyse");
    FileOutcome in;
    const std::unique_ptr<BoardSet> set = LoadInput(args[0], in);
    if (!set) return 1;
    std::vector<BoardToAnalyse> boards;
    for (int n = set->firstBoard; set->exists() && n <= set->lastBoard; ++n) {
        boards.push_back({&(*set)[n], n});
    }
    std::vector<std::optional<DoubleDummyResult>> results;
    try {
        results = DoubleDummyAnalyser::Shared().Analyse(boards);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    int analysed = 0;
    for (std::size_t i = 0; i < boards.size(); ++i) {
        const int n = boards[i].number;
        const Board& b = *boards[i].board;
        if (!results[i]) {
            std::cout << "Board " << n << ": not complete, no analysis\n\n";
            continue;
        }
        ++analysed;
        std::cout << "Board " << n << "  Dealer: " << kSeatLetters[EffectiveDealer(b, n) - 1]
                  << "  Vul: " << kVulnerabilityNames[EffectiveVulnerability(b, n)] << "\n";
        std::cout << "    ";
        for (const char* s : kStrainLetters)
            std::cout << std::setw(3) << s;
        std::cout << "\n";
        for (int seat = 0; seat < 4; ++seat) {
            std::cout << "  " << kSeatLetters[seat] << " ";
            for (int s = 0; s < kStrains; ++s) {
                std::cout << std::setw(3)
                          << results[i]->tricks[static_cast<std::size_t>(seat)][static_cast<std::size_t>(s)];
            }
            std::cout << "\n";
        }
        std::cout << "  " << ParLine(results[i]->par) << "\n\n";
    }
    std::cout << analysed << " of " << boards.size() << " boards analysed\n";
    return 0;
}

const CliRegistrar reg{
    {"analyse", "INPUT", "print the double-dummy table and par of every complete board", RunAnalyse, {}}};

} // namespace
} // namespace orvenix::cli
