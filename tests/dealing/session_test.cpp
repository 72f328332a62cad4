// The dealing and reading session on the emulated machine, in virtual time.
#include "base/messages.h"
#include "support/board_set_samples.h"
#include "support/session_harness.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

using test::SessionHarness;
constexpr SessionMode kDeal = SessionMode::Deal;
constexpr SessionMode kRead = SessionMode::Read;

// Boards first..last with their standard number, dealer and vulnerability: dealt at random, or empty.
BoardSet MakeSet(int first, int last, bool dealt) {
    BoardSet set = test::RandomSet(first, last, 11);
    for (int n = first; n <= last && !dealt; ++n)
        ClearBoard(set, n);
    set.Renumber();
    set.fileName = "club.pbn";
    return set;
}

DealingSession& OpenSet(SessionHarness& h, SessionMode mode, int first, int last) {
    h.set = MakeSet(first, last, mode == kDeal);
    if (mode == kRead && !h.settings.values.contains(keys::kInitReadMode))
        h.settings.values[keys::kInitReadMode] = "1"; // played boards
    return h.Open(mode);
}

bool Enabled(SessionHarness& h, SessionControl c) {
    return h.session->Display().enabled[static_cast<std::size_t>(c)];
}

// True when the machine put every card of board where the board says.
bool DealtAsBoard(const EmulatedMachine& m, const Board& board) {
    for (int c = 1; c <= kCards; ++c) {
        const auto i = static_cast<std::size_t>(c);
        if (m.CardPockets()[i] != SeatToPocket[board.cardOwner[i]]) return false;
    }
    return true;
}

int CountsShown(const SessionDisplay& d) {
    int sum = 0;
    for (const CountLabel& label : d.counts)
        sum += label.count;
    return sum;
}

// The stack the operator puts in for a played board.
std::vector<CardCode> PlayedStack(const Board& deal) {
    return StackForDeal(deal, ReadMode::PlayedBoards, 1);
}

class SessionTest : public ::testing::Test {
  protected:
    SessionHarness h;
    DealingSession& Open(SessionMode mode, int first, int last) { return OpenSet(h, mode, first, last); }
    DealingSession& S() { return *h.session; }
    const SessionDisplay& D() { return h.session->Display(); }
    bool Enabled(SessionControl c) { return orvenix::Enabled(h, c); }
};

// ---- Opening and the start-up exchange -------------------------------------------------------------

TEST_F(SessionTest, OpeningTakesTheStoredChoicesAndOnlyExitWorksUntilTheStartUpExchange) {
    h.set = MakeSet(3, 6, false);
    h.set.currentBoard = 5;
    h.settings.values = {{keys::kInitStartFromBox, "1"}, {keys::kInitReadMode, "1"}, {keys::kNational, "7"}};
    DealingSession& s = h.Load(kRead);
    EXPECT_TRUE(D().clearVisible && D().readModesVisible && D().startFromBox && s.Trigger());
    EXPECT_EQ(std::tuple(h.set.currentBoard, D().readMode), std::tuple(3, ReadMode::PlayedBoards));
    EXPECT_EQ(D().options.national, kNationalStandard); // "7" is no choice
    EXPECT_TRUE(h.Machine().Latch());
    for (int c = 0; c < kSessionControlCount; ++c)
        EXPECT_EQ(D().enabled[static_cast<std::size_t>(c)], c == kCmdExit) << c;
    h.clock->Advance(2000);
    s.StartupExchange();
    EXPECT_TRUE(h.view.pollTimer);
    for (int c = 0; c < kSessionControlCount; ++c)
        EXPECT_EQ(D().enabled[static_cast<std::size_t>(c)],
                  c != kCmdFirst && c != kCmdPrev && c != kDealNext && c != kCmdClear && c != kCmdBreak)
            << c;
    EXPECT_EQ(D().picture.board, 3);
    h.Poll();
    EXPECT_EQ(D().stateText, "Idle");
}

