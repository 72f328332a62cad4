#include "cli/input.h"

#include "base/messages.h"

#include <iostream>

namespace orvenix::cli {

std::unique_ptr<BoardSet> LoadInput(const std::string& path, FileOutcome& outcome) {
    auto set = std::make_unique<BoardSet>();
    outcome = LoadBoardSetFile(path, *set);
    if (!outcome.ok) {
        std::cerr << PlainMessage(outcome.error) << "\n";
        return nullptr;
    }
    return set;
}

} // namespace orvenix::cli
