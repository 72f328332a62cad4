#include "cli/session_runner.h"

#include "generate/random.h"
#include "machine/emulated_machine.h"
#include "machine/open_link.h"

#include <iostream>
#include <stdexcept>
#include <string>

#ifdef _WIN32
#include <conio.h>
#include <io.h>
#else
#include <poll.h>
#include <unistd.h>
#endif

namespace orvenix::cli {
namespace {

// On the emulated machine the operator's hands are emulated too: each board is put in with its label,
// a board to be read gets a stack of cards from a random deal, and the pedal is pressed.
class EmulatedHands {
  public:
    EmulatedHands(EmulatedMachine& machine, const SessionRun& run)
        : machine_(machine), run_(run),
          random_(run.seed ? RandomSource::FromSeed(*run.seed) : RandomSource()) {
        if (!run.seed) {
            GeneratorSeeds seeds;
            seeds.first = static_cast<std::uint16_t>(random_.Random01() * 65536.0);
            seeds.second = static_cast<std::uint16_t>(random_.Random01() * 65536.0);
            random_.SeedPacketGenerator(seeds);
        }
    }
    void PutInBoard(int n, const Board& board, bool waiting) {
        machine_.InsertBoard(n);
        if (run_.options.mode == SessionMode::Read) {
            const Board deal = random_.RandomDeal();
            machine_.PutReadStack(StackForDeal(deal, run_.options.readMode, EffectiveDealer(board, n)));
        }
        if (waiting) machine_.PressPedal();
    }

  private:
    EmulatedMachine& machine_;
    const SessionRun& run_;
    RandomSource random_;
};

// The operator's terminal: standard output and error, and lines typed on standard input when it is a
// terminal.
class TerminalOperator : public RunOperator {
  public:
    TerminalOperator() {
#ifdef _WIN32
        interactive_ = _isatty(0) != 0;
#else
        interactive_ = ::isatty(STDIN_FILENO) == 1;
#endif
    }
    void Say(const std::string& line) override {
        std::cout << line << std::endl;
    }
    void Warn(const std::string& line) override {
        std::cerr << line << std::endl;
    }
    [[nodiscard]] bool Interactive() const override {
        return interactive_;
    }
    void PutInBoard(int n, const Board& board, bool waiting) override {
        if (hands_) hands_->PutInBoard(n, board, waiting);
    }
    // The emulated machine's operator: boards and cards go in and the pedal is pressed by themselves.
    void EmulateHands(EmulatedMachine& machine, const SessionRun& run) {
        hands_ = std::make_unique<EmulatedHands>(machine, run);
    }
    std::optional<std::string> TypedLine() override {
        if (!interactive_) return std::nullopt;
#ifdef _WIN32
        while (_kbhit()) {
            const int c = _getch();
            if (c == '\r' || c == '\n') return TakeLine();
            typed_ += static_cast<char>(c);
        }
#else
        for (;;) {
            pollfd p{STDIN_FILENO, POLLIN, 0};
            if (::poll(&p, 1, 0) <= 0 || (p.revents & (POLLIN | POLLHUP)) == 0) break;
            char buffer[256];
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0) { // the terminal went away: nobody types any more
                interactive_ = false;
                break;
            }
            typed_.append(buffer, static_cast<std::size_t>(n));
        }
        if (typed_.find('\n') != std::string::npos) return TakeLine();
#endif
        return std::nullopt;
    }

  private:
    std::string TakeLine() {
        const std::size_t eol = typed_.find('\n');
        std::string line = typed_.substr(0, eol);
        typed_.erase(0, eol == std::string::npos ? typed_.size() : eol + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return line;
    }

    bool interactive_ = false;
    std::string typed_;
    std::unique_ptr<EmulatedHands> hands_;
};

} // namespace

void TakeSessionOptions(Args& args, SessionRun& run) {
    DealingRunOptions& o = run.options;
    o.machineName = TakeOption(args, "machine").value_or(kDefaultMachine);
    if (const auto from = TakeNumber(args, "from", 1, kMaxBoard)) o.from = static_cast<int>(*from);
    if (const auto to = TakeNumber(args, "to", 1, kMaxBoard)) o.to = static_cast<int>(*to);
    o.checkBoard = TakeFlag(args, "check-board");
    if (const auto national = TakeNumber(args, "national", 1, kNationalSets))
        o.national = static_cast<int>(*national);
    o.startOnBox = TakeFlag(args, "start-on-box");
    o.waitFirst = !TakeFlag(args, "no-wait-first");
}

int RunDealingSession(SessionRun run, const char* command) {
    run.options.prefix = std::string("orvenix-cli ") + command + ": ";
    std::string error;
    const std::optional<MachineChoice> choice = ParseMachineChoice(run.options.machineName, &error);
    if (!choice) throw std::runtime_error(error);

    TerminalOperator op;
    RunDialogs dialogs(op, run.options.prefix);
    // The emulated machine runs in virtual time: it deals and reads instantly.
    MachineConnection machine = ConnectMachine(*choice, dialogs, nullptr, true);
    if (machine.emulator != nullptr) op.EmulateHands(*machine.emulator, run);
    return RunDealing(run.options, *machine.link, machine.clock, dialogs, op);
}

} // namespace orvenix::cli
