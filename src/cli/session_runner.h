// `orvenix-cli deal` and `orvenix-cli read`: the terminal front end of the dealing run (dealing/
// dealing_run.h). It reads the options both share, opens the machine, and plays the operator's terminal:
// prompts and progress on standard output, problems on standard error, Enter and the error dialog's
// answers from standard input when it is a terminal. On the emulated machine the run is instant: the
// emulated operator puts in each board (and its cards for reading) and presses the foot pedal.
#pragma once

#include "cli/command.h"
#include "dealing/dealing_run.h"

#include <cstdint>
#include <optional>

namespace orvenix::cli {

struct SessionRun {
    DealingRunOptions options;
    std::optional<std::uint64_t> seed; // read on the emulated machine: the deals put in for reading
};

// The options deal and read share: --machine, --from, --to, --check-board, --national, --start-on-box,
// --no-wait-first.
void TakeSessionOptions(Args& args, SessionRun& run);

int RunDealingSession(SessionRun run, const char* command);

} // namespace orvenix::cli