TEST(SessionStartUp, TheMachineMustAnswerAndReadingNeedsFirmware224) {
    const std::tuple<SessionMode, std::uint8_t, int, CloseReason, std::string> cases[] = {
        {kDeal, 0x40, 4, CloseReason::NoMachineReply, MessageTemplate(MsgCannotCommunicatePower)}, // silent
        {kRead, 0x23, 2, CloseReason::ReadNeedsFirmware, FormatMessage(MsgReadNeedsFirmware, "2.23")},
        {kRead, 0x24, 1, CloseReason::None, ""},
        {kDeal, 0x10, 2, CloseReason::None, ""}};
    for (const auto& [mode, minor, last, close, message] : cases) {
        SCOPED_TRACE(minor);
        SessionHarness h(SessionHarness::Fast(minor));
        h.Machine().SetLinkLost(close == CloseReason::NoMachineReply);
        OpenSet(h, mode, 1, last);
        EXPECT_EQ(h.session->Closing(), close);
        EXPECT_EQ(h.view.pollTimer, close == CloseReason::None);
        EXPECT_EQ(h.view.closeRequests, close == CloseReason::None ? 0 : 1);
        EXPECT_EQ(h.dialogs.messages.empty() ? "" : h.dialogs.Last().text, message);
        if (close != CloseReason::None) continue;
        EXPECT_EQ(Enabled(h, kCmdNext), last > 1); // a one-board set has no next board
    }
}

// ---- Dealing ------------------------------------------------------------------------------------------

TEST_F(SessionTest, DealsAFourBoardSetToTheEndAndExits) {
    Open(kDeal, 1, 4);
    const BoardSet before = h.set;
    EXPECT_FALSE(D().clearVisible);
    std::vector<std::string> times; // of the first board
    int rounds = 0;
    h.view.onEvents = [&] {
        if (S().LastStep().board == 1 && (times.empty() || times.back() != D().dealTime))
            times.push_back(D().dealTime);
        EXPECT_TRUE(Enabled(kCmdBreak));
        EXPECT_FALSE(Enabled(kCmdDeal) || Enabled(kCmdExit) || Enabled(kCmdNext) || Enabled(kDealNext));
        EXPECT_FALSE(h.view.pollTimer);
        if (++rounds == 10) h.Machine().PressPedal(); // acknowledged by the step's polls
        // Calls that still arrive while the buttons are disabled are ignored.
        S().PollTick();
        S().DealNextCommand();
        S().ExitCommand();
    };
    h.Poll(3);
    EXPECT_TRUE(h.StepCommands().empty());
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        h.Machine().PressPedal(); // Deal next is off at first: the first press deals the current board
        h.Poll();
        EXPECT_EQ(std::tuple(S().LastStep().outcome, S().LastStep().board),
                  std::tuple(StepOutcome::Completed, n));
        EXPECT_TRUE(DealtAsBoard(h.Machine(), h.set[n]));
        EXPECT_EQ(D().dealTime, FormatDealTime(S().LastStep().seconds));
        for (const CountLabel& label : D().counts)
            EXPECT_EQ(label, (CountLabel{13, CountColour::Green}));
        EXPECT_EQ(Enabled(kDealNext), n < 4);
        EXPECT_EQ(h.dialogs.messages.size(), n < 4 ? 0u : 1u);
    }
    ASSERT_GT(times.size(), 5u); // the time went up in tenths of a second while the machine was busy
    for (std::size_t i = 2; i < times.size(); ++i)
        EXPECT_NEAR(std::stod(times[i]) - std::stod(times[i - 1]), 0.15, 0.1) << times[i];
    EXPECT_GE(std::stod(times.back()), 1.0);  // 52 cards at 20 ms
    EXPECT_EQ(h.dialogs.messages.size(), 1u); // the end-of-set question, answered Yes: back to board 1
    EXPECT_EQ(h.set.currentBoard, 1);
    EXPECT_FALSE(Enabled(kDealNext));
    h.view.onEvents = nullptr;
    h.Poll(3); // the pedal pressed during a step starts nothing after it
    // Each command carries the next sequence index, which wraps back to 0 after 3.
    const auto commands = h.StepCommands();
    ASSERT_EQ(commands.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(commands[i][3], i);
    EXPECT_EQ(S().SequenceIndex(), 0);
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(h.set[n], before[n]); // dealing changes nothing in the set but the current board
    EXPECT_FALSE(h.set.modified);
    S().ExitCommand();
    EXPECT_EQ(S().Closing(), CloseReason::Exit);
    EXPECT_FALSE(h.Machine().Latch() || h.view.pollTimer);
    S().Unload();
    EXPECT_FALSE(h.link->IsOpen());
}

