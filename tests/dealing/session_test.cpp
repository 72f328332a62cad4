// The dealing and reading session on the emulated machine, in virtual time.
#include "base/messages.h"
#include "support/session_harness.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

using enum SessionMode;
constexpr CountLabel kFull{13, CountColour::Green};

// True when the machine put every card of board where the board says.
bool DealtAsBoard(const EmulatedMachine& m, const Board& board) {
    return std::equal(board.cardOwner.begin() + 1, board.cardOwner.end(), m.CardPockets().begin() + 1,
                      [](Seat seat, PocketCode pocket) { return SeatToPocket[seat] == pocket; });
}

// The sum of the counts shown and how many of them are red.
std::pair<int, int> CountsShown(const SessionDisplay& d) {
    std::pair<int, int> out;
    for (const CountLabel& label : d.counts)
        out = {out.first + label.count, out.second + (label.colour == CountColour::Red ? 1 : 0)};
    return out;
}

// ---- Opening and the start-up exchange -------------------------------------------------------------

TEST(SessionOpen, TakesTheStoredChoicesAndChecksAndSavesClicksOnlyAfterTheStartUpExchange) {
    test::SessionHarness h(0x40, 4); // a board-number reader, no large-index cards
    h.set = test::RandomSet(3, 6);
    ClearBoard(h.set, 3); // to be read
    h.set.currentBoard = 5;
    h.settings.values = {{keys::kInitStartFromBox, "1"}, {keys::kInitReadMode, "1"}, {keys::kCardIndex, "1"}};
    h.settings.Write(keys::kCheckBoard, "x"); // anything but "0" ticks the board check
    DealingSession& s = h.Load(Read);
    const SessionDisplay& d = s.Display();
    const auto stored = h.settings.values;
    s.NationalClicked(4); // while initialising: neither checked nor saved
    s.CardIndexClicked(1);
    s.CheckBoardClicked(true);
    EXPECT_TRUE(d.clearVisible && d.readModesVisible && d.startFromBox && s.Trigger() && h.Machine().Latch());
    EXPECT_EQ(std::tuple(h.set.currentBoard, d.readMode, d.options, h.Controls(), h.settings.values),
              std::tuple(3, ReadMode::PlayedBoards, CardOptions{4, 0, 0, 1, true}, "--------E---", stored));
    h.clock->Advance(2000);
    s.StartupExchange();
    h.Poll();
    // The large index is undone silently at start-up.
    EXPECT_EQ(std::tuple(h.Controls(), h.pollTimer, d.picture.board, d.stateText, d.options,
                         h.dialogs.messages.size()),
              std::tuple("--NLD---ERKS", true, 3, "Idle", CardOptions{4, 0, 0, 0, true}, 0u));
    s.NationalClicked(kNationalDanish);
    s.CardTypeClicked(1);
    s.ThresholdClicked(2);
    s.ThresholdClicked(7); // no such option
    s.CheckBoardClicked(false);
    s.ReadModeClicked(ReadMode::SimulateHandDealing);
    s.StartFromBoxClicked(false);
    s.CardIndexClicked(1);
    const CardOptions chosen{kNationalDanish, 1, 2, 0, false};
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(std::tuple(d.options, LoadCardOptions(h.settings),
                         h.settings.values[keys::kInitReadMode] + h.settings.values[keys::kInitStartFromBox],
                         h.dialogs.Last().text),
              std::tuple(chosen, chosen, "00", MessageTemplate(MsgJumboNotSuitable)));
    s.DealCommand();
    EXPECT_EQ(h.Sent().at(0)[2], CommandByte2(chosen));
}

// ---- Dealing ------------------------------------------------------------------------------------------

