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

namespace orvenix {
namespace {

using test::TempDir;

// The operator: records every line, and lets a test act when a board is to be put in and at every poll of
// a wait (TypedLine is asked every 100 ms).
class ScriptedOperator : public RunOperator {
  public:
    void Say(const std::string& line) override { out.push_back(line); }
    void Warn(const std::string& line) override { err.push_back(line); }
    [[nodiscard]] bool Interactive() const override { return interactive; }
    std::optional<std::string> TypedLine() override {
        ++polls;
        return onPoll ? onPoll(board, polls) : std::nullopt;
    }
    void PutInBoard(int n, const Board&, bool waiting) override {
        board = n;
        polls = 0;
        if (onPutIn) onPutIn(n, waiting);
    }

    bool interactive = false;
    int board = 0;
    int polls = 0;
    std::function<void(int, bool)> onPutIn;
    std::function<std::optional<std::string>(int, int)> onPoll;
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
        op.onPutIn = [this](int n, bool waiting) {
            Machine().InsertBoard(n);
            PutStack(n);
            if (waiting) Machine().PressPedal();
        };
    }
    EmulatedMachine& Machine() { return emulated->Machine(); }
    VirtualClock& Clock() { return static_cast<VirtualClock&>(emulated->GetClock()); }
    void PutStack(int n) {
        Machine().PutReadStack(StackForDeal(ReadDeal(n), ReadMode::SimulateHandDealing, DealerOf(n)));
    }
    void WriteInput(const BoardSet& set) { ASSERT_TRUE(SaveBoardSetFile(options.input, set).ok); }
    void WriteEmptyInput(int first, int last) {
        BoardSet set;
        set.firstBoard = static_cast<std::int16_t>(first);
        set.lastBoard = static_cast<std::int16_t>(last);
        set.Renumber();
        WriteInput(set);
    }
    int Run() { return RunDealing(options, *link, Clock(), dialogs, op); }
    int StepCommands() {
        return static_cast<int>(
            std::count_if(Machine().Commands().begin(), Machine().Commands().end(), [](const auto& c) {
                return c.first[0] == cmd::kDeal || c.first[0] == cmd::kRead;
            }));
    }
    // Status polls between the n-th step command and the one before it (n from 1).
    int PollsBeforeStep(int n) {
        int polls = 0;
        int steps = 0;
        for (const auto& [p, size] : Machine().Commands()) {
            if (p[0] == cmd::kDeal || p[0] == cmd::kRead) {
                if (++steps == n) return polls;
                polls = 0;
            } else if (p[0] == cmd::kStatus) {
                ++polls;
            }
        }
        return -1;
    }
    BoardSet Saved() {
        BoardSet set;
        EXPECT_TRUE(LoadBoardSetFile(options.output, set).ok);
        return set;
    }

    TempDir dir;
    ScriptedOperator op;
    RunDialogs dialogs{op, "run: "};
    EmulatedSi* emulated = nullptr;
    std::unique_ptr<MachineLink> link;
    DealingRunOptions options;
};

// ---- The operator hand-over -----------------------------------------------------------------------------

enum class Starter { None, Pedal, Box, Enter };

struct StartCase {
    const char* name;
    Starter starter; // acts 1.2 s into each wait: past the ten quiet polls the card box needs after its reset
    bool startOnBox;
    bool interactive;
    bool waitFirst;
    bool pressBeforeRun;
    int status;
};

class StartTest : public DealingRunTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartTest, EachBoardWaitsUntilTheOperatorStartsIt) {
    const StartCase& c = GetParam();
    WriteInput(test::RandomSet(1, 2));
    options.startOnBox = c.startOnBox;
    options.waitFirst = c.waitFirst;
    options.operatorTimeoutMs = 3000;
    op.interactive = c.interactive;
    op.onPutIn = [this](int n, bool) {
        Machine().InsertBoard(n);
        Machine().RemoveBox(); // the box of the last board comes out
    };
    op.onPoll = [&](int, int poll) -> std::optional<std::string> {
        if (poll != 12) return std::nullopt;
        if (c.starter == Starter::Pedal) Machine().PressPedal();
        if (c.starter == Starter::Box) Machine().InsertBox();
        return c.starter == Starter::Enter ? std::optional<std::string>("") : std::nullopt;
    };
    if (c.pressBeforeRun) Machine().PressPedal();
    const std::uint64_t start = Clock().NowMs();
    EXPECT_EQ(Run(), c.status);
    if (c.status != 0) {
        EXPECT_EQ(StepCommands(), 0);
        EXPECT_GE(Clock().NowMs() - start, 3000u);
        EXPECT_TRUE(Has(op.err, "run: nobody started board 1 within 3 seconds"));
        EXPECT_EQ(op.out.back(), "Boards dealt: 0");
        return;
    }
    for (int n : {1, 2}) {
        const bool waited = n == 2 || c.waitFirst;
        EXPECT_GE(PollsBeforeStep(n), waited ? 12 : 0) << "board " << n;
        EXPECT_EQ(Has(op.out, "Put in board " + std::to_string(n)), waited) << "board " << n;
    }
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
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DealingRunTest, TheBoardNumberIsStillCheckedAfterThePedal) {
    WriteInput(test::RandomSet(1, 2));
    options.checkBoard = true;
    op.onPutIn = [this](int, bool) {
        Machine().InsertBoard(1); // board 1 stays in the machine
        Machine().PressPedal();
    };
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(Machine().BoardsDealt(), 1u);
    EXPECT_TRUE(Has(op.err, "Expected board no: 2  -  Inserted board no: 1 (Error Code: 65)"));
}

