// orvenix-cli deal: deals the boards of a set on the machine, one after the other; each board starts when
// the operator presses the foot pedal (or Enter), as in the dealing window.
#include "cli/command.h"
#include "cli/session_runner.h"

#include <utility>

namespace orvenix::cli {
namespace {

int RunDeal(Args& args) {
    SessionRun run;
    run.options.mode = SessionMode::Deal;
    TakeSessionOptions(args, run);
    if (args.size() != 1 || args[0].rfind("--", 0) == 0) return UsageError("deal");
    run.options.input = args[0];
    return RunDealingSession(std::move(run), "deal");
}

const CliRegistrar reg{
    {"deal",
     "INPUT",
     "deal the boards of a set on the machine, one after the other, each started by the operator",
     RunDeal,
     {{"--machine", "KIND",
       "how the machine is reached: emulated, serial[:DEVICE] or library[:PATH] (default: serial)"},
      {"--from", "N", "first board to deal (default: the set's first board)"},
      {"--to", "M", "last board to deal (default: the set's last board)"},
      {"--check-board", nullptr, "check each board's number label before dealing it"},
      {"--national", "1-6",
       "card set: 1 standard, 2 French ARDV, 3 French 1RDV, 4 German, 5 Dutch, 6 Danish"},
      {"--start-on-box", nullptr,
       "start each board when the card box is inserted, as well as by the foot pedal"},
      {"--no-wait-first", nullptr, "start the first board without waiting for the operator"}}}};

} // namespace
} // namespace orvenix::cli