TEST(SessionDeal, DealsAFourBoardSetToTheEndAndExits) {
    test::SessionHarness h;
    DealingSession& s = h.Open(Deal, 1, 4);
    std::set<std::string> times; // of the first board
    h.onEvents = [&, rounds = 0]() mutable {
        if (s.LastStep().board == 1) times.insert(s.Display().dealTime);
        EXPECT_EQ(std::tuple(h.Controls().substr(0, 9), h.pollTimer), std::tuple("------B--", false));
        if (++rounds == 10) h.Machine().PressPedal(); // acknowledged by the step's polls
        // Calls that still arrive while the buttons are disabled are ignored.
        s.PollTick();
        s.DealNextCommand();
        s.ExitCommand();
    };
    for (int n = 1; n <= 4; ++n) {
        h.Machine().PressPedal(); // Deal next is off at first: the first press deals the current board
        h.Poll();
        const StepReport& r = s.LastStep();
        // Each command carries the next sequence index, which wraps back to 0 after 3.
        EXPECT_EQ(std::tuple(r.outcome, r.board, DealtAsBoard(h.Machine(), h.set[n]), s.Display().dealTime,
                             s.Display().counts, h.Enabled(kDealNext), h.Sent().back()[3], s.SequenceIndex()),
                  std::tuple(StepOutcome::Completed, n, true, FormatDealTime(r.seconds),
                             std::array{kFull, kFull, kFull, kFull}, n < 4, n - 1, n % 4));
    }
    // The time went up in tenths of a second while the machine was busy: 52 cards at 20 ms.
    EXPECT_TRUE(times.size() > 5 && std::stod(*times.rbegin()) >= 1.0) << times.size();
    h.Poll(3); // the pedal pressed during a step starts nothing after it; only the end-of-set question
    s.ExitCommand();
    s.Unload();
    EXPECT_EQ(std::tuple(h.Sent().size(), h.set.modified, h.dialogs.messages.size(), s.Closing(),
                         h.Machine().Latch(), h.pollTimer, h.link->IsOpen()),
              std::tuple(4u, false, 1u, CloseReason::Exit, false, false, false));
}

TEST(SessionDeal, TheLastBoardAsksWhatComesNextOnceItIsDone) {
    // The last row: card 5 drops into the pocket after its own and the machine does not notice, leaving one
    // pocket with 14 cards and one with 12, in red, and the board not dealt.
    const std::tuple<SessionMode, Answer, int, int, bool, bool> cases[] = {
        {Deal, Answer::Yes, 1, 0, false, false},    {Deal, Answer::No, 2, 0, true, false},
        {Deal, Answer::Cancel, 2, 0, false, false}, {Read, Answer::Yes, 2, 1, true, false},
        {Read, Answer::No, 2, 0, true, false},      {Read, Answer::Cancel, 2, 0, false, false},
        {Deal, Answer::Yes, 2, 0, false, true}};
    for (const auto& [mode, answer, current, saves, closes, misroute] : cases) {
        test::SessionHarness h;
        h.Open(mode, 1, 2).LastCommand();
        h.Machine().PutReadStack(StackForDeal(test::RandomSet(1, 1, 3)[1], ReadMode::PlayedBoards, 1));
        if (misroute) h.Machine().InjectMisroute(5, SeatToPocket[h.set[2].cardOwner[5] % 4 + 1]);
        h.dialogs.QueueAnswer(answer);
        h.session->DealCommand();
        EXPECT_EQ(
            std::tuple(h.dialogs.messages.size(), h.dialogs.messages.empty() ? "" : h.dialogs.Last().text,
                       h.session->Closing(), h.pollTimer, h.set.currentBoard, h.saves, h.set.modified,
                       h.session->LastStep().outcome, CountsShown(h.session->Display())),
            std::tuple(
                misroute ? 0u : 1u,
                misroute ? "" : MessageTemplate(mode == Read ? MsgDealtLastSave : MsgDealtLastMoveFirst),
                closes ? CloseReason::EndOfSet : CloseReason::None, !closes, current, saves, mode == Read,
                misroute ? StepOutcome::NotDone : StepOutcome::Completed, std::pair(52, misroute ? 2 : 0)));
    }
}

