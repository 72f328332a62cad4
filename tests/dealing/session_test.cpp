// The dealing and reading session on the emulated machine, in virtual time.
#include "base/messages.h"
#include "support/board_set_samples.h"
#include "support/session_harness.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

using test::SessionHarness;

BoardSet DealSet(int first, int last) {
    BoardSet set = test::RandomSet(first, last, 11);
    for (int n = first; n <= last; ++n) {
        set[n].number = static_cast<std::int16_t>(n);
        set[n].dealer = DealerOf(n);
        set[n].vulnerability = VulnerabilityOf(n);
    }
    set.fileName = "club.pbn";
    return set;
}

// Empty boards first..last, as a set waiting to be read.
BoardSet EmptySet(int first, int last) {
    BoardSet set;
    set.firstBoard = static_cast<std::int16_t>(first);
    set.lastBoard = static_cast<std::int16_t>(last);
    for (int n = first; n <= last; ++n) {
        set[n].number = static_cast<std::int16_t>(n);
        set[n].dealer = DealerOf(n);
        set[n].vulnerability = VulnerabilityOf(n);
    }
    return set;
}

// True when the machine put every card of board where the board says.
bool DealtAsBoard(const EmulatedMachine& m, const Board& board) {
    for (int c = 1; c <= kCards; ++c) {
        if (m.CardPockets()[static_cast<std::size_t>(c)] !=
            SeatToPocket[board.cardOwner[static_cast<std::size_t>(c)]])
            return false;
    }
    return true;
}

bool SameCards(const Board& a, const Board& b) {
    return a.cardOwner == b.cardOwner;
}

class SessionTest : public ::testing::Test {
  protected:
    SessionHarness h;
    DealingSession& OpenDeal(int first = 1, int last = 4) {
        h.set = DealSet(first, last);
        return h.Open(SessionMode::Deal);
    }
    const SessionDisplay& D() { return h.session->Display(); }
    bool Enabled(SessionControl c) { return D().enabled[static_cast<std::size_t>(c)]; }
};

// ---- Opening and the start-up exchange -------------------------------------------------------------

TEST_F(SessionTest, OpeningShowsTheModeAndWaitsForTheStartUpExchange) {
    h.set = DealSet(3, 6);
    h.set.currentBoard = 5;
    h.settings.values[keys::kInitStartFromBox] = "1";
    h.settings.values[keys::kInitReadMode] = "1";
    h.settings.values[keys::kNational] = "7";
    DealingSession s(SessionMode::Read, LoadSessionOptions(h.settings), h.set, *h.link, *h.clock, h.dialogs,
                     h.view, &h.settings);
    s.Load();
    const SessionDisplay& d = s.Display();
    EXPECT_EQ(d.caption, " Reading Boards ");
    EXPECT_EQ(d.dealCaption, "&Read");
    EXPECT_EQ(d.dealNextCaption, "Read ne&xt");
    EXPECT_TRUE(d.clearVisible);
    EXPECT_TRUE(d.readModesVisible);
    EXPECT_EQ(d.stateText, "Undefine");
    EXPECT_EQ(d.displayBoardsCaption, "Display Boards");
    EXPECT_EQ(h.set.currentBoard, 3);
    EXPECT_TRUE(s.Trigger());
    EXPECT_TRUE(d.startFromBox);
    EXPECT_EQ(d.readMode, ReadMode::PlayedBoards);
    EXPECT_EQ(d.options.national, kNationalStandard); // "7" is no choice
    EXPECT_TRUE(s.Initialising());
    EXPECT_TRUE(h.Machine().Latch());
    EXPECT_FALSE(h.view.pollTimer);
    EXPECT_FALSE(d.enabled[kCmdDeal]);
    EXPECT_FALSE(d.enabled[kRecognitionOptions]);
}

TEST_F(SessionTest, DealModeCaptionsAndTheStartUpEnabling) {
    OpenDeal(1, 4);
    EXPECT_EQ(D().caption, " Dealing Boards ");
    EXPECT_EQ(D().dealCaption, "&Deal");
    EXPECT_EQ(D().dealNextCaption, "Deal ne&xt");
    EXPECT_FALSE(D().clearVisible);
    EXPECT_EQ(D().fileName, "club.pbn");
    EXPECT_EQ(D().stateText, "Undefine"); // until the first status poll
    EXPECT_FALSE(h.session->Initialising());
    EXPECT_TRUE(h.view.pollTimer);
    EXPECT_TRUE(Enabled(kCmdDeal));
    EXPECT_TRUE(Enabled(kCmdExit));
    EXPECT_TRUE(Enabled(kCmdNext));
    EXPECT_TRUE(Enabled(kCmdLast));
    EXPECT_FALSE(Enabled(kCmdFirst));
    EXPECT_FALSE(Enabled(kCmdPrev));
    EXPECT_FALSE(Enabled(kDealNext));
    EXPECT_TRUE(Enabled(kRecognitionOptions));
    EXPECT_TRUE(Enabled(kCheckBoard));
    EXPECT_EQ(D().picture.board, 1);
    EXPECT_TRUE(h.dialogs.messages.empty());
    h.Poll();
    EXPECT_EQ(D().stateText, "Idle");
}

TEST_F(SessionTest, OneBoardSetKeepsNextAndLastDisabled) {
    OpenDeal(5, 5);
    EXPECT_FALSE(Enabled(kCmdNext));
    EXPECT_FALSE(Enabled(kCmdLast));
}

TEST_F(SessionTest, SilentMachineAtStartUpClosesWithThePowerMessage) {
    h.set = DealSet(1, 4);
    h.Machine().SetLinkLost(true);
    h.Open(SessionMode::Deal);
    EXPECT_EQ(h.session->Closing(), CloseReason::NoMachineReply);
    EXPECT_EQ(h.view.closeRequests, 1);
    ASSERT_FALSE(h.dialogs.messages.empty());
    EXPECT_EQ(h.dialogs.Last().text, MessageTemplate(MsgCannotCommunicatePower));
    EXPECT_EQ(h.dialogs.Last().title, "Communication Error");
    EXPECT_EQ(h.dialogs.Last().icon, Icon::Critical);
    EXPECT_FALSE(h.view.pollTimer);
}

