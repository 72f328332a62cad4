// The terminal dealing and reading run on the emulated machine, in virtual time: the operator hand-over
// between boards, boards the machine did not deal or read, reading that never destroys a deal, lost links,
// and the error dialog asked on a terminal.
#include "dealing/dealing_run.h"

#include "formats/frame.h"
#include "machine/emulated_si.h"
#include "support/board_set_samples.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>

namespace orvenix {
namespace {

// The operator: records every line, and lets a test act when a board is to be put in and at every poll of
// a wait (TypedLine is asked every 100 ms).
class ScriptedOperator : public RunOperator {
  public:
    void Say(const std::string& line) override { out.push_back(line); }
    void Warn(const std::string& line) override { err.push_back(line); }
    [[nodiscard]] bool Interactive() const override { return interactive; }
    std::optional<std::string> TypedLine() override { return onPoll ? onPoll(++polls) : std::nullopt; }
    void PutInBoard(int n, const Board&, bool waiting) override {
        polls = 0;
        onPutIn(n, waiting);
    }

    bool interactive = false;
    int polls = 0;
    std::function<void(int, bool)> onPutIn;
    std::function<std::optional<std::string>(int)> onPoll;
    std::vector<std::string> out;
    std::vector<std::string> err;
};

bool Has(const std::vector<std::string>& lines, const std::string& text) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.find(text) != std::string::npos; });
}

// The deal the operator puts in for reading board n.
Board ReadDeal(int n) {
    return test::RandomSet(n, n, 100 + static_cast<std::uint32_t>(n))[n];
}

class DealingRunTest : public ::testing::Test {
  protected:
    DealingRunTest() {
        EmulatorConfig config;
        config.cardIntervalMs = 20;
        auto si = std::make_unique<EmulatedSi>(std::make_unique<VirtualClock>(), config);
        emulated = si.get();
        link = std::make_unique<MachineLink>(std::move(si), dialogs);
        options.input = dir.File("in.pbn");
        options.output = dir.File("out.pbn");
        options.machineName = "emulated";
        options.prefix = "run: ";
        // By default the operator puts in each board (with its stack for reading) and presses the pedal.
        op.onPutIn = [this](int n, bool) { PutIn(n); };
    }
    EmulatedMachine& Machine() { return emulated->Machine(); }
    VirtualClock& Clock() { return static_cast<VirtualClock&>(emulated->GetClock()); }
    void PutIn(int n, bool pedal = true, std::size_t cards = kCards) {
        Machine().InsertBoard(n);
        auto stack = StackForDeal(ReadDeal(n), ReadMode::SimulateHandDealing, DealerOf(n));
        stack.resize(cards);
        Machine().PutReadStack(stack);
        if (pedal) Machine().PressPedal();
    }
    void WriteInput(const BoardSet& set) { ASSERT_TRUE(SaveBoardSetFile(options.input, set).ok); }
    void ReadInto(int first, int last) {
        options.mode = SessionMode::Read;
        BoardSet set = test::RandomSet(first, last);
        for (int n = first; n <= last; ++n)
            ClearBoard(set, n);
        set.Renumber();
        WriteInput(set);
    }
    int Run() { return RunDealing(options, *link, Clock(), dialogs, op); }
    // Status polls before each deal or read command, since the command before it.
    std::vector<int> PollsBeforeSteps() {
        std::vector<int> out;
        int polls = 0;
        for (const auto& [p, size] : Machine().Commands()) {
            if (p[0] == cmd::kDeal || p[0] == cmd::kRead) out.push_back(std::exchange(polls, 0));
            polls += p[0] == cmd::kStatus ? 1 : 0;
        }
        return out;
    }
    BoardSet Saved() {
        BoardSet set;
        EXPECT_TRUE(LoadBoardSetFile(options.output, set).ok);
        return set;
    }

    test::TempDir dir;
    ScriptedOperator op;
    RunDialogs dialogs{op, "run: "};
    EmulatedSi* emulated = nullptr;
    std::unique_ptr<MachineLink> link;
    DealingRunOptions options;
};

// ---- The operator hand-over -----------------------------------------------------------------------------

enum class Starter { None, Pedal, Box, Enter };

