#include "cli/session_runner.h"

#include "app/dialogs.h"
#include "app/messages.h"
#include "app/settings.h"
#include "formats/frame.h"
#include "generate/random.h"
#include "machine/emulated_si.h"
#include "machine/open_link.h"

#include <cstdio>
#include <iostream>
#include <memory>

namespace orvenix::cli {
namespace {

// Message boxes become lines on the error output. The questions at the end of the set are answered
// Cancel: the run decides itself what comes after the last board.
class RunDialogs : public Dialogs {
  public:
    explicit RunDialogs(std::string command) : command_(std::move(command)) {}
    Answer Message(const MessageRequest& request) override {
        if (request.buttons == Buttons::YesNoCancel) return Answer::Cancel;
        ++shown;
        std::cerr << "orvenix-cli " << command_ << ": ";
        if (!request.title.empty()) std::cerr << request.title << ": ";
        std::cerr << PlainMessage(request.text) << "\n";
        return request.buttons == Buttons::OkCancel ? Answer::Cancel : Answer::Ok;
    }
    std::optional<FileDialogResult> FileDialog(const FileDialogRequest&) override { return std::nullopt; }
    int shown = 0;

  private:
    std::string command_;
};

// The window of the run: waits pass on the clock, and the error dialog is answered Cancel at once.
class RunView : public SessionView {
  public:
    explicit RunView(Clock& clock) : clock_(clock) {}
    void Refresh(unsigned) override {}
    void SetPollTimer(bool) override {}
    void Wait(int ms) override { clock_.WaitUntilMs(clock_.NowMs() + static_cast<std::uint64_t>(ms)); }
    void ProcessEvents() override {}
    void RunErrorDialog(ErrorDialog& dialog) override { dialog.PressCancel(); }
    void CloseWindow() override {}
    void SaveBoardSet() override {}