TEST_F(SessionTest, OneBadReplyAtStartUpIsRetriedTwoInARowMeanNoMachine) {
    // The first fault hits the single info request of step 1, the second the info request with the
    // retry rule, which asks again.
    SessionHarness g;
    g.set = DealSet(1, 4);
    g.Machine().InjectWireFault(WireFault::BadChecksum, 2);
    g.Open(SessionMode::Deal);
    EXPECT_EQ(g.session->Closing(), CloseReason::None);
    EXPECT_TRUE(g.view.pollTimer);
    EXPECT_TRUE(g.dialogs.messages.empty());

    SessionHarness lost;
    lost.set = DealSet(1, 4);
    lost.Machine().InjectWireFault(WireFault::ShortReply, 3);
    lost.Open(SessionMode::Deal);
    EXPECT_EQ(lost.session->Closing(), CloseReason::NoMachineReply);
}

TEST_F(SessionTest, ReadingNeedsFirmware224) {
    EmulatorConfig c = SessionHarness::Fast();
    c.firmwareMinor = 0x23;
    SessionHarness g(c);
    g.set = EmptySet(1, 2);
    g.Open(SessionMode::Read);
    EXPECT_EQ(g.session->Closing(), CloseReason::ReadNeedsFirmware);
    ASSERT_EQ(g.dialogs.messages.size(), 1u);
    EXPECT_EQ(g.dialogs.Last().text, FormatMessage(MsgReadNeedsFirmware, "2.23"));
    EXPECT_EQ(g.dialogs.Last().title, "Reading Error");

    c.firmwareMinor = 0x24;
    SessionHarness ok(c);
    ok.set = EmptySet(1, 2);
    ok.Open(SessionMode::Read);
    EXPECT_EQ(ok.session->Closing(), CloseReason::None);
    // Dealing does not need it.
    c.firmwareMinor = 0x10;
    SessionHarness deal(c);
    deal.set = DealSet(1, 2);
    deal.Open(SessionMode::Deal);
    EXPECT_EQ(deal.session->Closing(), CloseReason::None);
}

// ---- Dealing ------------------------------------------------------------------------------------------

TEST_F(SessionTest, DealsAFourBoardSetToTheEndAndMovesToTheFirstBoard) {
    OpenDeal(1, 4);
    const BoardSet before = h.set;
    h.dialogs.QueueAnswer(Answer::Yes); // move to the first board
    h.session->DealCommand();
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::Completed) << n;
        EXPECT_EQ(h.session->LastStep().board, n);
        EXPECT_TRUE(DealtAsBoard(h.Machine(), h.set[n])) << n;
        EXPECT_EQ(h.session->LastStep().pocketCounts, (std::array<std::int16_t, 4>{13, 13, 13, 13}));
        EXPECT_GT(h.session->LastStep().seconds, 1.0); // 52 cards at 20 ms
        if (n < 4) {
            EXPECT_TRUE(Enabled(kDealNext));
            EXPECT_TRUE(h.dialogs.messages.empty());
            h.session->DealNextCommand();
        }
    }
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.Last().text, MessageTemplate(MsgDealtLastMoveFirst));
    EXPECT_EQ(h.dialogs.Last().title, "Dealing");
    EXPECT_EQ(h.dialogs.Last().buttons, Buttons::YesNoCancel);
    EXPECT_EQ(h.set.currentBoard, 1);
    EXPECT_FALSE(h.session->CloseRequested());
    EXPECT_TRUE(h.view.pollTimer);
    EXPECT_FALSE(Enabled(kDealNext));
    EXPECT_TRUE(Enabled(kCmdNext));
    EXPECT_FALSE(Enabled(kCmdPrev));
    EXPECT_FALSE(Enabled(kCmdBreak));
    EXPECT_EQ(h.Machine().BoardsDealt(), 4u);
    // The sequence index of the four commands, and its wrap back to 0.
    const auto commands = h.StepCommands();
    ASSERT_EQ(commands.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(commands[i][0], cmd::kDeal);
        EXPECT_EQ(commands[i][1], 0);
        EXPECT_EQ(commands[i][3], i);
        EXPECT_EQ(commands[i][4], 11 + 50 * i);
        EXPECT_EQ(commands[i][5], 36 + 50 * i);
    }
    EXPECT_EQ(h.session->SequenceIndex(), 0);
    // Dealing changes nothing in the set apart from the current board.
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(h.set[n], before[n]);
    EXPECT_FALSE(h.set.modified);
    EXPECT_EQ(D().dealTime, FormatDealTime(h.session->LastStep().seconds));
}