TEST(SessionEndOfSet, TheLastBoardAsksWhatComesNext) {
    const std::tuple<SessionMode, Answer, int, int, bool> cases[] = {
        {kDeal, Answer::Yes, 1, 0, false},    {kDeal, Answer::No, 2, 0, true},
        {kDeal, Answer::Cancel, 2, 0, false}, {kRead, Answer::Yes, 2, 1, true},
        {kRead, Answer::No, 2, 0, true},      {kRead, Answer::Cancel, 2, 0, false}};
    for (const auto& [mode, answer, current, saves, closes] : cases) {
        SCOPED_TRACE(static_cast<int>(mode) * 10 + static_cast<int>(answer));
        SessionHarness h;
        OpenSet(h, mode, 1, 2).LastCommand();
        h.Machine().PutReadStack(PlayedStack(test::RandomSet(1, 1, 3)[1]));
        h.dialogs.QueueAnswer(answer);
        h.session->DealCommand();
        ASSERT_EQ(h.dialogs.messages.size(), 1u);
        EXPECT_EQ(h.dialogs.Last().text,
                  MessageTemplate(mode == kRead ? MsgDealtLastSave : MsgDealtLastMoveFirst));
        EXPECT_EQ(h.session->Closing(), closes ? CloseReason::EndOfSet : CloseReason::None);
        EXPECT_EQ(h.view.pollTimer, !closes);
        EXPECT_EQ(h.set.currentBoard, current);
        EXPECT_EQ(h.view.saves, saves);
    }
}

TEST(SessionRefusals, NothingIsSentForABoardThatCannotBeDealtOrRead) {
    enum Kind { Incomplete, HoldsCards, NationalTooNew };
    const std::string texts[] = {MessageTemplate(MsgBoardIncompleteCannotDeal),
                                 MessageTemplate(MsgBoardNotEmptyCannotRead),
                                 FormatMessage(MsgNationalNeedsFirmware, "2.26")};
    for (Kind kind : {Incomplete, HoldsCards, NationalTooNew}) {
        SCOPED_TRACE(kind);
        SessionHarness h(SessionHarness::Fast(kind == NationalTooNew ? 0x26 : 0x40));
        h.settings.values[keys::kNational] = kind == NationalTooNew ? "3" : "0";
        OpenSet(h, kind == HoldsCards ? kRead : kDeal, 1, 2);
        if (kind != NationalTooNew) h.set[1].cardOwner[5] = kind == HoldsCards ? 2 : 0;
        AnalyseBoard(h.set[1]);
        h.session->DealCommand();
        EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::Refused);
        ASSERT_EQ(h.dialogs.messages.size(), 1u);
        EXPECT_EQ(h.dialogs.Last().text, texts[kind]);
        EXPECT_EQ(h.dialogs.Last().title, kind == HoldsCards ? "Reading Error" : "Dealing Error");
        EXPECT_TRUE(h.StepCommands().empty());
        EXPECT_TRUE(h.view.pollTimer && Enabled(h, kCmdDeal));
    }
}

// ---- Navigation and the board drawing -------------------------------------------------------------------