TEST(SessionRefusals, NoAnswerOrOldFirmwareClosesAndNothingIsSentForABoardThatCannotBeDealtOrRead) {
    enum Kind { Silent, TooOld, Incomplete, HoldsCards, NationalTooNew };
    // The lowest firmware that reads (2.24) or deals (any) opens; a refusal comes after opening.
    const std::tuple<Kind, SessionMode, std::uint8_t, CloseReason, std::string> cases[] = {
        {Silent, Deal, 0x40, CloseReason::NoMachineReply, MessageTemplate(MsgCannotCommunicatePower)},
        {TooOld, Read, 0x23, CloseReason::ReadNeedsFirmware, FormatMessage(MsgReadNeedsFirmware, "2.23")},
        {HoldsCards, Read, 0x24, CloseReason::None, MessageTemplate(MsgBoardNotEmptyCannotRead)},
        {Incomplete, Deal, 0x10, CloseReason::None, MessageTemplate(MsgBoardIncompleteCannotDeal)},
        {NationalTooNew, Deal, 0x26, CloseReason::None, FormatMessage(MsgNationalNeedsFirmware, "2.26")}};
    for (const auto& [kind, mode, minor, close, text] : cases) {
        test::SessionHarness h(minor);
        h.settings.values[keys::kNational] = kind == NationalTooNew ? "3" : "0";
        h.Machine().SetLinkLost(kind == Silent);
        h.Open(mode, 1, 2);
        const bool open = close == CloseReason::None;
        if (kind == Incomplete || kind == HoldsCards) h.set[1].cardOwner[5] = kind == HoldsCards ? 2 : 0;
        AnalyseBoard(h.set[1]);
        if (open) h.session->DealCommand();
        EXPECT_EQ(std::tuple(h.session->Closing(), h.closeRequests, h.dialogs.messages.size(),
                             h.dialogs.Last().text, h.Sent().size(), h.pollTimer, open && h.Enabled(kCmdDeal),
                             h.session->LastStep().outcome, open ? h.dialogs.Last().title : ""),
                  std::tuple(close, open ? 0 : 1, 1u, text, 0u, open, open,
                             open ? StepOutcome::Refused : StepOutcome::None,
                             open ? (kind == HoldsCards ? "Reading Error" : "Dealing Error") : ""))
            << text;
    }
}

// ---- Navigation and the board drawing -------------------------------------------------------------------

TEST(SessionNavigation, StopsAtTheEndsAndDrawsEachBoard) {
    test::SessionHarness h;
    DealingSession& s = h.Open(Deal, 1, 3);
    // North is a card short on board 2: the count shows it, in red.
    *std::find(h.set[2].cardOwner.begin() + 1, h.set[2].cardOwner.end(), Seat{1}) = 0;
    AnalyseBoard(h.set[2]);
    using S = DealingSession;
    const std::pair<void (S::*)(), int> steps[] = {
        {&S::LastCommand, 3},          {&S::PrevCommand, 2}, {&S::DisplayBoardsCommand, 2},
        {&S::DisplayBoardsCommand, 2}, {&S::PrevCommand, 1}, {&S::PrevCommand, 1},
        {&S::NextCommand, 2},          {&S::NextCommand, 3}, {&S::NextCommand, 3},
        {&S::FirstCommand, 1}};
    bool hands = false; // the hands of the board in view, the short one too
    for (const auto& [command, board] : steps) {
        (s.*command)();
        hands ^= command == &S::DisplayBoardsCommand;
        EXPECT_EQ(std::tuple(h.set.currentBoard, s.Display().picture, s.Display().counts[kCountNorth],
                             h.Controls()),
                  std::tuple(board, MakeBoardPicture(h.set[board], board, hands, kNationalStandard),
                             board == 2 ? CountLabel{12, CountColour::Red} : kFull,
                             std::string(board > 1 ? "FP" : "--") + (board < 3 ? "NL" : "--") + "D---ERKS"));
    }
}

// ---- Machine errors and boards not dealt --------------------------------------------------------------