// ---- Boards the machine did not deal ----------------------------------------------------------------------

enum class Misdeal { StrayCard, NothingDealt };

class MisdealTest : public DealingRunTest, public ::testing::WithParamInterface<Misdeal> {};

TEST_P(MisdealTest, ABoardWithoutThirteenCardsInEachPocketIsNotDealtAndStopsTheRun) {
    const BoardSet set = test::RandomSet(1, 3);
    WriteInput(set);
    // The machine meets the cards in code order: card 7 drops into the pocket after its own.
    const PocketCode stray = static_cast<PocketCode>(SeatToPocket[set[2].cardOwner[7]] % 4 + 1);
    op.onPutIn = [&](int n, bool) {
        Machine().InsertBoard(n);
        if (n == 2 && GetParam() == Misdeal::StrayCard) Machine().InjectMisroute(7, stray);
        if (n == 2 && GetParam() == Misdeal::NothingDealt) Machine().InjectIdleStep();
        Machine().PressPedal();
    };
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(StepCommands(), 2); // board 3 is never started
    EXPECT_TRUE(Has(op.out, "Board 2: "));
    EXPECT_TRUE(Has(op.out, "NOT dealt"));
    EXPECT_TRUE(Has(op.err, "run: board 2 was NOT dealt: the pockets hold"));
    if (GetParam() == Misdeal::NothingDealt) {
        EXPECT_TRUE(Has(op.err, "N 0 E 0 S 0 W 0"));
    } else {
        EXPECT_TRUE(Has(op.err, "14") && Has(op.err, "12"));
    }
    EXPECT_EQ(op.out.back(), "Boards dealt: 1");
}

INSTANTIATE_TEST_SUITE_P(Misdeals, MisdealTest, ::testing::Values(Misdeal::StrayCard, Misdeal::NothingDealt));

// ---- Reading ----------------------------------------------------------------------------------------------

enum class BadRead { ShortStack, StatusInsteadOfResult, NothingRead };

class BadReadTest : public DealingRunTest, public ::testing::WithParamInterface<BadRead> {};

TEST_P(BadReadTest, ABoardNotReadWholeStaysAsItWasAndTheBoardsBeforeItAreSaved) {
    options.mode = SessionMode::Read;
    WriteEmptyInput(1, 3);
    op.onPutIn = [this](int n, bool) {
        Machine().InsertBoard(n);
        PutStack(n);
        if (n == 2) {
            switch (GetParam()) {
            case BadRead::ShortStack: {
                auto stack = StackForDeal(ReadDeal(n), ReadMode::SimulateHandDealing, DealerOf(n));
                stack.resize(50);
                Machine().PutReadStack(stack);
                break;
            }
            case BadRead::StatusInsteadOfResult:
                Machine().InjectWireFault(WireFault::WrongReply, 1, cmd::kReadResult);
                break;
            case BadRead::NothingRead:
                Machine().InjectIdleStep();
                break;
            }
        }
        Machine().PressPedal();
    };
    EXPECT_EQ(Run(), 1);
    EXPECT_TRUE(Has(op.out, "NOT read"));
    EXPECT_TRUE(Has(op.err, "run: board 2 was NOT read: "));
    EXPECT_TRUE(Has(op.out, "Boards read: 1"));
    // The incomplete-board question is about the input's own empty boards only.
    const BoardSet saved = Saved();
    EXPECT_EQ(saved[1].cardOwner, ReadDeal(1).cardOwner);
    EXPECT_EQ(saved[2].status, kBoardEmpty);
    EXPECT_EQ(saved[3].status, kBoardEmpty);
}