TEST_F(SessionTest, WhileAStepRunsTheTimeIsShownAndNothingElseStarts) {
    OpenDeal(1, 3);
    std::vector<std::string> times;
    int rounds = 0;
    h.view.onEvents = [&] {
        ++rounds;
        if (times.empty() || times.back() != D().dealTime) times.push_back(D().dealTime);
        EXPECT_TRUE(Enabled(kCmdBreak));
        EXPECT_FALSE(Enabled(kCmdDeal) || Enabled(kCmdExit) || Enabled(kCmdNext) || Enabled(kDealNext));
        EXPECT_FALSE(h.view.pollTimer);
        if (rounds == 10) h.Machine().PressPedal();
        // Timer1 is stopped and the buttons are disabled; calls that still arrive are ignored.
        h.session->PollTick();
        h.session->DealCommand();
        h.session->DealNextCommand();
        h.session->NextCommand();
        h.session->ExitCommand();
    };
    h.session->DealCommand();
    EXPECT_EQ(h.StepCommands().size(), 1u);
    EXPECT_EQ(h.set.currentBoard, 1);
    EXPECT_FALSE(h.session->CloseRequested());
    // The time went up in tenths of a second while the machine was busy.
    ASSERT_GT(times.size(), 5u);
    double previous = 0;
    for (std::size_t i = 1; i < times.size(); ++i) {
        const std::string& t = times[i];
        ASSERT_GE(t.size(), 3u);
        EXPECT_EQ(t[t.size() - 2], '.') << t;
        const double value = std::stod(t);
        EXPECT_GE(value, previous) << t;
        EXPECT_LT(value - previous, 0.25) << t; // refreshed at every poll
        previous = value;
    }
    EXPECT_GE(previous, 1.0); // 52 cards at 20 ms
    // The pedal pressed during the step was acknowledged by the step's polls and starts nothing after it.
    h.view.onEvents = nullptr;
    h.Poll(3);
    EXPECT_EQ(h.StepCommands().size(), 1u);
}

TEST_F(SessionTest, NoAfterTheLastBoardClosesCancelStays) {
    OpenDeal(1, 1);
    h.dialogs.QueueAnswer(Answer::Cancel);
    h.session->DealCommand();
    EXPECT_FALSE(h.session->CloseRequested());
    EXPECT_EQ(h.set.currentBoard, 1);
    EXPECT_TRUE(h.view.pollTimer);
    EXPECT_TRUE(Enabled(kCmdDeal));
    h.dialogs.QueueAnswer(Answer::No);
    h.session->DealCommand();
    EXPECT_EQ(h.session->Closing(), CloseReason::EndOfSet);
    EXPECT_FALSE(h.view.pollTimer);
}

TEST_F(SessionTest, IncompleteBoardIsNotDealt) {
    OpenDeal(1, 2);
    h.set[1].cardOwner[5] = 0;
    AnalyseBoard(h.set[1]);
    h.session->DealCommand();
    EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::Refused);
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.Last().text, MessageTemplate(MsgBoardIncompleteCannotDeal));
    EXPECT_EQ(h.dialogs.Last().title, "Dealing Error");
    EXPECT_EQ(h.dialogs.Last().icon, Icon::Exclamation);
    EXPECT_TRUE(h.StepCommands().empty());
    EXPECT_TRUE(h.view.pollTimer);
}

TEST_F(SessionTest, RecognitionOptionsTravelInByteTwo) {
    OpenDeal(1, 2);
    h.session->NationalClicked(kNationalDanish);
    h.session->CardTypeClicked(1);
    h.session->ThresholdClicked(2);
    h.session->CardIndexClicked(1);
    h.session->DealCommand();
    const auto commands = h.StepCommands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0][2], 0x5D);
}

// ---- Navigation -------------------------------------------------------------------------------------

TEST_F(SessionTest, NavigationEnablesTheButtonsAtTheEnds) {
    OpenDeal(1, 3);
    h.session->LastCommand();
    EXPECT_EQ(h.set.currentBoard, 3);
    EXPECT_FALSE(Enabled(kCmdNext));
    EXPECT_FALSE(Enabled(kCmdLast));
    EXPECT_TRUE(Enabled(kCmdFirst));
    EXPECT_TRUE(Enabled(kCmdPrev));
    EXPECT_EQ(D().picture.board, 3);
    h.session->PrevCommand();
    EXPECT_EQ(h.set.currentBoard, 2);
    EXPECT_TRUE(Enabled(kCmdNext) && Enabled(kCmdPrev));
    h.session->PrevCommand();
    EXPECT_EQ(h.set.currentBoard, 1);
    EXPECT_FALSE(Enabled(kCmdPrev));
    EXPECT_FALSE(Enabled(kCmdFirst));
    h.session->PrevCommand(); // stays at the first board
    EXPECT_EQ(h.set.currentBoard, 1);
    h.session->NextCommand();
    h.session->NextCommand();
    h.session->NextCommand(); // stays at the last board
    EXPECT_EQ(h.set.currentBoard, 3);
    EXPECT_FALSE(Enabled(kCmdNext));
    h.session->FirstCommand();
    EXPECT_EQ(h.set.currentBoard, 1);
    EXPECT_FALSE(Enabled(kDealNext));
}

TEST_F(SessionTest, DisplayHandShowsTheBoardsCountsAndTheHandsOnRequest) {
    OpenDeal(1, 2);
    h.set[2].cardOwner[1] = 0; // North's card missing on board 2
    AnalyseBoard(h.set[2]);
    h.session->NextCommand();
    EXPECT_EQ(D().counts[kCountNorth].count, h.set[2].cardCount[1]);
    EXPECT_EQ(D().counts[kCountNorth].colour,
              h.set[2].cardCount[1] == 13 ? CountColour::Green : CountColour::Red);
    EXPECT_EQ(D().counts[kCountSouth].colour, CountColour::Green);
    EXPECT_FALSE(D().picture.showHands);
    h.session->DisplayBoardsCommand();
    EXPECT_EQ(D().displayBoardsCaption, "Hide boards");
    EXPECT_TRUE(D().picture.showHands);
    std::size_t cards = 0;
    for (const auto& seat : D().picture.cards)
        for (const auto& suit : seat)
            cards += suit.size();
    EXPECT_EQ(cards, 51u);
    h.session->DisplayBoardsCommand();
    EXPECT_EQ(D().displayBoardsCaption, "Display boards");
    EXPECT_FALSE(D().picture.showHands);
}

// ---- The pedal and the card box ------------------------------------------------------------------------

