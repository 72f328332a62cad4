// The terminal dealing and reading run on the emulated machine, in virtual time: the operator hand-over
// between boards, boards the machine did not read, reading that never destroys a deal, lost links, and the
// error dialog asked on a terminal.
#include "dealing/dealing_run.h"

#include "formats/frame.h"
#include "machine/emulated_si.h"
#include "support/board_set_samples.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace orvenix {
namespace {

// The deal the operator puts in for reading board n.
Board ReadDeal(int n) {
    return test::RandomSet(n, n, 100 + static_cast<std::uint32_t>(n))[n];
}

// The operator and the emulated machine of one run. The operator's lines are kept one after the other; a
// test acts when a board is to be put in and at every poll of a wait (TypedLine is asked every 100 ms). By
// default the operator puts in each board (with its stack for reading) and presses the pedal.
class TerminalRun : public RunOperator {
  public:
    explicit TerminalRun(bool attached = true) {
        const EmulatorConfig config{.cardIntervalMs = 20};
        EmulatedBridge bridge;
        if (!attached) bridge.products.clear(); // no machine on the bridge
        auto si = std::make_unique<EmulatedSi>(std::make_unique<VirtualClock>(), config, bridge);
        emulated = si.get();
        link = std::make_unique<MachineLink>(std::move(si), dialogs);
        options.input = dir.File("in.pbn");
        options.output = dir.File("out.pbn");
        options.operatorTimeoutMs = 3000;
        options.prefix = "run: ";
    }
    void Say(const std::string& line) override { out += line + "\n"; }
    void Warn(const std::string& line) override { err += line + "\n"; }
    [[nodiscard]] bool Interactive() const override { return interactive; }
    std::optional<std::string> TypedLine() override { return onPoll ? onPoll(++polls) : std::nullopt; }
    void PutInBoard(int n, const Board&, bool) override {
        polls = 0;
        onPutIn ? onPutIn(n) : PutIn(n);
    }

    EmulatedMachine& Machine() { return emulated->Machine(); }
    void PutIn(int n, std::size_t cards = kCards) {
        Machine().InsertBoard(n);
        auto stack = StackForDeal(ReadDeal(n), ReadMode::SimulateHandDealing, DealerOf(n));
        stack.resize(cards);
        Machine().PutReadStack(stack);
        Machine().PressPedal();
    }
    void WriteInput(const BoardSet& set) { ASSERT_TRUE(SaveBoardSetFile(options.input, set).ok); }
    int Start() { return RunDealing(options, *link, emulated->GetClock(), dialogs, *this); }
    bool Said(const std::string& text) const { return out.find(text) != std::string::npos; }
    bool Warned(const std::string& text) const { return err.find(text) != std::string::npos; }

