// orvenix-cli deal: deals the boards of a set on the machine, one after the other, as the dealing window
// does when the operator presses the pedal after each board.
#include "cli/command.h"
#include "cli/session_runner.h"
#include "machine/open_link.h"

#include <iostream>

namespace orvenix::cli {
namespace {

constexpr const char* kUsage =
    "deal INPUT [--machine emulated|serial[:DEVICE]|library[:PATH]] [--from N] [--to M]";

int RunDeal(Args& args) {
    SessionRun run;
    run.mode = SessionMode::Deal;
    run.machine = TakeOption(args, "machine").value_or(kDefaultMachine);
    if (const auto from = TakeNumber(args, "from", 1, kMaxBoard)) run.from = static_cast<int>(*from);
    if (const auto to = TakeNumber(args, "to", 1, kMaxBoard)) run.to = static_cast<int>(*to);
    if (args.size() != 1 || args[0].rfind("--", 0) == 0) {
        std::cerr << "usage: orvenix-cli " << kUsage << "\n";
        return 2;
    }
    run.input = args[0];
    return RunDealingSession(run);
}

const CliRegistrar reg{{"deal", kUsage, RunDeal}};

} // namespace
} // namespace orvenix::cli