TEST_F(SessionTest, PedalDealsTheCurrentBoardThenDealNext) {
    OpenDeal(1, 3);
    h.Poll(3);
    EXPECT_TRUE(h.StepCommands().empty());
    h.Machine().PressPedal();
    h.Poll();
    ASSERT_EQ(h.StepCommands().size(), 1u); // Deal_next was disabled: the pedal deals the current board
    EXPECT_EQ(h.session->LastStep().board, 1);
    EXPECT_TRUE(Enabled(kDealNext));
    h.Machine().PressPedal();
    h.Poll();
    ASSERT_EQ(h.StepCommands().size(), 2u);
    EXPECT_EQ(h.set.currentBoard, 2);
    EXPECT_TRUE(DealtAsBoard(h.Machine(), h.set[2]));
    // The pedal was acknowledged: the next polls start nothing.
    h.Poll(5);
    EXPECT_EQ(h.StepCommands().size(), 2u);
    EXPECT_FALSE(h.session->StepBusy());
}

TEST_F(SessionTest, CardBoxStartsAStepOnlyWithTriggerAndAfterTenQuietPolls) {
    OpenDeal(1, 3);
    // Without "Start Dealing from Board Inserting" the box starts nothing.
    h.Poll(12);
    h.Machine().InsertBox();
    h.Poll(3);
    EXPECT_TRUE(h.StepCommands().empty());

    h.session->StartFromBoxClicked(true);
    EXPECT_EQ(h.settings.values[keys::kInitStartFromBox], "1");
    // A box put in soon after the box was taken out (box-reset reported) is ignored...
    h.Machine().RemoveBox();
    h.Poll();
    h.Machine().InsertBox();
    h.Poll(3);
    EXPECT_TRUE(h.StepCommands().empty());
    // ...and one put in ten quiet polls after the reset starts the step.
    h.Machine().RemoveBox();
    h.Poll(10);
    h.Machine().InsertBox();
    h.Poll();
    ASSERT_EQ(h.StepCommands().size(), 1u);
    EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::Completed);

    h.session->StartFromBoxClicked(false);
    EXPECT_EQ(h.settings.values[keys::kInitStartFromBox], "0");
    EXPECT_FALSE(h.session->Trigger());
    h.Machine().RemoveBox();
    h.Poll(11);
    h.Machine().InsertBox();
    h.Poll(2);
    EXPECT_EQ(h.StepCommands().size(), 1u);
}

TEST_F(SessionTest, BoxAtNinePollsIsTooEarly) {
    h.settings.values[keys::kInitStartFromBox] = "1";
    OpenDeal(1, 3);
    h.Poll(12);
    h.Machine().RemoveBox();
    h.Poll(9);
    h.Machine().InsertBox();
    h.Poll();
    EXPECT_TRUE(h.StepCommands().empty());
}

// ---- Break and machine errors -------------------------------------------------------------------------

TEST_F(SessionTest, BreakStopsTheStepAndCancelEndsIt) {
    OpenDeal(1, 3);
    int rounds = 0;
    h.view.onEvents = [&] {
        if (++rounds == 100) h.session->BreakCommand();
    };
    EXPECT_FALSE(Enabled(kCmdBreak));
    h.session->DealCommand();
    ASSERT_EQ(h.view.errorDialogs.size(), 1u);
    EXPECT_EQ(h.view.errorDialogs[0].text, "Break Dealing");
    EXPECT_EQ(h.view.errorDialogs[0].code, 57);
    EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::Cancelled);
    EXPECT_EQ(h.Machine().CardPockets()[52], 0); // the last card never went out
    EXPECT_FALSE(Enabled(kDealNext));
    EXPECT_TRUE(Enabled(kCmdDeal));
    EXPECT_TRUE(h.view.pollTimer);
    EXPECT_EQ(h.session->SequenceIndex(), 1);
    EXPECT_EQ(h.StepCommands().size(), 1u);
}

TEST_F(SessionTest, ContinueResendsTheBoardWithByteOneSet) {
    OpenDeal(1, 3);
    h.Machine().InjectError(3, 20);
    h.view.onErrorDialog = [&](ErrorDialog& d) {
        EXPECT_TRUE(h.session->StepRunning());
        EXPECT_EQ(D().counts[kCountSouth].count + D().counts[kCountWest].count +
                      D().counts[kCountEast].count + D().counts[kCountNorth].count,
                  19); // the labels keep the machine's counts while the dialog is open
        d.PressContinue();
    };
    h.session->DealCommand();
    ASSERT_EQ(h.view.errorDialogs.size(), 1u);
    EXPECT_EQ(h.view.errorDialogs[0].text, "Card did not go to E");
    EXPECT_EQ(h.view.errorDialogs[0].buttons, ErrorButtonSet::ContinueCancel);
    const auto commands = h.StepCommands();
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[1][1], 1);
    EXPECT_EQ(commands[1][3], commands[0][3]);
    EXPECT_TRUE(std::equal(commands[0].begin() + 8, commands[0].begin() + 60, commands[1].begin() + 8));
    EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::Completed);
    EXPECT_TRUE(DealtAsBoard(h.Machine(), h.set[1]));
    EXPECT_TRUE(Enabled(kDealNext));
    EXPECT_EQ(h.view.waitedMs, 300);
}

TEST_F(SessionTest, PedalAnswersTheErrorDialogLikeContinue) {
    OpenDeal(1, 3);
    h.Machine().InjectError(30, 5);
    h.view.onErrorDialog = [&](ErrorDialog& d) {
        d.Tick();
        EXPECT_FALSE(d.Closed());
        h.Machine().PressPedal();
        d.Tick();
        EXPECT_TRUE(d.Closed());
        EXPECT_TRUE(d.AnsweredByPedal());
    };
    h.session->DealCommand();
    EXPECT_EQ(h.view.errorDialogs[0].text, "Card Recognize Error");
    EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::Completed);
    EXPECT_EQ(h.StepCommands().size(), 2u);
    h.Poll(3); // the pedal was acknowledged during the step: no new step
    EXPECT_EQ(h.StepCommands().size(), 2u);
}