TEST(SessionMachineErrors, TheOperatorsAnswerDecidesWhetherTheBoardIsDealt) {
    enum How { None, Continue, Pedal, Cancel, Cancel2, Retry, Break };
    // Board 11 of 11..12. The error code shown: the machine's at a card (with a second one found when the
    // step continues at the same card), or the board check's for the label inserted (-1: a label that is no
    // board; it is read up to six times, 100 ms apart, before the operator is asked); and the answer. Then
    // the dialogs, label reads, commands sent, time waited and whether the board is dealt. A jam (12) has
    // only Cancel; Cancel2 deals the board anyway; Retry puts in the right board and presses Continue; the
    // pedal answers Continue, then Cancel.
    const std::tuple<int, int, int, int, How, std::size_t, std::size_t, std::size_t, int, bool> cases[] = {
        {3, 20, 0, 0, Continue, 1, 0, 2, 300, true}, {30, 5, 0, 0, Pedal, 1, 0, 2, 300, true},
        {12, 8, 0, 0, Cancel, 1, 0, 1, 300, false},  {1, 10, 2, 0, Continue, 2, 0, 3, 600, true},
        {57, 0, 0, 0, Break, 1, 0, 1, 300, false},   {0, 0, 0, 11, None, 0, 1, 1, 0, true},
        {65, 0, 0, 7, Cancel, 1, 6, 0, 600, false},  {64, 0, 0, -1, Cancel2, 1, 6, 1, 600, true},
        {65, 0, 0, 10, Retry, 1, 7, 1, 600, true},   {65, 0, 0, 3, Pedal, 2, 12, 0, 1200, false}};
    for (const auto& [code, atCard, again, label, how, dialogs, reads, sent, waited, dealt] : cases) {
        SCOPED_TRACE(testing::Message() << code << " " << label);
        test::SessionHarness h;
        h.settings.values[keys::kCheckBoard] = label != 0 ? "1" : "0";
        const DealingSession& s = h.Open(Deal, 11, 12);
        h.Machine().SetBoardLabel(label < 0 ? 16 : BoardLabelCode(label)); // 16: one bit set
        for (int e : {how == Break || label != 0 ? 0 : code, again})
            if (e != 0) h.Machine().InjectError(static_cast<std::uint8_t>(e), atCard);
        if (how == Break) h.onEvents = [&] { h.session->BreakCommand(); }; // while the machine deals
        std::pair<int, int> shownInDialog; // the machine's counts stay in view
        h.onErrorDialog = [&](ErrorDialog& d) {
            shownInDialog = CountsShown(s.Display());
            if (how == Continue) d.PressContinue();
            if (how == Pedal && h.errorDialogs.size() == 1) h.Machine().PressPedal();
            if (how == Cancel2) d.PressCancel2();
            if (how == Retry) h.Machine().InsertBoard(11);
            if (how == Retry) d.PressContinue();
            d.Tick();
        };
        h.session->DealCommand();
        const auto commands = h.Sent();
        ASSERT_EQ(h.errorDialogs.size(), dialogs);
        EXPECT_EQ(
            std::tuple(dialogs > 0 ? h.errorDialogs[0].code : 0, h.Sent(cmd::kSensors).size(),
                       commands.size(), h.waitedMs, s.LastStep().outcome, h.Enabled(kDealNext),
                       s.SequenceIndex(), h.pollTimer, DealtAsBoard(h.Machine(), h.set[11]),
                       h.Machine().CardPockets()[52] != 0,
                       label != 0 || how == Break || shownInDialog.first == atCard - 1,
                       // not shown as dealt: the labels keep the cards the machine dealt, in red
                       how != Cancel || label != 0 || CountsShown(s.Display()) == std::pair(atCard - 1, 4)),
            std::tuple(code, reads, sent, waited, dealt ? StepOutcome::Completed : StepOutcome::Cancelled,
                       dealt, sent > 0 ? 1 : 0, true, dealt, dealt, true, true));
        for (const PacketBuffer& p : commands) // continue the board: the same sequence index and cards
            EXPECT_EQ(std::tuple(p[1], p[3], std::vector(p.begin() + 8, p.begin() + 60)),
                      std::tuple(&p == &commands[0] ? 0 : 1, commands[0][3],
                                 std::vector(commands[0].begin() + 8, commands[0].begin() + 60)));
    }
}

// ---- Lost link ------------------------------------------------------------------------------------------

