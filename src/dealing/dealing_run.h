// A dealing or reading run without a window: the dealing session driven from a terminal, board after
// board, with the operator at the machine. `orvenix-cli deal` and `orvenix-cli read` are this run.
//
// Between boards the run waits for the operator exactly as the dealing window does: it polls the machine
// every 100 ms and starts the next board when the machine reports the foot pedal (acknowledged by the
// next poll), or, with startOnBox, when the card box is inserted under the window's "Start Dealing from
// Board Inserting" rule; on a terminal a typed line (Enter) starts it too. A board counts as dealt only
// when the machine reports 13 cards in each pocket, and as read only when all 52 cards were placed, 13
// to each seat; a board read replaces the set's board only at that moment, so that a failed read leaves
// it as it was.
//
// Exit statuses: 0 every board of the range done; 1 a board refused, not done, cancelled after a machine
// error or a board-number mismatch, a firmware too old, or a file that cannot be loaded or saved; 2 no
// machine, no answer at start-up, a lost link, or no operator within operatorTimeoutMs. After a read the
// boards read so far are saved whatever the status.
#pragma once

#include "base/dialogs.h"
#include "machine/clock.h"
#include "machine/link.h"
#include "dealing/session.h"

#include <cstdint>
#include <optional>
#include <string>

namespace orvenix {

struct DealingRunOptions {
    SessionMode mode = SessionMode::Deal;
    std::string input;  // the board-set file
    std::string output; // read: where the set with the boards read is saved
    std::string machineName = "serial"; // for the message when no machine is found
    std::optional<int> from;            // first board of the run; the set's first board when absent
    std::optional<int> to;              // last board of the run; the set's last board when absent
    ReadMode readMode = ReadMode::SimulateHandDealing;
    bool checkBoard = false; // check each board's number label before its step
    int national = 1;        // national card set 1 to 6
    bool startOnBox = false; // the card box starts a board, as well as the pedal
    bool waitFirst = true;   // the first board waits for the operator too
    bool replace = false;    // read: read into boards that hold cards
    std::uint64_t operatorTimeoutMs = 10 * 60 * 1000;
    std::string prefix; // put before every problem line, e.g. "orvenix-cli deal: "
};

// The person at the terminal and at the machine, as the run sees them.
class RunOperator {
  public:
    virtual ~RunOperator() = default;
    // A line for the operator (progress, prompts): standard output.
    virtual void Say(const std::string& line) = 0;
    // A problem: standard error.
    virtual void Warn(const std::string& line) = 0;
    // True when the operator can type answers (standard input is a terminal).
    [[nodiscard]] virtual bool Interactive() const = 0;
    // A line typed since the last call, without its line end; nothing when no whole line is there. Never
    // waits. Called every 100 ms while the run waits for the operator or an error dialog is open.
    virtual std::optional<std::string> TypedLine() = 0;
    // Board n (the set's board) comes next; waiting tells whether the run then waits for the operator.
    // The emulated machine plays the operator here: it puts in the board and its cards, and presses the
    // pedal.
    virtual void PutInBoard(int /*n*/, const Board& /*board*/, bool /*waiting*/) {}
};

// Message boxes of a run: each becomes a line on the operator's error output. Questions get Cancel (the
// run decides itself what comes after the last board and at a refusal).
class RunDialogs : public Dialogs {
  public:
    RunDialogs(RunOperator& op, std::string prefix) : op_(op), prefix_(std::move(prefix)) {}
    Answer Message(const MessageRequest& request) override;
    std::optional<FileDialogResult> FileDialog(const FileDialogRequest&) override { return std::nullopt; }
    [[nodiscard]] int Shown() const { return shown_; }

  private:
    RunOperator& op_;
    std::string prefix_;
    int shown_ = 0;
};

// Runs the boards of the options' range on the link (not yet opened; dialogs must be the link's). Waits
// pass on clock: a virtual clock with the emulated machine makes the run instant.
int RunDealing(const DealingRunOptions& options, MachineLink& link, Clock& clock, RunDialogs& dialogs,
               RunOperator& op);

// The progress line of a board: "Board 5: N 13 E 13 S 13 W 13  6.2 s".
std::string StepLine(const StepReport& report);

} // namespace orvenix