TEST_F(SessionTest, CancelOnlyErrorEndsTheStep) {
    OpenDeal(1, 3);
    h.Machine().InjectError(12, 8);
    h.session->DealCommand();
    ASSERT_EQ(h.view.errorDialogs.size(), 1u);
    const ErrorDialogContent& c = h.view.errorDialogs[0];
    EXPECT_EQ(c.text, "Card Jam Error");
    EXPECT_FALSE(c.continueVisible);
    EXPECT_FALSE(c.cancelVisible);
    EXPECT_TRUE(c.cancel2Visible);
    EXPECT_EQ(c.cancel2Caption, "Cancel");
    EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::Cancelled);
    EXPECT_TRUE(h.session->LastStep().errorShown);
    EXPECT_EQ(h.session->LastStep().error.code, 12);
    EXPECT_EQ(h.StepCommands().size(), 1u);
    EXPECT_FALSE(Enabled(kDealNext));
    // The board is not shown as dealt: the labels keep the seven cards the machine dealt, in red.
    int shown = 0;
    for (const CountLabel& label : D().counts) {
        shown += label.count;
        EXPECT_EQ(label.colour, CountColour::Red);
    }
    EXPECT_EQ(shown, 7);
}

TEST_F(SessionTest, ABoardTheMachineLeftShortIsNotDealt) {
    OpenDeal(1, 2);
    h.session->LastCommand();
    // Card 5 drops into the pocket after its own, and the machine does not notice.
    const Seat owner = h.set[2].cardOwner[5];
    h.Machine().InjectMisroute(5, static_cast<PocketCode>(SeatToPocket[owner] % 4 + 1));
    const std::size_t questions = h.dialogs.messages.size();
    h.session->DealCommand();
    EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::NotDone);
    EXPECT_TRUE(h.view.errorDialogs.empty());
    EXPECT_EQ(h.dialogs.messages.size(), questions); // no "last board dealt" question
    EXPECT_FALSE(Enabled(kDealNext));
    EXPECT_TRUE(Enabled(kCmdDeal));
    int red = 0;
    for (const CountLabel& label : D().counts)
        red += label.colour == CountColour::Red ? 1 : 0;
    EXPECT_EQ(red, 2); // one pocket with 14 cards, one with 12
}

TEST_F(SessionTest, RepeatedErrorOpensTheDialogAgain) {
    OpenDeal(1, 3);
    h.Machine().InjectError(1, 10);
    h.Machine().InjectError(2, 10); // found again when the step continues at the same card
    h.view.onErrorDialog = [](ErrorDialog& d) { d.PressContinue(); };
    h.session->DealCommand();
    ASSERT_EQ(h.view.errorDialogs.size(), 2u);
    EXPECT_EQ(h.view.errorDialogs[1].text, "Card did not go to W");
    EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::Completed);
    EXPECT_EQ(h.StepCommands().size(), 3u);
}

// ---- Board-number check -------------------------------------------------------------------------------

class BoardCheckTest : public SessionTest {
  protected:
    void SetUp() override {
        h.settings.values[keys::kCheckBoard] = "1";
        OpenDeal(1, 12);
        ASSERT_TRUE(D().options.checkBoard);
        h.session->GoToBoard(12);
    }
};

TEST_F(BoardCheckTest, MatchingLabelDealsAtOnce) {
    h.Machine().InsertBoard(12);
    h.session->DealCommand();
    EXPECT_TRUE(h.view.errorDialogs.empty());
    EXPECT_EQ(h.CommandCount(cmd::kSensors), 1);
    EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::Completed);
}

TEST_F(BoardCheckTest, WrongBoardIsReadSixTimesThenReported) {
    h.Machine().InsertBoard(7);
    h.view.onErrorDialog = [](ErrorDialog& d) { d.PressCancel(); };
    h.session->DealCommand();
    EXPECT_EQ(h.CommandCount(cmd::kSensors), 6);
    EXPECT_EQ(h.view.waitedMs, 600);
    ASSERT_EQ(h.view.errorDialogs.size(), 1u);
    const ErrorDialogContent& c = h.view.errorDialogs[0];
    EXPECT_EQ(c.code, 65);
    EXPECT_EQ(c.codeText, "Error Code: 65");
    EXPECT_EQ(c.text, FormatMessage(MsgIncorrectBoardInserted, "12", "7"));
    EXPECT_EQ(c.buttons, ErrorButtonSet::BoardCheck);
    EXPECT_TRUE(c.continueVisible && c.cancelVisible && c.cancel2Visible);
    EXPECT_EQ(c.continueCaption, "Try again");
    EXPECT_EQ(c.cancel2Caption, "Deal to the current board");
    // Cancel: nothing dealt, the sequence index stays, polling goes on.
    EXPECT_TRUE(h.StepCommands().empty());
    EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::Cancelled);
    EXPECT_EQ(h.session->SequenceIndex(), 0);
    EXPECT_TRUE(h.view.pollTimer);
    EXPECT_FALSE(h.session->StepRunning());
}

TEST_F(BoardCheckTest, UnreadableLabelShowsCode64AndDealToCurrentBoardDeals) {
    h.Machine().SetBoardLabel(16); // one bit set: no board
    h.view.onErrorDialog = [](ErrorDialog& d) { d.PressCancel2(); };
    h.session->DealCommand();
    ASSERT_EQ(h.view.errorDialogs.size(), 1u);
    EXPECT_EQ(h.view.errorDialogs[0].code, 64);
    EXPECT_EQ(h.view.errorDialogs[0].text, MessageTemplate(MsgCannotReadBoardNumber));
    EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::Completed);
    EXPECT_EQ(h.StepCommands().size(), 1u);
}

TEST_F(BoardCheckTest, TryAgainReadsTheLabelAgain) {
    h.Machine().InsertBoard(11);
    h.view.onErrorDialog = [&](ErrorDialog& d) {
        h.Machine().InsertBoard(12); // the operator puts the right board in
        d.PressContinue();
    };
    h.session->DealCommand();
    EXPECT_EQ(h.view.errorDialogs.size(), 1u);
    EXPECT_EQ(h.CommandCount(cmd::kSensors), 7);
    EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::Completed);
}