TEST_F(SessionTest, NavigationStopsAtTheEndsAndDrawsEachBoard) {
    Open(kDeal, 1, 3);
    // North is a card short on board 2: the count shows it, in red.
    *std::find(h.set[2].cardOwner.begin() + 1, h.set[2].cardOwner.end(), Seat{1}) = 0;
    AnalyseBoard(h.set[2]);
    const std::pair<void (DealingSession::*)(), int> steps[] = {
        {&DealingSession::LastCommand, 3}, {&DealingSession::PrevCommand, 2},
        {&DealingSession::PrevCommand, 1}, {&DealingSession::PrevCommand, 1},
        {&DealingSession::NextCommand, 2}, {&DealingSession::NextCommand, 3},
        {&DealingSession::NextCommand, 3}, {&DealingSession::FirstCommand, 1}};
    for (const auto& [command, board] : steps) {
        (S().*command)();
        EXPECT_EQ(std::tuple(h.set.currentBoard, D().picture.board), std::tuple(board, board));
        EXPECT_EQ(D().counts[kCountNorth],
                  (CountLabel{board == 2 ? 12 : 13, board == 2 ? CountColour::Red : CountColour::Green}));
        const bool back = board > 1, on = board < 3;
        EXPECT_EQ((std::array{Enabled(kCmdFirst), Enabled(kCmdPrev), Enabled(kCmdNext), Enabled(kCmdLast),
                              Enabled(kDealNext)}),
                  (std::array{back, back, on, on, false}))
            << board;
    }
    S().NextCommand();
    S().DisplayBoardsCommand();
    std::size_t cards = 0;
    for (const auto& seat : D().picture.cards)
        for (const auto& suit : seat)
            cards += suit.size();
    EXPECT_EQ(cards, 51u);
    S().DisplayBoardsCommand();
    EXPECT_FALSE(D().picture.showHands);
}

// ---- The card box --------------------------------------------------------------------------------------

TEST(SessionCardBox, StartsAStepWhenTickedAndPutInTenQuietPollsAfterTheBoxCameOut) {
    const std::tuple<bool, int, bool> cases[] = {
        {false, 12, false}, {true, 1, false}, {true, 9, false}, {true, 10, true}};
    for (const auto& [ticked, quietPolls, starts] : cases) {
        SCOPED_TRACE(quietPolls);
        SessionHarness h;
        OpenSet(h, kDeal, 1, 3).StartFromBoxClicked(ticked);
        EXPECT_EQ(h.settings.values[keys::kInitStartFromBox], ticked ? "1" : "0");
        h.Poll(12);
        h.Machine().RemoveBox();
        h.Poll(quietPolls);
        h.Machine().InsertBox();
        h.Poll(2);
        EXPECT_EQ(h.StepCommands().size(), starts ? 1u : 0u);
    }
}

// ---- Machine errors and boards not dealt --------------------------------------------------------------