    bool interactive = false;
    int polls = 0;
    std::function<void(int)> onPutIn;
    std::function<std::optional<std::string>(int)> onPoll;
    std::string out, err;
    test::TempDir dir;
    RunDialogs dialogs{*this, "run: "};
    EmulatedSi* emulated = nullptr;
    std::unique_ptr<MachineLink> link;
    DealingRunOptions options;
};

// ---- The operator hand-over -----------------------------------------------------------------------------

TEST(DealingRun, EachBoardWaitsUntilTheOperatorStartsIt) {
    enum Starter { Early, Box, Enter };
    // The starter acts at this poll of each wait; the card box starts a step only after ten quiet polls since
    // it came out. Then whether the box may start, a terminal, and the status. A pedal press from before the
    // prompt is forgotten.
    const std::tuple<Starter, int, bool, bool, int> cases[] = {
        {Box, 10, true, false, 0},  {Box, 9, true, false, 2},     {Enter, 12, false, true, 0},
        {Box, 12, false, false, 2}, {Enter, 12, false, false, 2}, {Early, 0, false, false, 2}};
    for (const auto& [starter, at, startOnBox, interactive, status] : cases) {
        SCOPED_TRACE(testing::Message() << starter << at << startOnBox << interactive);
        TerminalRun r;
        r.WriteInput(test::RandomSet(1, 2));
        r.options.startOnBox = startOnBox;
        r.interactive = interactive;
        r.onPutIn = [&r](int n) {
            r.Machine().InsertBoard(n);
            r.Machine().RemoveBox(); // the box of the last board comes out
        };
        r.onPoll = [&](int poll) -> std::optional<std::string> {
            if (poll == at && starter == Box) r.Machine().InsertBox();
            return poll == at && starter == Enter ? std::optional<std::string>("") : std::nullopt;
        };
        if (starter == Early) r.Machine().PressPedal();
        EXPECT_EQ(r.Start(), status);
        EXPECT_EQ(
            std::tuple(r.Said("Put in board 2"), r.Said("Boards dealt: 2"), r.err),
            std::tuple(status == 0, status == 0,
                       status ? "run: nobody started board 1 within 3 seconds; the run stops here\n" : ""));
    }
}

// ---- Boards not read and a lost link -----------------------------------------------------------------

TEST(DealingRun, ReadingStopsAtABoardNotReadWholeAndSavesOnlyTheBoardsReadBeforeIt) {
    // Cards in board 2's stack, a fault on its read result (how often), the exit status and why.
    using enum WireFault;
    const std::tuple<std::size_t, WireFault, int, int, std::string> cases[] = {
        {50, NoReply, 0, 1, "NOT read: the cards read give N 13 E 13 S 12 W 12 and 2 cards none"},
        {kCards, WrongReply, 1, 1, "NOT read: the machine sent no read result"},
        {kCards, NoReply, 2, 2, "interrupted by the lost link: it was NOT read and is left as it was"}};
    for (const auto& [cards, fault, faults, status, why] : cases) {
        SCOPED_TRACE(why);
        TerminalRun r;
        r.options.mode = SessionMode::Read;
        r.options.replace = true;
        const BoardSet input = test::RandomSet(1, 3);
        r.WriteInput(input);
        r.onPutIn = [&](int n) {
            r.PutIn(n, n == 2 ? cards : kCards);
            if (n == 2 && faults > 0) r.Machine().InjectWireFault(fault, faults, cmd::kReadResult);
        };
        EXPECT_EQ(r.Start(), status);
        EXPECT_TRUE(r.Said("Boards read: 1") && !r.Said("board 3") && r.Said("NOT read") == (status == 1));
        EXPECT_TRUE(r.Warned("run: board 2 was " + why)) << r.err;
        BoardSet saved; // board 1 read as the cards were dealt by hand
        ASSERT_TRUE(LoadBoardSetFile(r.options.output, saved).ok);
        for (int n = 1; n <= 3; ++n)
            EXPECT_EQ(saved[n].cardOwner, n == 1 ? ReadDeal(n).cardOwner : input[n].cardOwner) << n;
    }
}

TEST(DealingRun, NoMachineAttachedEndsWithStatus2BeforeAnyBoard) {
    TerminalRun r(false);
    r.WriteInput(test::RandomSet(1, 2));
    EXPECT_EQ(r.Start(), 2);
    EXPECT_EQ(std::tuple(r.err, r.out), std::tuple("run: no machine found (serial)\n", ""));
}

// ---- The error dialog on a terminal -------------------------------------------------------------------

TEST(DealingRun, ARecoverableMachineErrorIsAskedOnATerminal) {
    // Whether there is a terminal, what is typed and the exit status.
    const std::tuple<bool, const char*, int> cases[] = {{true, "c", 0}, {true, "x", 1}, {false, "c", 1}};
    for (const auto& [interactive, typed, status] : cases) {
        TerminalRun r;
        r.WriteInput(test::RandomSet(1, 1));
        r.interactive = interactive;
        r.Machine().InjectError(1, 20); // "Card did not go to S": Continue or Cancel
        r.onPoll = [&](int) { return std::optional<std::string>(typed); }; // at the prompt and in the dialog
        EXPECT_EQ(r.Start(), status);
        EXPECT_EQ(std::tuple(r.Said("Type c for Continue, x for Cancel"), r.Machine().BoardsDealt(),
                             r.Warned("run: board 1: Card did not go to S (Error Code: 1)")),
                  std::tuple(interactive, status == 0 ? 1u : 0u, status != 0));
    }
}

} // namespace
} // namespace orvenix