TEST_F(BoardCheckTest, PedalInTheBoardCheckDialogTriesAgain) {
    h.Machine().InsertBoard(3);
    int dialogs = 0;
    h.view.onErrorDialog = [&](ErrorDialog& d) {
        if (++dialogs == 1) {
            h.Machine().PressPedal();
            d.Tick();
            EXPECT_EQ(d.Action(), kErrorActionContinue);
        } else {
            d.PressCancel();
        }
    };
    h.session->DealCommand();
    EXPECT_EQ(dialogs, 2);
    EXPECT_EQ(h.CommandCount(cmd::kSensors), 12);
    EXPECT_TRUE(h.StepCommands().empty());
}

// ---- Lost link ------------------------------------------------------------------------------------------

TEST_F(SessionTest, LostLinkDuringAStepClosesAndLeavesTheSetAlone) {
    OpenDeal(1, 3);
    const BoardSet before = h.set;
    int rounds = 0;
    h.view.onEvents = [&] {
        if (++rounds == 50) h.Machine().SetLinkLost(true);
    };
    h.session->DealCommand();
    EXPECT_EQ(h.session->Closing(), CloseReason::LinkLost);
    EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::LinkLost);
    EXPECT_TRUE(h.session->LinkLost());
    ASSERT_EQ(h.MessagesTitled("Dealing Error"), 1);
    EXPECT_EQ(h.dialogs.Last().text, MessageTemplate(MsgLostCommunicationDealing));
    EXPECT_EQ(h.dialogs.Last().icon, Icon::Critical);
    EXPECT_FALSE(h.view.pollTimer);
    EXPECT_FALSE(h.session->StepRunning());
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(h.set[n], before[n]);
    EXPECT_FALSE(h.set.modified);
    // Closing after a lost link leaves the latch as it is and closes the link.
    h.session->Unload();
    EXPECT_TRUE(h.Machine().Latch());
    EXPECT_FALSE(h.link->IsOpen());
}

TEST_F(SessionTest, OneFaultyReplyInAStepIsRetriedTwoInARowLoseTheLink) {
    OpenDeal(1, 3);
    int rounds = 0;
    h.view.onEvents = [&] {
        if (++rounds == 20) h.Machine().InjectWireFault(WireFault::ShortReply, 1);
        if (rounds == 40) h.Machine().InjectWireFault(WireFault::BadChecksum, 1);
    };
    h.session->DealCommand();
    EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::Completed);
    EXPECT_EQ(h.MessagesTitled("Dealing Error"), 0);

    rounds = 0;
    h.view.onEvents = [&] {
        if (++rounds == 20) h.Machine().InjectWireFault(WireFault::BadChecksum, 2);
    };
    h.session->DealNextCommand();
    EXPECT_EQ(h.session->Closing(), CloseReason::LinkLost);
    EXPECT_EQ(h.MessagesTitled("Dealing Error"), 1);
}

TEST_F(SessionTest, LostLinkInThePollCloses) {
    OpenDeal(1, 3);
    h.Poll(2);
    h.Machine().SetLinkLost(true);
    h.Poll();
    EXPECT_EQ(h.session->Closing(), CloseReason::LinkLost);
    EXPECT_EQ(h.dialogs.Last().text, MessageTemplate(MsgLostCommunicationDealing));
    EXPECT_TRUE(h.session->StepBusy()); // the poll stays blocked while the window closes
    h.session->PollTick();
    EXPECT_EQ(h.MessagesTitled("Dealing Error"), 1);
}

TEST_F(SessionTest, LostLinkInTheErrorDialogCancelsAndClosesTheWindow) {
    OpenDeal(1, 3);
    h.Machine().InjectError(4, 3);
    h.view.onErrorDialog = [&](ErrorDialog& d) {
        h.Machine().SetLinkLost(true);
        d.Tick();
        EXPECT_TRUE(d.Closed());
        EXPECT_TRUE(d.LinkLost());
        EXPECT_EQ(d.Action(), kErrorActionCancel);
        EXPECT_EQ(h.dialogs.Last().text, "Lost Communication with Dealer  -  Dealing Aborted");
        EXPECT_EQ(h.dialogs.Last().buttons, Buttons::Ok);
        EXPECT_EQ(h.dialogs.Last().icon, Icon::None);
    };
    h.session->DealCommand();
    EXPECT_EQ(h.session->Closing(), CloseReason::LinkLost);
    EXPECT_EQ(h.dialogs.Last().text, MessageTemplate(MsgLostCommunicationDealing));
    EXPECT_EQ(h.StepCommands().size(), 1u);
}

TEST_F(SessionTest, ExitTurnsTheLatchOffAndCloses) {
    OpenDeal(1, 3);
    h.session->ExitCommand();
    EXPECT_EQ(h.session->Closing(), CloseReason::Exit);
    EXPECT_FALSE(h.Machine().Latch());
    h.session->Unload();
    EXPECT_FALSE(h.link->IsOpen());
    EXPECT_FALSE(h.view.pollTimer);
}

// ---- Firmware gates of a step ----------------------------------------------------------------------------

struct GateCase {
    std::uint8_t minor;
    int national;
    bool dealt;
    MessageKey message;
};

class NationalGateTest : public ::testing::TestWithParam<GateCase> {};

