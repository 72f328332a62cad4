// orvenix-cli deal: deals the boards of a set on the machine, one after the other; each board starts when
// the operator presses the foot pedal (or Enter), as in the dealing window.
#include "cli/command.h"
#include "cli/session_runner.h"
#include "machine/open_link.h"

#include <iostream>
#include <utility>

namespace orvenix::cli {
namespace {

constexpr const char* kUsage =
    "deal INPUT [--machine emulated|serial[:DEVICE]|library[:PATH]] [--from N] [--to M] "
    "[--check-board] [--national 1-6] [--start-on-box] [--no-wait-first]";

int RunDeal(Args& args) {
    SessionRun run;
    run.options.mode = SessionMode::Deal;
    TakeSessionOptions(args, run);
    if (args.size() != 1 || args[0].rfind("--", 0) == 0) {
        std::cerr << "usage: orvenix-cli " << kUsage << "\n";
        return 2;
    }
    run.options.input = args[0];
    return RunDealingSession(std::move(run), "deal");
}

const CliRegistrar reg{{"deal", kUsage, RunDeal}};

} // namespace
} // namespace orvenix::cli