TEST(SessionMachineErrors, ContinueResendsTheBoardAndCancelLeavesItUndealt) {
    enum How { Continue, Pedal, Cancel, Break };
    // Code, at card, a second error found when the step continues at the same card, the answer, deal
    // commands sent and the outcome.
    const std::tuple<int, int, int, How, std::size_t, StepOutcome> cases[] = {
        {3, 20, 0, Continue, 2, StepOutcome::Completed},
        {30, 5, 0, Pedal, 2, StepOutcome::Completed},
        {12, 8, 0, Cancel, 1, StepOutcome::Cancelled}, // a jam: Cancel is the only button
        {1, 10, 2, Continue, 3, StepOutcome::Completed},
        {57, 0, 0, Break, 1, StepOutcome::Cancelled}};
    for (const auto& [code, atCard, again, how, sent, outcome] : cases) {
        SCOPED_TRACE(code);
        SessionHarness h;
        OpenSet(h, kDeal, 1, 3);
        int rounds = 0, shownInDialog = -1;
        h.view.onEvents = [&] {
            if (++rounds == 100 && how == Break) h.session->BreakCommand();
        };
        for (int e : {how == Break ? 0 : code, again})
            if (e != 0) h.Machine().InjectError(static_cast<std::uint8_t>(e), atCard);
        h.view.onErrorDialog = [&](ErrorDialog& d) {
            shownInDialog = CountsShown(h.session->Display()); // the machine's counts stay in view
            if (how == Continue) d.PressContinue();
            if (how == Pedal) h.Machine().PressPedal();
            d.Tick();
        };
        h.session->DealCommand();
        ASSERT_EQ(h.view.errorDialogs.size(), again != 0 ? 2u : 1u);
        EXPECT_EQ(h.view.errorDialogs[0].code, code);
        EXPECT_EQ(h.session->LastStep().outcome, outcome);
        const auto commands = h.StepCommands();
        ASSERT_EQ(commands.size(), sent);
        for (std::size_t i = 1; i < commands.size(); ++i) {
            EXPECT_EQ(commands[i][1], 1);              // continue the board
            EXPECT_EQ(commands[i][3], commands[0][3]); // the same sequence index and cards
            EXPECT_TRUE(
                std::equal(commands[0].begin() + 8, commands[0].begin() + 60, commands[i].begin() + 8));
        }
        EXPECT_EQ(Enabled(h, kDealNext), outcome == StepOutcome::Completed);
        if (how == Break) {
            EXPECT_EQ(h.Machine().CardPockets()[52], 0); // the last card never went out
            continue;
        }
        EXPECT_EQ(shownInDialog, atCard - 1);
        if (outcome == StepOutcome::Completed) {
            EXPECT_TRUE(DealtAsBoard(h.Machine(), h.set[1]));
            EXPECT_EQ(h.view.waitedMs, 300 * static_cast<int>(h.view.errorDialogs.size()));
        } else {
            // Not shown as dealt: the labels keep the cards the machine dealt, in red.
            EXPECT_EQ(CountsShown(h.session->Display()), atCard - 1);
            for (const CountLabel& label : h.session->Display().counts)
                EXPECT_EQ(label.colour, CountColour::Red);
        }
        h.Poll(3); // a pedal that answered the dialog starts nothing after the step
        EXPECT_EQ(h.StepCommands().size(), sent);
    }
}

TEST(SessionNotDone, ABoardTheMachineLeftShortIsNotDealt) {
    for (bool stray : {true, false}) {
        SessionHarness h;
        OpenSet(h, kDeal, 1, 2).LastCommand();
        // Card 5 drops into the pocket after its own and the machine does not notice, or nothing is dealt.
        if (stray)
            h.Machine().InjectMisroute(5,
                                       static_cast<PocketCode>(SeatToPocket[h.set[2].cardOwner[5]] % 4 + 1));
        else
            h.Machine().InjectIdleStep();
        h.session->DealCommand();
        EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::NotDone);
        EXPECT_TRUE(h.view.errorDialogs.empty());
        EXPECT_TRUE(h.dialogs.messages.empty()); // no "last board dealt" question
        EXPECT_FALSE(Enabled(h, kDealNext));
        EXPECT_TRUE(Enabled(h, kCmdDeal));
        const auto& counts = h.session->Display().counts;
        // One pocket with 14 cards and one with 12, or all empty.
        EXPECT_EQ(
            std::count_if(counts.begin(), counts.end(), [](auto l) { return l.colour == CountColour::Red; }),
            stray ? 2 : 4);
    }
}