TEST_P(NationalGateTest, NationalSetsNeedTheirFirmware) {
    const GateCase g = GetParam();
    EmulatorConfig c = SessionHarness::Fast();
    c.firmwareMinor = g.minor;
    SessionHarness h(c);
    h.set = DealSet(1, 2);
    h.settings.values[keys::kNational] = std::to_string(g.national);
    h.Open(SessionMode::Deal);
    h.session->DealCommand();
    EXPECT_EQ(h.StepCommands().size(), g.dealt ? 1u : 0u);
    if (g.dealt) {
        EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::Completed);
    } else {
        EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::Refused);
        ASSERT_FALSE(h.dialogs.messages.empty());
        EXPECT_EQ(h.dialogs.Last().text, FormatMessage(g.message, FirmwareText(2, g.minor)));
        EXPECT_EQ(h.dialogs.Last().title, "Dealing Error");
        EXPECT_TRUE(h.view.pollTimer);
    }
}

INSTANTIATE_TEST_SUITE_P(Firmware, NationalGateTest,
                         ::testing::Values(GateCase{0x10, kNationalStandard, true, MsgNationalNeedsFirmware},
                                           GateCase{0x26, kNationalGerman, false, MsgNationalNeedsFirmware},
                                           GateCase{0x27, kNationalGerman, true, MsgNationalNeedsFirmware},
                                           GateCase{0x26, kNationalDanish, false, MsgNationalNeedsFirmware},
                                           GateCase{0x31, kNationalDanish, false, MsgDanishNeedsFirmware},
                                           GateCase{0x32, kNationalDanish, true, MsgDanishNeedsFirmware}));

// ---- Reading ----------------------------------------------------------------------------------------------

class ReadTest : public SessionTest {
  protected:
    DealingSession& OpenRead(int first, int last, ReadMode mode) {
        h.set = EmptySet(first, last);
        h.settings.values[keys::kInitReadMode] = mode == ReadMode::SimulateHandDealing ? "0" : "1";
        return h.Open(SessionMode::Read);
    }
    std::mt19937 rng{5};
};

// The stack for a played board: South's thirteen cards, then West's, East's and North's.
std::vector<CardCode> PlayedStack(const Board& deal) {
    std::vector<CardCode> stack;
    for (Seat seat : {Seat{3}, Seat{4}, Seat{2}, Seat{1}}) {
        for (int c = 1; c <= kCards; ++c) {
            if (deal.cardOwner[static_cast<std::size_t>(c)] == seat)
                stack.push_back(static_cast<CardCode>(c));
        }
    }
    return stack;
}

// The stack for hand dealing from the dealer on: the pockets follow S, E, N, W starting at the dealer's.
std::vector<CardCode> HandDealtStack(const Board& deal, Seat dealer) {
    static constexpr std::array<Seat, 4> kOrder{3, 2, 1, 4}; // S, E, N, W
    std::size_t start = 0;
    while (kOrder[start] != dealer)
        ++start;
    std::array<std::vector<CardCode>, 5> hands;
    for (int c = 1; c <= kCards; ++c)
        hands[deal.cardOwner[static_cast<std::size_t>(c)]].push_back(static_cast<CardCode>(c));
    std::vector<CardCode> stack;
    for (std::size_t i = 0; i < kCards; ++i) {
        const Seat seat = kOrder[(start + i) % 4];
        stack.push_back(hands[seat][i / 4]);
    }
    return stack;
}

TEST_F(ReadTest, ReadsAPlayedBoard) {
    OpenRead(1, 2, ReadMode::PlayedBoards);
    const Board deal = test::RandomBoard(rng);
    h.Machine().PutReadStack(PlayedStack(deal));
    h.session->DealCommand();
    EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::Completed);
    EXPECT_TRUE(SameCards(h.set[1], deal));
    EXPECT_EQ(h.set[1].status, kBoardComplete);
    EXPECT_EQ(h.set[1].number, 1);
    EXPECT_TRUE(h.set.modified);
    EXPECT_EQ(h.StepCommands()[0][0], cmd::kRead);
    EXPECT_TRUE(Enabled(kDealNext));
    EXPECT_TRUE(Enabled(kCmdClear));
    EXPECT_EQ(StackForDeal(deal, ReadMode::PlayedBoards, 1), PlayedStack(deal));
}

TEST_F(ReadTest, ReadsAHandDealtBoardFromEachDealer) {
    OpenRead(1, 4, ReadMode::SimulateHandDealing);
    for (int n = 1; n <= 4; ++n) {
        const Board deal = test::RandomBoard(rng);
        const auto stack = HandDealtStack(deal, DealerOf(n));
        EXPECT_EQ(StackForDeal(deal, ReadMode::SimulateHandDealing, DealerOf(n)), stack);
        h.Machine().PutReadStack(stack);
        if (n == 1)
            h.session->DealCommand();
        else
            h.session->DealNextCommand();
        EXPECT_TRUE(SameCards(h.set[n], deal)) << n;
    }
    EXPECT_EQ(h.set.lastBoard, 4);
}

TEST_F(ReadTest, LastBoardAsksToSaveYesSavesAndCloses) {
    OpenRead(1, 1, ReadMode::PlayedBoards);
    h.Machine().PutReadStack(PlayedStack(test::RandomBoard(rng)));
    h.dialogs.QueueAnswer(Answer::Yes);
    h.session->DealCommand();
    EXPECT_EQ(h.dialogs.Last().text, MessageTemplate(MsgDealtLastSave));
    EXPECT_EQ(h.dialogs.Last().title, "Reading");
    EXPECT_EQ(h.view.saves, 1);
    EXPECT_EQ(h.session->Closing(), CloseReason::EndOfSet);
}

