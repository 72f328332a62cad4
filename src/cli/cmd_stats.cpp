// orvenix-cli stats INPUT: the summary the main window shows for a board-set file.
#include "base/messages.h"
#include "cli/command.h"
#include "cli/input.h"
#include "formats/frame.h"
#include "generate/statistics.h"

#include <iomanip>
#include <iostream>
#include <memory>
#include <string>

namespace orvenix::cli {
namespace {

int RunStats(Args& args) {
    if (args.size() != 1) return UsageError("stats");
    FileOutcome in;
    const std::unique_ptr<BoardSet> set = LoadInput(args[0], in);
    if (!set) return 1;
    ShapeTally tally{};
    const SetStatistics st = ShapeStatistics(*set, tally);

    std::cout << "File: " << args[0] << " (" << in.formatName << ")\n";
    if (!set->eventName.empty()) std::cout << "Event Name: " << set->eventName << "\n";
    if (!set->eventSite.empty()) std::cout << "Event Site: " << set->eventSite << "\n";
    if (!set->eventDate.empty()) std::cout << "Event Date: " << set->eventDate << "\n";
    std::cout << "First Board Number: " << set->firstBoard << "\n"
              << "Last Board Number: " << set->lastBoard << "\n"
              << "Number of Boards in Set: " << set->count() << "\n"
              << "Number of Completed Boards: " << set->completedCount << "\n";

    std::cout << "\nShape  Actual  Expected  Diffrence\n";
    for (const ShapeRow& row : st.rows) {
        std::cout << std::left << std::setw(5) << row.shape << std::right << "  " << std::setw(6)
                  << row.actual << "  " << std::setw(8) << row.expected << "  " << std::setw(9)
                  << row.difference << "\n";
    }

    std::cout << "\nHand    HCP  Distr\n";
    for (std::size_t s = 0; s < 4; ++s) {
        std::cout << "Hand " << kSeatLetters[s] << ": " << std::setw(5) << st.averageHcp[s] << "  "
                  << std::setw(5) << st.averageDistrib[s] << "\n";
    }
    std::cout << "\nMax frequency: " << st.maxFrequency << "\n"
              << "Min frequency: " << st.minFrequency << "\n"
              << "Inner Similarity: " << st.innerSimilarity << " (boards " << st.innerFirst << ":"
              << st.innerSecond << ")\n";
    return 0;
}

const CliRegistrar reg{
    {"stats", "INPUT", "print the summary the main window shows for a board-set file", RunStats, {}}};

} // namespace
} // namespace orvenix::cli
