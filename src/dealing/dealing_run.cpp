#include "dealing/dealing_run.h"

#include "base/messages.h"
#include "formats/frame.h"

#include <cctype>
#include <cstdio>
#include <memory>
#include <vector>

namespace orvenix {

namespace {

constexpr int kPollMs = 100;
constexpr int kStartupDelayMs = 2000; // the window's start-up delay

// Board numbers as a short list: "3, 5 to 7, 9, 10".
std::string BoardList(const std::vector<int>& boards) {
    std::string out;
    for (std::size_t i = 0; i < boards.size();) {
        std::size_t j = i;
        while (j + 1 < boards.size() && boards[j + 1] == boards[j] + 1)
            ++j;
        if (j < i + 2) j = i; // two boards in a row are named one by one
        if (!out.empty()) out += ", ";
        out += std::to_string(boards[i]);
        if (j > i) out += " to " + std::to_string(boards[j]);
        i = j + 1;
    }
    return out;
}

std::string PocketText(const std::array<std::int16_t, 4>& p) { // S, W, E, N
    return "N " + std::to_string(p[kPocketNorth]) + " E " + std::to_string(p[kPocketEast]) + " S " +
           std::to_string(p[kPocketSouth]) + " W " + std::to_string(p[kPocketWest]);
}

std::string SeatText(const std::array<int, 5>& cards) { // N, E, S, W at 1 to 4
    return "N " + std::to_string(cards[1]) + " E " + std::to_string(cards[2]) + " S " +
           std::to_string(cards[3]) + " W " + std::to_string(cards[4]);
}

// The run's window: waits pass on the clock, and the machine error dialog is asked on the terminal (or
// answered Cancel where nobody can type).
class RunView : public SessionView {
  public:
    RunView(Clock& clock, RunOperator& op, std::uint64_t timeoutMs)
        : clock_(clock), op_(op), timeoutMs_(timeoutMs) {}
    void Refresh(unsigned) override {}
    void SetPollTimer(bool) override {}
    void Wait(int ms) override { clock_.WaitUntilMs(clock_.NowMs() + static_cast<std::uint64_t>(ms)); }
    void ProcessEvents() override {}
    void CloseWindow() override {}
    void SaveBoardSet() override {}
    void RunErrorDialog(ErrorDialog& dialog) override;
    [[nodiscard]] bool TimedOut() const { return timedOut_; }
    int board = 0;