TEST_F(ReadTest, BoardWithCardsIsNotReadUntilCleared) {
    OpenRead(1, 2, ReadMode::PlayedBoards);
    h.set[1].cardOwner[7] = 2;
    AnalyseBoard(h.set[1]);
    h.session->GoToBoard(1);
    EXPECT_TRUE(Enabled(kCmdClear));
    h.session->DealCommand();
    EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::Refused);
    EXPECT_EQ(h.dialogs.Last().text, MessageTemplate(MsgBoardNotEmptyCannotRead));
    EXPECT_EQ(h.dialogs.Last().title, "Reading Error");
    EXPECT_TRUE(h.StepCommands().empty());

    h.dialogs.QueueAnswer(Answer::Cancel);
    h.session->ClearCommand();
    EXPECT_EQ(h.dialogs.Last().text, MessageTemplate(MsgClearBoardConfirm));
    EXPECT_EQ(h.dialogs.Last().title, "Clear Board");
    EXPECT_EQ(h.set[1].cardOwner[7], 2);

    h.session->ClearCommand(); // OK
    EXPECT_EQ(h.set[1].status, kBoardEmpty);
    EXPECT_EQ(h.set[1].cardOwner[7], 0);
    EXPECT_EQ(h.set[1].cardCount[2], 0);
    EXPECT_EQ(h.set[1].number, 1);
    EXPECT_EQ(h.set[1].dealer, 1);
    EXPECT_FALSE(Enabled(kCmdClear));
    EXPECT_TRUE(h.set.modified);

    const Board deal = test::RandomBoard(rng);
    h.Machine().PutReadStack(PlayedStack(deal));
    h.session->DealCommand();
    EXPECT_TRUE(SameCards(h.set[1], deal));
}

TEST_F(ReadTest, PedalOnTheLastBoardGrowsTheSet) {
    OpenRead(1, 1, ReadMode::PlayedBoards);
    h.Machine().PutReadStack(PlayedStack(test::RandomBoard(rng)));
    h.dialogs.QueueAnswer(Answer::Cancel);
    h.session->DealCommand();
    h.session->FirstCommand(); // the first board is the last one: Deal_next may add a board
    EXPECT_TRUE(Enabled(kDealNext));
    const Board deal = test::RandomBoard(rng);
    h.Machine().PutReadStack(PlayedStack(deal));
    h.dialogs.QueueAnswer(Answer::Cancel);
    h.Machine().PressPedal();
    h.Poll();
    EXPECT_EQ(h.set.lastBoard, 2);
    EXPECT_EQ(h.set.currentBoard, 2);
    EXPECT_TRUE(SameCards(h.set[2], deal));
    EXPECT_EQ(h.set[2].number, 2);
    EXPECT_EQ(h.set[2].dealer, DealerOf(2));
}

TEST_F(ReadTest, TheSetNeverGrowsPastBoard640) {
    OpenRead(639, 640, ReadMode::PlayedBoards);
    h.session->LastCommand();
    h.session->FirstCommand();
    h.session->NextCommand();
    EXPECT_EQ(h.set.currentBoard, 640);
    EXPECT_FALSE(Enabled(kDealNext));
    h.session->DealNextCommand();
    EXPECT_EQ(h.set.lastBoard, 640);
    EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::Refused);
    EXPECT_EQ(h.dialogs.Last().title, "Reading Error");
    EXPECT_TRUE(h.StepCommands().empty());
}

TEST_F(ReadTest, LostLinkKeepsTheBoardsAlreadyRead) {
    OpenRead(1, 3, ReadMode::PlayedBoards);
    const Board first = test::RandomBoard(rng);
    h.Machine().PutReadStack(PlayedStack(first));
    h.session->DealCommand();
    ASSERT_TRUE(SameCards(h.set[1], first));
    h.Machine().PutReadStack(PlayedStack(test::RandomBoard(rng)));
    int rounds = 0;
    h.view.onEvents = [&] {
        if (++rounds == 30) h.Machine().SetLinkLost(true);
    };
    h.session->DealNextCommand();
    EXPECT_EQ(h.session->Closing(), CloseReason::LinkLost);
    EXPECT_TRUE(SameCards(h.set[1], first));
    EXPECT_EQ(h.set[1].status, kBoardComplete);
    EXPECT_EQ(h.set[2].status, kBoardEmpty);
    EXPECT_TRUE(h.set.modified);
}

TEST_F(ReadTest, FaultyReadResultIsRetried) {
    OpenRead(1, 2, ReadMode::PlayedBoards);
    const Board deal = test::RandomBoard(rng);
    h.Machine().PutReadStack(PlayedStack(deal));
    bool armed = false;
    h.view.onEvents = [&] {
        // Once the machine has reported the end of the step, the next reply is the read result's.
        if (!armed && h.link->State().MachineState != kStateBusy) {
            armed = true;
            h.Machine().InjectWireFault(WireFault::ShortReply, 1);
        }
    };
    h.session->DealCommand();
    EXPECT_TRUE(SameCards(h.set[1], deal));
    EXPECT_EQ(h.CommandCount(cmd::kReadResult), 2);
}

TEST_F(ReadTest, AnIncompleteReadLeavesTheBoardAsItWas) {
    OpenRead(1, 2, ReadMode::PlayedBoards);
    auto stack = PlayedStack(test::RandomBoard(rng));
    stack.pop_back(); // one card short: the machine goes idle after 51 cards
    h.Machine().PutReadStack(stack);
    h.session->DealCommand();
    EXPECT_EQ(h.session->LastStep().outcome, StepOutcome::NotDone);
    EXPECT_TRUE(h.session->LastStep().readResultReceived);
    EXPECT_EQ(h.session->LastStep().cardsRead[0], 1);
    EXPECT_EQ(h.set[1].status, kBoardEmpty);
    EXPECT_FALSE(h.set.modified);
    EXPECT_FALSE(Enabled(kDealNext));
}

TEST_F(ReadTest, ReadModeIsSaved) {
    OpenRead(1, 2, ReadMode::SimulateHandDealing);
    h.session->ReadModeClicked(ReadMode::PlayedBoards);
    EXPECT_EQ(h.settings.values[keys::kInitReadMode], "1");
    h.session->ReadModeClicked(ReadMode::SimulateHandDealing);
    EXPECT_EQ(h.settings.values[keys::kInitReadMode], "0");
}

} // namespace
} // namespace orvenix