// The starter acts 1.2 s into each wait: past the ten quiet polls the card box needs after its reset.
using StartCase = std::tuple<const char*, Starter, bool, bool, bool, bool, int>;

class StartTest : public DealingRunTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartTest, EachBoardWaitsUntilTheOperatorStartsIt) {
    const auto& [name, starter, startOnBox, interactive, waitFirst, pressBeforeRun, status] = GetParam();
    WriteInput(test::RandomSet(1, 2));
    options.startOnBox = startOnBox;
    options.waitFirst = waitFirst;
    options.operatorTimeoutMs = 3000;
    op.interactive = interactive;
    op.onPutIn = [this](int n, bool) {
        Machine().InsertBoard(n);
        Machine().RemoveBox(); // the box of the last board comes out
    };
    op.onPoll = [&](int poll) -> std::optional<std::string> {
        if (poll == 12 && starter == Starter::Pedal) Machine().PressPedal();
        if (poll == 12 && starter == Starter::Box) Machine().InsertBox();
        return poll == 12 && starter == Starter::Enter ? std::optional<std::string>("") : std::nullopt;
    };
    if (pressBeforeRun) Machine().PressPedal();
    const std::uint64_t start = Clock().NowMs();
    EXPECT_EQ(Run(), status);
    if (status != 0) {
        EXPECT_TRUE(PollsBeforeSteps().empty());
        EXPECT_GE(Clock().NowMs() - start, 3000u);
        EXPECT_TRUE(Has(op.err, "run: nobody started board 1 within 3 seconds"));
        EXPECT_EQ(op.out.back(), "Boards dealt: 0");
        return;
    }
    const auto polls = PollsBeforeSteps();
    ASSERT_EQ(polls.size(), 2u);
    EXPECT_TRUE(waitFirst ? polls[0] >= 12 : polls[0] == 0) << polls[0];
    EXPECT_GE(polls[1], 12);
    EXPECT_EQ(Has(op.out, "Put in board 1"), waitFirst);
    EXPECT_TRUE(Has(op.out, "Put in board 2"));
    EXPECT_EQ(op.out.back(), "Boards dealt: 2");
    EXPECT_TRUE(op.err.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Starters, StartTest,
    ::testing::Values(StartCase{"Pedal", Starter::Pedal, false, false, true, false, 0},
                      StartCase{"Box", Starter::Box, true, false, true, false, 0},
                      StartCase{"Enter", Starter::Enter, false, true, true, false, 0},
                      StartCase{"NoWaitFirst", Starter::Pedal, false, false, false, false, 0},
                      StartCase{"BoxNotAsked", Starter::Box, false, false, true, false, 2},
                      StartCase{"EnterNoTerminal", Starter::Enter, false, false, true, false, 2},
                      StartCase{"PressBeforePrompt", Starter::None, false, false, true, true, 2}),
    [](const auto& info) { return std::string(std::get<0>(info.param)); });

// ---- Boards not read ----------------------------------------------------------------------------------

enum class BadRead { ShortStack, StatusInsteadOfResult, NothingRead };

class BadReadTest : public DealingRunTest, public ::testing::WithParamInterface<BadRead> {};

TEST_P(BadReadTest, ABoardNotReadWholeStopsTheRunAndTheBoardsBeforeItAreSaved) {
    ReadInto(1, 3);
    op.onPutIn = [&](int n, bool) {
        PutIn(n, false, n == 2 && GetParam() == BadRead::ShortStack ? 50 : kCards);
        if (n == 2 && GetParam() == BadRead::StatusInsteadOfResult)
            Machine().InjectWireFault(WireFault::WrongReply, 1, cmd::kReadResult);
        if (n == 2 && GetParam() == BadRead::NothingRead) Machine().InjectIdleStep();
        Machine().PressPedal();
    };
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(PollsBeforeSteps().size(), 2u); // board 3 is never started
    EXPECT_TRUE(Has(op.out, "NOT read"));
    EXPECT_TRUE(Has(op.err, "run: board 2 was NOT read: "));
    EXPECT_TRUE(Has(op.out, "Boards read: 1"));
    const BoardSet saved = Saved();
    EXPECT_EQ(saved[1].cardOwner, ReadDeal(1).cardOwner);
    EXPECT_EQ(saved[2].status, kBoardEmpty);
    EXPECT_EQ(saved[3].status, kBoardEmpty);
}

INSTANTIATE_TEST_SUITE_P(Faults, BadReadTest,
                         ::testing::Values(BadRead::ShortStack, BadRead::StatusInsteadOfResult,
                                           BadRead::NothingRead));

// ---- Lost link and no machine ---------------------------------------------------------------------------

TEST_F(DealingRunTest, ReplaceReadsIntoFullBoardsAndALostLinkLeavesTheRestAsTheyWere) {
    options.mode = SessionMode::Read;
    options.replace = true;
    const BoardSet input = test::RandomSet(1, 4);
    WriteInput(input);
    op.onPutIn = [this](int n, bool) {
        PutIn(n);
        // Board 3's read result never arrives, neither the first time nor when asked again.
        if (n == 3) Machine().InjectWireFault(WireFault::NoReply, 2, cmd::kReadResult);
    };
    EXPECT_EQ(Run(), 2);
    EXPECT_TRUE(
        Has(op.err, "run: board 3 was interrupted by the lost link: it was NOT read and is left as it was"));
    EXPECT_TRUE(Has(op.out, "Boards read: 2"));
    const BoardSet saved = Saved();
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(saved[n].cardOwner, n <= 2 ? ReadDeal(n).cardOwner : input[n].cardOwner) << n;
}

TEST_F(DealingRunTest, NoMachineAttachedEndsWithStatus2BeforeAnyBoard) {
    WriteInput(test::RandomSet(1, 2));
    EmulatedBridge none;
    none.products.clear();
    auto si = std::make_unique<EmulatedSi>(std::make_unique<VirtualClock>(), EmulatorConfig{}, none);
    orvenix::Clock& time = si->GetClock();
    MachineLink absent(std::move(si), dialogs);
    EXPECT_EQ(RunDealing(options, absent, time, dialogs, op), 2);
    EXPECT_TRUE(Has(op.err, "run: no machine found (emulated)"));
    EXPECT_TRUE(op.out.empty());
}

// ---- The error dialog on a terminal -------------------------------------------------------------------

// Whether there is a terminal, what is typed (nullptr: the pedal answers) and the exit status.
using DialogCase = std::tuple<const char*, bool, const char*, int>;

class ErrorDialogTest : public DealingRunTest, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(ErrorDialogTest, ARecoverableMachineErrorIsAskedOnATerminal) {
    const auto& [name, interactive, typed, status] = GetParam();
    WriteInput(test::RandomSet(1, 1));
    op.interactive = interactive;
    op.onPutIn = [this](int n, bool) {
        Machine().InjectError(1, 20); // "Card did not go to S": Continue or Cancel
        PutIn(n);
    };
    bool asked = false;
    op.onPoll = [&](int) -> std::optional<std::string> {
        if (!Has(op.out, "Type c for Continue, x for Cancel")) return std::nullopt; // not yet in the dialog
        asked = true;
        if (typed == nullptr) Machine().PressPedal();
        return typed != nullptr ? std::optional<std::string>(typed) : std::nullopt;
    };
    EXPECT_EQ(Run(), status);
    EXPECT_EQ(asked, interactive);
    EXPECT_EQ(Machine().BoardsDealt(), status == 0 ? 1u : 0u);
    EXPECT_EQ(Has(op.err, "run: board 1: Card did not go to S (Error Code: 1)"), status != 0);
    EXPECT_EQ(Has(op.err, "run: board 1 was NOT dealt (the pockets hold"), status != 0);
}

INSTANTIATE_TEST_SUITE_P(Answers, ErrorDialogTest,
                         ::testing::Values(DialogCase{"ContinueTyped", true, "c", 0},
                                           DialogCase{"CancelTyped", true, "x", 1},
                                           DialogCase{"Pedal", true, nullptr, 0},
                                           DialogCase{"NobodyToAsk", false, "c", 1}),
                         [](const auto& info) { return std::string(std::get<0>(info.param)); });

} // namespace
} // namespace orvenix