TEST(SessionBoardCheck, TheLabelIsReadUpToSixTimesBeforeTheOperatorIsAsked) {
    enum How { None, Cancel, DealCurrent, PutRightBoardAndTryAgain, PedalThenCancel };
    // Board inserted (0: a label that is no board), the answer, error code, label reads, dialogs, dealt.
    const std::tuple<int, How, int, int, int, bool> cases[] = {{12, None, 0, 1, 0, true},
                                                               {7, Cancel, 65, 6, 1, false},
                                                               {0, DealCurrent, 64, 6, 1, true},
                                                               {11, PutRightBoardAndTryAgain, 65, 7, 1, true},
                                                               {3, PedalThenCancel, 65, 12, 2, false}};
    for (const auto& [inserted, how, code, labelReads, dialogs, dealt] : cases) {
        SCOPED_TRACE(how);
        SessionHarness h;
        h.settings.values[keys::kCheckBoard] = "1";
        OpenSet(h, kDeal, 1, 12).GoToBoard(12);
        h.Machine().SetBoardLabel(inserted == 0 ? 16 : BoardLabelCode(inserted)); // 16: one bit set
        h.view.onErrorDialog = [&](ErrorDialog& d) {
            if (how == DealCurrent) d.PressCancel2();
            if (how == PutRightBoardAndTryAgain) h.Machine().InsertBoard(12);
            if (how == PutRightBoardAndTryAgain) d.PressContinue();
            if (how == PedalThenCancel && h.view.errorDialogs.size() == 1) h.Machine().PressPedal();
            d.Tick();
        };
        h.session->DealCommand();
        ASSERT_EQ(h.view.errorDialogs.size(), static_cast<std::size_t>(dialogs));
        EXPECT_EQ(dialogs > 0 ? h.view.errorDialogs[0].code : 0, code);
        EXPECT_EQ(h.CommandCount(cmd::kSensors), labelReads);
        EXPECT_EQ(h.view.waitedMs, 600 * dialogs); // 100 ms before each read again
        EXPECT_EQ(h.StepCommands().size(), dealt ? 1u : 0u);
        EXPECT_EQ(h.session->LastStep().outcome, dealt ? StepOutcome::Completed : StepOutcome::Cancelled);
        EXPECT_EQ(h.session->SequenceIndex(), dealt ? 1 : 0);
        EXPECT_TRUE(h.view.pollTimer);
    }
}

// ---- Lost link ------------------------------------------------------------------------------------------

TEST(SessionLostLink, ClosesWithOneMessageAndLeavesTheSetAndTheLatchAlone) {
    // TwoFaultsInStep: the reply and the one asked again are both faulty, the link itself stays.
    enum Where { InStep, TwoFaultsInStep, InPoll, InErrorDialog };
    for (Where where : {InStep, TwoFaultsInStep, InPoll, InErrorDialog}) {
        SCOPED_TRACE(where);
        SessionHarness h;
        OpenSet(h, kDeal, 1, 3);
        const BoardSet before = h.set;
        int rounds = 0;
        h.view.onEvents = [&] {
            if (++rounds == 50 && where == InStep) h.Machine().SetLinkLost(true);
            if (rounds == 50 && where == TwoFaultsInStep)
                h.Machine().InjectWireFault(WireFault::BadChecksum, 2);
        };
        if (where == InErrorDialog) h.Machine().InjectError(4, 3);
        h.view.onErrorDialog = [&](ErrorDialog& d) {
            h.Machine().SetLinkLost(true);
            d.Tick();
            EXPECT_TRUE(d.Closed());
            EXPECT_EQ(h.dialogs.Last().text, kErrorDialogLostLinkText);
        };
        if (where == InPoll) {
            h.Machine().SetLinkLost(true);
            h.Poll();
            h.session->PollTick(); // the poll stays blocked while the window closes
        } else {
            h.session->DealCommand();
            EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::LinkLost);
        }
        EXPECT_EQ(h.session->Closing(), CloseReason::LinkLost);
        EXPECT_EQ(std::count_if(h.dialogs.messages.begin(), h.dialogs.messages.end(),
                                [](const MessageRequest& m) { return m.title == "Dealing Error"; }),
                  1);
        EXPECT_EQ(h.dialogs.Last().text, MessageTemplate(MsgLostCommunicationDealing));
        EXPECT_FALSE(h.view.pollTimer || h.session->StepRunning());
        for (int n = 1; n <= 3; ++n)
            EXPECT_EQ(h.set[n], before[n]);
        h.session->Unload();
        EXPECT_TRUE(h.Machine().Latch()); // a lost link leaves the latch as it is
        EXPECT_FALSE(h.link->IsOpen());
    }
}