  private:
    Clock& clock_;
};

std::string StepLine(const StepReport& r) {
    const auto& p = r.pocketCounts; // S, W, E, N
    char time[32];
    std::snprintf(time, sizeof time, "%.1f", r.seconds);
    return "Board " + std::to_string(r.board) + ": N " + std::to_string(p[kPocketNorth]) + " E " +
           std::to_string(p[kPocketEast]) + " S " + std::to_string(p[kPocketSouth]) + " W " +
           std::to_string(p[kPocketWest]) + "  " + time + " s";
}

} // namespace

void TakeSessionOptions(Args& args, SessionRun& run) {
    run.machine = TakeOption(args, "machine").value_or(kDefaultMachine);
    if (const auto from = TakeNumber(args, "from", 1, kMaxBoard)) run.from = static_cast<int>(*from);
    if (const auto to = TakeNumber(args, "to", 1, kMaxBoard)) run.to = static_cast<int>(*to);
    run.checkBoard = TakeFlag(args, "check-board");
    if (const auto national = TakeNumber(args, "national", 1, kNationalSets))
        run.national = static_cast<int>(*national);
}

int RunDealingSession(const SessionRun& run) {
    const bool reading = run.mode == SessionMode::Read;
    const std::string command = reading ? "read" : "deal";
    const std::string prefix = "orvenix-cli " + command + ": ";

    auto set = std::make_unique<BoardSet>();
    set->Reset();
    const FileOutcome in = LoadBoardSetFile(run.input, *set);
    if (!in.ok) {
        std::cerr << prefix << PlainMessage(in.error) << "\n";
        return 1;
    }
    if (!set->exists()) {
        std::cerr << prefix << PlainMessage(MessageTemplate(MsgNoBoardSet)) << "\n";
        return 1;
    }
    const int from = run.from.value_or(set->firstBoard);
    const int to = run.to.value_or(set->lastBoard);
    if (from < set->firstBoard || to > set->lastBoard || from > to) {
        std::cerr << prefix << "the boards " << from << " to " << to << " are not within the set's boards "
                  << set->firstBoard << " to " << set->lastBoard << "\n";
        return 1;
    }

    RunDialogs dialogs(command);
    std::string error;
    const std::optional<MachineChoice> choice = ParseMachineChoice(run.machine, &error);
    if (!choice) throw std::runtime_error(error);
    const bool emulated = choice->kind == MachineChoice::Kind::Emulated;
    // The emulated machine runs in virtual time: it deals and reads instantly.
    MachineLink link(MakeSiLayer(*choice, emulated), dialogs);
    SteadyClock steady;
    Clock& clock = emulated ? static_cast<EmulatedSi&>(link.Si()).GetClock() : steady;

    link.InitComm(kLinkTimeoutMs);
    if (!link.IsOpen()) {
        if (dialogs.shown == 0) std::cerr << prefix << "no machine found (" << run.machine << ")\n";
        return 2;
    }

    // Boards to be read are emptied first: the machine's reading replaces their deals.
    if (reading) {
        for (int n = from; n <= to; ++n) {
            Board& b = (*set)[n];
            const Board kept = b;
            b = Board{};
            b.number = static_cast<std::int16_t>(n);
            b.dealer = kept.dealer;
            b.vulnerability = kept.vulnerability;
        }
    }

    MemorySettings settings;
    settings.Write(keys::kInitReadMode, run.readMode == ReadMode::SimulateHandDealing ? "0" : "1");
    settings.Write(keys::kCheckBoard, run.checkBoard ? "1" : "0");
    settings.Write(keys::kNational, std::to_string(run.national - 1));
    RunView view(clock);
    DealingSession session(run.mode, *set, link, clock, settings, dialogs, view);
    RandomSource random = run.seed ? RandomSource::FromSeed(*run.seed) : RandomSource();
    if (!run.seed) {
        GeneratorSeeds seeds;
        seeds.first = static_cast<std::uint16_t>(random.Random01() * 65536.0);
        seeds.second = static_cast<std::uint16_t>(random.Random01() * 65536.0);
        random.SeedPacketGenerator(seeds);
    }

    session.Load();
    view.Wait(2000); // the window's start-up delay
    session.StartupExchange();

    int status = 0;
    int done = 0;
    switch (session.Closing()) {
    case CloseReason::None:
        break;
    case CloseReason::ReadNeedsFirmware:
        status = 1;
        break;
    default:
        status = 2;
        break;
    }
    if (status == 0 && run.checkBoard && !session.Display().options.checkBoard) {
        std::cerr << prefix << "warning: the machine cannot check board numbers ("
                  << ((link.state.optionWord & static_cast<std::int32_t>(kOptionBoardReader)) != 0
                          ? "firmware " + FirmwareText(link.state.firmwareMajor, link.state.firmwareMinor) +
                                " is older than 2.40"
                          : "no board-number reader")
                  << "); the boards are not checked\n";
    }
    for (int n = from; n <= to && status == 0; ++n) {
        if (emulated) {
            EmulatedMachine& machine = *link.Emulator();
            machine.InsertBoard(n);
            if (reading) {
                const Board deal = random.RandomDeal();
                machine.PutReadStack(StackForDeal(deal, run.readMode, EffectiveDealer((*set)[n], n)));
            }
        }
        session.GoToBoard(n);
        session.DealCommand();
        const StepReport& r = session.LastStep();
        switch (r.outcome) {
        case StepOutcome::Completed:
            ++done;
            std::cout << StepLine(r) << std::endl;
            break;
        case StepOutcome::Cancelled:
            std::cerr << prefix << "board " << n << ": " << PlainMessage(r.error.text) << " ("
                      << r.error.codeText << ")\n";
            status = 1;
            break;
        case StepOutcome::LinkLost:
            status = 2;
            break;
        case StepOutcome::Refused:
        case StepOutcome::None:
            status = 1; // the refusal has been shown
            break;
        }
    }
    if (!session.CloseRequested()) session.ExitCommand();
    session.Unload();

    std::cout << (reading ? "Boards read: " : "Boards dealt: ") << done << "\n";
    if (reading && done > 0) {
        // Whatever was read is saved, also when the run stopped early.
        const FileOutcome out = SaveBoardSetFile(run.output, *set);
        for (const std::string& question : out.warnings)
            std::cerr << prefix << "warning: " << PlainMessage(question) << "\n(answered Yes)\n";
        if (!out.ok) {
            std::cerr << prefix << PlainMessage(out.error) << "\n";
            return status == 0 ? 1 : status;
        }
        std::cout << "Saved: " << run.output << "\n";
    }
    return status;
}

} // namespace orvenix::cli