INSTANTIATE_TEST_SUITE_P(BadReads, BadReadTest,
                         ::testing::Values(BadRead::ShortStack, BadRead::StatusInsteadOfResult,
                                           BadRead::NothingRead));

TEST_F(DealingRunTest, ReadingRefusesBoardsThatHoldCardsBeforeTalkingToTheMachine) {
    options.mode = SessionMode::Read;
    BoardSet set = test::RandomSet(1, 8);
    for (int n : {1, 4, 8})
        ClearBoard(set, n);
    WriteInput(set);
    EXPECT_EQ(Run(), 1);
    EXPECT_TRUE(Has(op.err, "run: boards 2, 3, 5 to 7 hold cards"));
    EXPECT_FALSE(emulated->Opened());
    EXPECT_TRUE(Machine().Commands().empty());
    EXPECT_FALSE(std::filesystem::exists(options.output));
}

TEST_F(DealingRunTest, ReplaceReadsIntoFullBoardsAndALostLinkLeavesTheRestAsTheyWere) {
    options.mode = SessionMode::Read;
    options.replace = true;
    const BoardSet input = test::RandomSet(1, 4);
    WriteInput(input);
    op.onPutIn = [this](int n, bool) {
        Machine().InsertBoard(n);
        PutStack(n);
        // Board 3's read result never arrives, neither the first time nor on the retry.
        if (n == 3) Machine().InjectWireFault(WireFault::NoReply, 2, cmd::kReadResult);
        Machine().PressPedal();
    };
    EXPECT_EQ(Run(), 2);
    EXPECT_TRUE(
        Has(op.err, "run: board 3 was interrupted by the lost link: it was NOT read and is left as it was"));
    EXPECT_TRUE(Has(op.out, "Boards read: 2"));
    const BoardSet saved = Saved();
    for (int n : {1, 2})
        EXPECT_EQ(saved[n].cardOwner, ReadDeal(n).cardOwner) << n;
    for (int n : {3, 4})
        EXPECT_EQ(saved[n].cardOwner, input[n].cardOwner) << n;
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

TEST_F(DealingRunTest, ALinkLostBetweenBoardsInterruptsNoBoard) {
    WriteInput(test::RandomSet(1, 3));
    op.onPutIn = [this](int n, bool) {
        Machine().InsertBoard(n);
        if (n == 2) Machine().SetLinkLost(true);
        Machine().PressPedal();
    };
    EXPECT_EQ(Run(), 2);
    EXPECT_TRUE(Has(op.err, "run: the link was lost while waiting for board 2; no board was interrupted"));
    EXPECT_EQ(op.out.back(), "Boards dealt: 1");
}

// ---- The error dialog on a terminal -------------------------------------------------------------------

struct DialogCase {
    const char* name;
    bool interactive;
    const char* typed; // nullptr: the pedal answers
    int status;
};

class ErrorDialogTest : public DealingRunTest, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(ErrorDialogTest, ARecoverableMachineErrorIsAskedOnATerminal) {
    const DialogCase& c = GetParam();
    WriteInput(test::RandomSet(1, 1));
    op.interactive = c.interactive;
    op.onPutIn = [this](int n, bool) {
        Machine().InsertBoard(n);
        Machine().InjectError(1, 20); // "Card did not go to S": Continue or Cancel
        Machine().PressPedal();
    };
    bool asked = false;
    op.onPoll = [&](int, int) -> std::optional<std::string> {
        // Polls in the dialog come after its question.
        if (!Has(op.out, "Type c for Continue, x for Cancel")) return std::nullopt;
        asked = true;
        if (c.typed != nullptr) return std::string(c.typed);
        Machine().PressPedal();
        return std::nullopt;
    };
    EXPECT_EQ(Run(), c.status);
    EXPECT_EQ(asked, c.interactive);
    EXPECT_EQ(Machine().BoardsDealt(), c.status == 0 ? 1u : 0u);
    if (c.status != 0) {
        EXPECT_TRUE(Has(op.err, "run: board 1: Card did not go to S (Error Code: 1)"));
        EXPECT_TRUE(Has(op.err, "run: board 1 was NOT dealt (the pockets hold"));
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, ErrorDialogTest,
                         ::testing::Values(DialogCase{"ContinueTyped", true, "c", 0},
                                           DialogCase{"CancelTyped", true, "x", 1},
                                           DialogCase{"Pedal", true, nullptr, 0},
                                           DialogCase{"NobodyToAsk", false, "c", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace orvenix