TEST(SessionLostLink, ClosesWithOneMessageAndLeavesTheLatchAlone) {
    enum Where { InStep, InPoll, InErrorDialog };
    for (Where where : {InStep, InPoll, InErrorDialog}) {
        test::SessionHarness h;
        h.Open(Deal, 1, 3);
        if (where == InStep) h.onEvents = [&] { h.Machine().SetLinkLost(true); }; // while the machine deals
        if (where == InErrorDialog) h.Machine().InjectError(4, 3);
        h.onErrorDialog = [&](ErrorDialog& d) {
            h.Machine().SetLinkLost(true);
            d.Tick();
            EXPECT_EQ(std::tuple(d.Closed(), h.dialogs.Last().text),
                      std::tuple(true, kErrorDialogLostLinkText));
        };
        h.Machine().SetLinkLost(where == InPoll);
        where == InPoll ? h.Poll() : h.session->DealCommand();
        h.session->PollTick(); // the poll stays blocked while the window closes
        // One message, after the one of the error dialog.
        EXPECT_EQ(std::tuple(h.session->Closing(), h.dialogs.messages.size(), h.dialogs.Last().text,
                             h.pollTimer || h.session->StepRunning(), h.session->LastStep().outcome),
                  std::tuple(CloseReason::LinkLost, where == InErrorDialog ? 2u : 1u,
                             MessageTemplate(MsgLostCommunicationDealing), false,
                             where == InPoll ? StepOutcome::None : StepOutcome::LinkLost));
        h.session->Unload(); // a lost link leaves the latch as it is
        EXPECT_EQ(std::tuple(h.Machine().Latch(), h.link->IsOpen()), std::tuple(true, false));
    }
}

// ---- Reading ----------------------------------------------------------------------------------------------

TEST(SessionRead, ClearEmptiesABoardAndReadingPastTheLastBoardGrowsTheSetUpToBoard640) {
    test::SessionHarness h;
    DealingSession& s = h.Open(Read, 639, 639, true);
    h.dialogs.QueueAnswer(Answer::Cancel);
    s.ClearCommand();
    EXPECT_EQ(std::tuple(h.Enabled(kCmdClear), h.dialogs.Last().text, h.set[639].status),
              std::tuple(true, MessageTemplate(MsgClearBoardConfirm), kBoardComplete));
    s.ClearCommand(); // OK
    EXPECT_EQ(std::tuple(h.set[639].status, h.set[639].cardOwner, h.set[639].cardCount, h.set[639].dealer,
                         h.Enabled(kCmdClear), h.set.modified),
              std::tuple(kBoardEmpty, Board{}.cardOwner, Board{}.cardCount, DealerOf(639), false, true));
    const Board deals[] = {test::RandomSet(1, 1, 639)[1], test::RandomSet(1, 1, 640)[1]};
    h.Machine().PutReadStack(StackForDeal(deals[0], ReadMode::PlayedBoards, 1));
    h.dialogs.QueueAnswer(Answer::Cancel); // to "save the set?" after the last board
    s.DealCommand();
    s.FirstCommand(); // the first board is the last one: Deal next may add a board
    h.Machine().PutReadStack(StackForDeal(deals[1], ReadMode::PlayedBoards, 1));
    h.dialogs.QueueAnswer(Answer::Cancel);
    h.Machine().PressPedal();
    h.Poll(); // the pedal does Deal next
    EXPECT_EQ(std::tuple(h.set.lastBoard, h.set.currentBoard, h.set[640].number, h.set[640].dealer,
                         h.set[640].status, h.set[639].cardOwner, h.set[640].cardOwner, h.Enabled(kDealNext)),
              std::tuple(640, 640, 640, DealerOf(640), kBoardComplete, deals[0].cardOwner, deals[1].cardOwner,
                         false));
    s.DealNextCommand();
    s.GoToBoard(640); // the last board a set can hold: Deal next stays off
    EXPECT_EQ(std::tuple(h.set.lastBoard, s.LastStep().outcome, h.dialogs.Last().title, h.Sent().size(),
                         h.Enabled(kDealNext)),
              std::tuple(640, StepOutcome::Refused, "Reading Error", 2u, false));
}

} // namespace
} // namespace orvenix
