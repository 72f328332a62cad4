// orvenix-cli read: reads boards back from the machine, one after the other, into the empty boards of a set,
// and saves the set with the deals read. On the emulated machine the stack of each board comes from a
// random deal.
#include "cli/command.h"
#include "cli/session_runner.h"
#include "machine/open_link.h"

#include <iostream>
#include <utility>

namespace orvenix::cli {
namespace {

constexpr const char* kUsage = "read INPUT OUTPUT [--machine emulated|serial[:DEVICE]|library[:PATH]] "
                               "[--mode 1|2] [--from N] [--to M] [--check-board] [--national 1-6] [--seed N] "
                               "[--start-on-box] [--no-wait-first] [--replace]";

int RunRead(Args& args) {
    SessionRun run;
    run.options.mode = SessionMode::Read;
    TakeSessionOptions(args, run);
    if (const auto mode = TakeNumber(args, "mode", 1, 2))
        run.options.readMode = *mode == 1 ? ReadMode::SimulateHandDealing : ReadMode::PlayedBoards;
    run.options.replace = TakeFlag(args, "replace");
    if (const auto seed = TakeNumber(args, "seed", 0, 2147483647L))
        run.seed = static_cast<std::uint64_t>(*seed);
    if (args.size() != 2 || args[0].rfind("--", 0) == 0 || args[1].rfind("--", 0) == 0) {
        std::cerr << "usage: orvenix-cli " << kUsage << "\n";
        return 2;
    }
    run.options.input = args[0];
    run.options.output = args[1];
    return RunDealingSession(std::move(run), "read");
}

const CliRegistrar reg{{"read", kUsage, RunRead}};

} // namespace
} // namespace orvenix::cli