  private:
    Clock& clock_;
    RunOperator& op_;
    std::uint64_t timeoutMs_;
    bool timedOut_ = false;
};

void RunView::RunErrorDialog(ErrorDialog& dialog) {
    const ErrorDialogContent& c = dialog.Content();
    // With one choice, or nobody to ask, the answer is Cancel.
    if (!op_.Interactive() || c.buttons == ErrorButtonSet::CancelOnly) {
        dialog.PressCancel();
        return;
    }
    const bool boardCheck = c.buttons == ErrorButtonSet::BoardCheck;
    op_.Say("Board " + std::to_string(board) + ": " + PlainMessage(c.text) + " (" + c.codeText + ")");
    std::string choices = "Type c for " + c.continueCaption + ", ";
    if (boardCheck) choices += "d for " + c.cancel2Caption + ", ";
    choices += "x for " + c.cancelCaption + " (the foot pedal answers " + c.continueCaption + ")";
    op_.Say(choices);
    const std::uint64_t start = clock_.NowMs();
    while (!dialog.Closed()) {
        dialog.Tick(); // polls the machine: the pedal answers, a lost link cancels
        if (dialog.Closed()) break;
        if (const std::optional<std::string> line = op_.TypedLine()) {
            const char key =
                line->empty() ? ' ' : static_cast<char>(std::tolower(static_cast<unsigned char>((*line)[0])));
            if (key == 'c')
                dialog.PressContinue();
            else if (key == 'x')
                dialog.PressCancel();
            else if (key == 'd' && boardCheck)
                dialog.PressCancel2();
            else
                op_.Say(choices);
            continue;
        }
        if (clock_.NowMs() - start >= timeoutMs_) {
            timedOut_ = true;
            dialog.PressCancel();
            break;
        }
        Wait(kPollMs);
    }
}

enum class WaitEnd { Start, LinkLost, TimedOut };

// Polls the machine every 100 ms until the operator starts board n.
WaitEnd WaitForOperator(DealingSession& session, Clock& clock, RunOperator& op, int n, const Board& board,
                        const DealingRunOptions& o) {
    session.ForgetOperatorSignals();
    if (session.CloseRequested()) return WaitEnd::LinkLost;
    std::string prompt = "Put in board " + std::to_string(n);
    prompt += o.startOnBox ? " and insert the card box or press the foot pedal" : " and press the foot pedal";
    if (op.Interactive()) prompt += " (or Enter)";
    op.Say(prompt);
    op.PutInBoard(n, board, true);
    const std::uint64_t start = clock.NowMs();
    for (;;) {
        if (session.PollForStart()) return WaitEnd::Start;
        if (session.CloseRequested()) return WaitEnd::LinkLost;
        if (op.TypedLine() && op.Interactive()) return WaitEnd::Start;
        if (clock.NowMs() - start >= o.operatorTimeoutMs) return WaitEnd::TimedOut;
        clock.WaitUntilMs(clock.NowMs() + kPollMs);
    }
}

std::string MinutesText(std::uint64_t ms) {
    const std::uint64_t minutes = ms / 60000;
    if (minutes >= 1 && ms % 60000 == 0)
        return std::to_string(minutes) + (minutes == 1 ? " minute" : " minutes");
    return std::to_string(ms / 1000) + " seconds";
}

} // namespace

Answer RunDialogs::Message(const MessageRequest& request) {
    if (request.buttons == Buttons::YesNoCancel) return Answer::Cancel;
    ++shown_;
    std::string line = prefix_;
    if (!request.title.empty()) line += request.title + ": ";
    op_.Warn(line + PlainMessage(request.text));
    return request.buttons == Buttons::OkCancel ? Answer::Cancel : Answer::Ok;
}

std::string StepLine(const StepReport& r) {
    char time[32];
    std::snprintf(time, sizeof time, "%.1f", r.seconds);
    return "Board " + std::to_string(r.board) + ": " + PocketText(r.pocketCounts) + "  " + time + " s";
}

int RunDealing(const DealingRunOptions& o, MachineLink& link, Clock& clock, RunDialogs& dialogs,
               RunOperator& op) {
    const bool reading = o.mode == SessionMode::Read;
    const std::string& prefix = o.prefix;
    const char* const doneWord = reading ? "read" : "dealt";

    auto set = std::make_unique<BoardSet>();
    set->Reset();
    const FileOutcome in = LoadBoardSetFile(o.input, *set);
    if (!in.ok) {
        op.Warn(prefix + PlainMessage(in.error));
        return 1;
    }
    if (!set->exists()) {
        op.Warn(prefix + PlainMessage(MessageTemplate(MsgNoBoardSet)));
        return 1;
    }
    const int from = o.from.value_or(set->firstBoard);
    const int to = o.to.value_or(set->lastBoard);
    if (from < set->firstBoard || to > set->lastBoard || from > to) {
        op.Warn(prefix + "the boards " + std::to_string(from) + " to " + std::to_string(to) +
                " are not within the set's boards " + std::to_string(set->firstBoard) + " to " +
                std::to_string(set->lastBoard));
        return 1;
    }
    // Reading never overwrites a deal unasked: boards that hold cards are named before anything is sent.
    if (reading && !o.replace) {
        std::vector<int> filled;
        for (int n = from; n <= to; ++n) {
            if ((*set)[n].status != kBoardEmpty) filled.push_back(n);
        }
        if (!filled.empty()) {
            op.Warn(prefix + (filled.size() == 1 ? "board " : "boards ") + BoardList(filled) +
                    (filled.size() == 1 ? " holds" : " hold") +
                    " cards and would be replaced by the boards read; nothing was read (--replace reads "
                    "them anyway)");
            return 1;
        }
    }

    link.Open(kLinkTimeoutMs);
    if (!link.IsOpen()) {
        if (dialogs.Shown() == 0) op.Warn(prefix + "no machine found (" + o.machineName + ")");
        return 2;
    }

    SessionOptions options;
    options.readMode = o.readMode;
    options.startFromBox = o.startOnBox;
    options.card.national =
        o.national >= 1 && o.national <= kNationalSets ? o.national - 1 : kNationalStandard;
    options.card.checkBoard = o.checkBoard;
    options.readIntoFilledBoards = o.replace;
    RunView view(clock, op, o.operatorTimeoutMs);
    DealingSession session(o.mode, options, *set, link, clock, dialogs, view);

    session.Load();
    view.Wait(kStartupDelayMs);
    session.StartupExchange();

    int status = 0;
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
    if (status == 0 && o.checkBoard && !session.Display().options.checkBoard) {
        op.Warn(prefix + "warning: the machine cannot check board numbers (" +
                ((link.State().optionWord & static_cast<std::int32_t>(kOptionBoardReader)) != 0
                     ? "firmware " + FirmwareText(link.State().firmwareMajor, link.State().firmwareMinor) +
                           " is older than 2.40"
                     : "no board-number reader") +
                "); the boards are not checked");
    }

    int done = 0;
    for (int n = from; n <= to && status == 0; ++n) {
        session.GoToBoard(n);
        view.board = n;
        const bool waiting = n != from || o.waitFirst;
        if (!waiting) {
            op.PutInBoard(n, (*set)[n], false);
        } else {
            const WaitEnd end = WaitForOperator(session, clock, op, n, (*set)[n], o);
            if (end == WaitEnd::LinkLost) {
                op.Warn(prefix + "the link was lost while waiting for board " + std::to_string(n) +
                        "; no board was interrupted");
                status = 2;
                break;
            }
            if (end == WaitEnd::TimedOut) {
                op.Warn(prefix + "nobody started board " + std::to_string(n) + " within " +
                        MinutesText(o.operatorTimeoutMs) + "; the run stops here");
                status = 2;
                break;
            }
        }
        session.DealCommand();
        const StepReport& r = session.LastStep();
        const std::string board = "board " + std::to_string(n);
        switch (r.outcome) {
        case StepOutcome::Completed:
            ++done;
            op.Say(StepLine(r));
            break;
        case StepOutcome::NotDone:
            status = 1;
            if (reading) {
                const std::string why =
                    !r.readResultReceived
                        ? "the machine sent no read result"
                        : "the cards read give " + SeatText(r.cardsRead) +
                              (r.cardsRead[0] > 0 ? " and " + std::to_string(r.cardsRead[0]) + " cards none"
                                                  : "");
                op.Say(StepLine(r) + "  NOT read");
                std::string line = prefix;
                line.append(board)
                    .append(" was NOT read: ")
                    .append(why)
                    .append("; the board is left as it was");
                op.Warn(line);
            } else {
                op.Say(StepLine(r) + "  NOT dealt");
                op.Warn(prefix + board + " was NOT dealt: the pockets hold " + PocketText(r.pocketCounts) +
                        ", not 13 cards each");
            }
            break;
        case StepOutcome::Cancelled:
            status = view.TimedOut() ? 2 : 1;
            if (r.errorShown)
                op.Warn(prefix + board + ": " + PlainMessage(r.error.text) + " (" + r.error.codeText + ")");
            op.Warn(prefix + board + " was NOT " + doneWord +
                    (reading ? "; the board is left as it was"
                             : " (the pockets hold " + PocketText(r.pocketCounts) + ")"));
            if (view.TimedOut())
                op.Warn(prefix + "nobody answered within " + MinutesText(o.operatorTimeoutMs) +
                        "; the run stops here");
            break;
        case StepOutcome::LinkLost:
            status = 2;
            op.Warn(prefix + board + " was interrupted by the lost link: it was NOT " + doneWord +
                    (reading ? " and is left as it was" : " completely"));
            break;
        case StepOutcome::Refused:
        case StepOutcome::None:
            status = 1; // the refusal has been shown
            break;
        }
    }
    if (!session.CloseRequested()) session.ExitCommand();
    session.Unload();

    op.Say(std::string(reading ? "Boards read: " : "Boards dealt: ") + std::to_string(done));
    if (reading && done > 0) {
        // The boards read so far are saved, also when the run stopped early. Every board read in this run
        // is complete, so a board the savers call incomplete is one the input file already had so.
        const FileOutcome out = SaveBoardSetFile(o.output, *set);
        for (const std::string& question : out.warnings)
            op.Warn(prefix + "warning: " + PlainMessage(question) + "\n(answered Yes: those boards are as " +
                    o.input + " had them)");
        if (!out.ok) {
            op.Warn(prefix + PlainMessage(out.error));
            return status == 0 ? 1 : status;
        }
        op.Say("Saved: " + o.output);
    }
    return status;
}

} // namespace orvenix