// ---- Reading ----------------------------------------------------------------------------------------------

TEST(SessionRead, ReadsEachDealersBoardInBothModes) {
    for (ReadMode mode : {ReadMode::PlayedBoards, ReadMode::SimulateHandDealing}) {
        SCOPED_TRACE(static_cast<int>(mode));
        SessionHarness h;
        h.settings.values[keys::kInitReadMode] = mode == ReadMode::PlayedBoards ? "1" : "0";
        OpenSet(h, kRead, 1, 4);
        std::mt19937 rng{5};
        for (int n = 1; n <= 4; ++n) {
            const Board deal = test::RandomBoard(rng);
            h.Machine().PutReadStack(StackForDeal(deal, mode, DealerOf(n)));
            (h.session.get()->*(n == 1 ? &DealingSession::DealCommand : &DealingSession::DealNextCommand))();
            EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::Completed) << n;
            EXPECT_EQ(std::tuple(h.set[n].cardOwner, h.set[n].status, h.set[n].number),
                      std::tuple(deal.cardOwner, kBoardComplete, n));
        }
        EXPECT_TRUE(h.set.modified);
        EXPECT_EQ(h.CommandCount(cmd::kRead), 4);
    }
}

TEST_F(SessionTest, ClearEmptiesABoardAndReadingPastTheLastBoardGrowsTheSetUpToBoard640) {
    h.settings.values[keys::kInitReadMode] = "1";
    h.set = MakeSet(639, 639, true);
    h.Open(kRead);
    EXPECT_TRUE(Enabled(kCmdClear));
    h.dialogs.QueueAnswer(Answer::Cancel);
    S().ClearCommand();
    EXPECT_EQ(h.dialogs.Last().text, MessageTemplate(MsgClearBoardConfirm));
    EXPECT_EQ(h.set[639].status, kBoardComplete);
    S().ClearCommand(); // OK
    const Board& cleared = h.set[639];
    EXPECT_EQ(std::tuple(cleared.status, cleared.cardOwner, cleared.cardCount, cleared.dealer),
              std::tuple(kBoardEmpty, Board{}.cardOwner, Board{}.cardCount, DealerOf(639)));
    EXPECT_FALSE(Enabled(kCmdClear));
    EXPECT_TRUE(h.set.modified);
    for (int n : {639, 640}) {
        const Board deal = test::RandomSet(1, 1, static_cast<std::uint32_t>(n))[1];
        h.Machine().PutReadStack(PlayedStack(deal));
        h.dialogs.QueueAnswer(Answer::Cancel); // to "save the set?" after the last board
        if (n == 639) {
            S().DealCommand();
            S().FirstCommand(); // the first board is the last one: Deal next may add a board
            EXPECT_TRUE(Enabled(kDealNext));
        } else {
            h.Machine().PressPedal();
            h.Poll(); // the pedal does Deal next
        }
        EXPECT_EQ(std::tuple(h.set.lastBoard, h.set.currentBoard, h.set[n].number, h.set[n].dealer),
                  std::tuple(n, n, n, DealerOf(n)));
        EXPECT_EQ(h.set[n].cardOwner, deal.cardOwner);
    }
    EXPECT_FALSE(Enabled(kDealNext));
    S().DealNextCommand();
    EXPECT_EQ(std::tuple(h.set.lastBoard, S().LastStep().outcome), std::tuple(640, StepOutcome::Refused));
    EXPECT_EQ(h.dialogs.Last().title, "Reading Error");
    EXPECT_EQ(h.StepCommands().size(), 2u);
}

} // namespace
} // namespace orvenix
