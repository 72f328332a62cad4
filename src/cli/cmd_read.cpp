// orvenix-cli read: reads the boards of a set back from the machine, one after the other, and saves the
// set with the deals read. On the emulated machine the stack of each board comes from a random deal.
#include "cli/command.h"
#include "cli/session_runner.h"
#include "machine/open_link.h"

#include <iostream>

namespace orvenix::cli {
namespace {

constexpr const char* kUsage = "read INPUT OUTPUT [--machine emulated|serial[:DEVICE]|library[:PATH]] "
                               "[--mode 1|2] [--from N] [--to M] [--check-board] [--national 1-6] [--seed N]";

int RunRead(Args& args) {
    SessionRun run;
    run.mode = SessionMode::Read;
    TakeSessionOptions(args, run);
    if (const auto mode = TakeNumber(args, "mode", 1, 2))
        run.readMode = *mode == 1 ? ReadMode::SimulateHandDealing : ReadMode::PlayedBoards;
    if (const auto seed = TakeNumber(args, "seed", 0, 2147483647L))
        run.seed = static_cast<std::uint64_t>(*seed);
    if (args.size() != 2 || args[0].rfind("--", 0) == 0 || args[1].rfind("--", 0) == 0) {
        std::cerr << "usage: orvenix-cli " << kUsage << "\n";
        return 2;
    }
    run.input = args[0];
    run.output = args[1];
    return RunDealingSession(run);
}

const CliRegistrar reg{{"read", kUsage, RunRead}};

} // namespace
} // namespace orvenix::cli
