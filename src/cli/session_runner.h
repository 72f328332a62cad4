// The non-interactive dealing and reading session of `orvenix-cli deal` and `orvenix-cli read`: the
// dealing window's session logic without a window. It runs the start-up exchange, then deals or reads
// each board of the range in turn, starting every step itself instead of waiting for the pedal.
//
// Exit status: 0 every board done; 1 a board refused, a machine error, a board-number mismatch, a
// firmware too old, or a file that cannot be loaded or saved; 2 no machine, no answer at start-up, or
// a lost link.
#pragma once

#include "cli/command.h"
#include "machine/link.h"
#include "machine/session.h"

#include <cstdint>
#include <optional>
#include <string>

namespace orvenix::cli {

struct SessionRun {
    SessionMode mode = SessionMode::Deal;
    std::string input;
    std::string output; // read: where the boards read are saved
    std::string machine = "serial";
    std::optional<int> from;
    std::optional<int> to;
    ReadMode readMode = ReadMode::SimulateHandDealing;
    std::optional<std::uint64_t> seed; // read on the emulated machine: the deals put in for reading
    bool checkBoard = false;           // check each board's number label before its step
    int national = 1;                  // national card set 1 to 6 (standard, French ARDV, French 1RDV,
                                       // German, Dutch, Danish)
};

// The options deal and read share: --machine, --from, --to, --check-board, --national.
void TakeSessionOptions(Args& args, SessionRun& run);

int RunDealingSession(const SessionRun& run);

} // namespace orvenix::cli
