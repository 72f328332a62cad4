// orvenix-cli read: reads boards back from the machine, one after the other, into the empty boards of a set,
// and saves the set with the deals read. On the emulated machine the stack of each board comes from a
// random deal.
#include "cli/command.h"
#include "cli/session_runner.h"

#include <utility>

namespace orvenix::cli {
namespace {

int RunRead(Args& args) {
    SessionRun run;
    run.options.mode = SessionMode::Read;
    TakeSessionOptions(args, run);
    if (const auto mode = TakeNumber(args, "mode", 1, 2))
        run.options.readMode = *mode == 1 ? ReadMode::SimulateHandDealing : ReadMode::PlayedBoards;
    run.options.replace = TakeFlag(args, "replace");
    if (const auto seed = TakeNumber(args, "seed", 0, 2147483647L))
        run.seed = static_cast<std::uint64_t>(*seed);
    if (args.size() != 2 || args[0].rfind("--", 0) == 0 || args[1].rfind("--", 0) == 0)
        return UsageError("read");
    run.options.input = args[0];
    run.options.output = args[1];
    return RunDealingSession(std::move(run), "read");
}

const CliRegistrar reg{
    {"read",
     "INPUT OUTPUT",
     "read hand-dealt boards back from the machine into empty boards and save the set with the deals read",
     RunRead,
     {{"--machine", "KIND",
       "how the machine is reached: emulated, serial[:DEVICE] or library[:PATH] (default: serial)"},
      {"--mode", "1|2", "1: cards dealt one by one from the dealer on (default); 2: boards already played"},
      {"--from", "N", "first board to read (default: the set's first board)"},
      {"--to", "M", "last board to read (default: the set's last board)"},
      {"--check-board", nullptr, "check each board's number label before reading it"},
      {"--national", "1-6",
       "card set: 1 standard, 2 French ARDV, 3 French 1RDV, 4 German, 5 Dutch, 6 Danish"},
      {"--seed", "N", "emulated machine: the deals it puts in to be read (0 to 2147483647)"},
      {"--start-on-box", nullptr,
       "start each board when the card box is inserted, as well as by the foot pedal"},
      {"--no-wait-first", nullptr, "start the first board without waiting for the operator"},
      {"--replace", nullptr,
       "read into boards that already hold cards; a board is replaced when its read completes"}}}};

} // namespace
} // namespace orvenix::cli
