#include "dealing/session.h"

#include "base/dialogs.h"
#include "base/messages.h"
#include "base/settings.h"

#include <algorithm>
#include <cstdio>

namespace orvenix {

namespace {

constexpr int kBoxQuietPolls = 10;
constexpr int kBoardCheckRetries = 5; // the label is read up to six times
constexpr int kBoardCheckWaitMs = 100;
constexpr int kAfterErrorWaitMs = 300;
constexpr int kHandCards = 13;

// Where a session without a store saves the operator's changes: nowhere.
class NoStore : public Settings {
  public:
    std::optional<std::string> Lookup(const std::string&) override { return std::nullopt; }
    void Write(const std::string&, const std::string&) override {}
};

Settings& NoStoreAtAll() {
    static NoStore store;
    return store;
}

CountLabel CountOf(int count) {
    return {count, count == kHandCards ? CountColour::Green : CountColour::Red};
}

} // namespace

SessionOptions LoadSessionOptions(Settings& settings) {
    SessionOptions o;
    o.readMode = settings.Read(keys::kInitReadMode, "0") == "0" ? ReadMode::SimulateHandDealing
                                                                : ReadMode::PlayedBoards;
    o.startFromBox = settings.Read(keys::kInitStartFromBox, "0") == "1";
    o.card = LoadCardOptions(settings);
    return o;
}

std::string SessionStateText(std::int32_t state) {
    return MachineStateText(state);
}

std::string FormatDealTime(double seconds) {
    if (seconds < 0) seconds = 0;
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", seconds);
    return text;
}

std::vector<CardCode> StackForDeal(const Board& board, ReadMode mode, Seat dealer) {
    PacketBuffer p{};
    FillReadCards(p, mode, dealer);
    std::array<std::vector<CardCode>, 5> cards; // by seat, in code order
    for (int c = 1; c <= kCards; ++c) {
        const std::uint8_t owner = board.cardOwner[static_cast<std::size_t>(c)];
        if (owner >= 1 && owner <= 4) cards[owner].push_back(static_cast<CardCode>(c));
    }
    std::array<std::size_t, 5> next{};
    std::vector<CardCode> stack;
    for (std::size_t i = 0; i < kCards; ++i) {
        const PocketCode pocket = p[kFirstCardByte + i];
        const Seat seat = pocket <= 4 ? PocketToSeat[pocket] : 0;
        if (seat == 0 || next[seat] >= cards[seat].size()) continue;
        stack.push_back(cards[seat][next[seat]++]);
    }
    return stack;
}

DealingSession::DealingSession(SessionMode mode, const SessionOptions& options, BoardSet& set,
                               MachineLink& link, Clock& clock, Dialogs& dialogs, SessionView& view,
                               Settings* store)
    : mode_(mode), set_(set), link_(link), clock_(clock), options_(options),
      store_(store != nullptr ? *store : NoStoreAtAll()), dialogs_(dialogs), view_(view),
      savedEvents_(link.Events()) {
    link_.Events().stateChanged = [this] { DisplayState(); };
    link_.Events().pocketCounts = [this](const std::array<std::int16_t, 4>& counts) {
        ShowMachineCounts(counts);
    };
    link_.Events().busy = [this] { ShowDealTime(); };
}

DealingSession::~DealingSession() {
    link_.Events() = savedEvents_;
    link_.SetReadTarget(nullptr);
}

// ---- Display ----------------------------------------------------------------------------------------

void DealingSession::Refresh(unsigned parts) {
    view_.Refresh(parts);
}

void DealingSession::Enable(SessionControl c, bool on) {
    display_.enabled[static_cast<std::size_t>(c)] = on;
}

void DealingSession::SetPollTimer(bool running) {
    if (running && CloseRequested()) running = false;
    pollTimer_ = running;
    view_.SetPollTimer(running);
}

void DealingSession::DisplayState() {
    const std::string text = SessionStateText(link_.State().MachineState);
    if (text == display_.stateText) return;
    display_.stateText = text;
    Refresh(kViewState);
}

void DealingSession::ShowDealTime() {
    display_.dealTime = FormatDealTime(SecondsSinceStart());
    Refresh(kViewDealTime);
}

double DealingSession::SecondsSinceStart() {
    const std::uint64_t now = clock_.NowMs();
    return now >= stepStartMs_ ? static_cast<double>(now - stepStartMs_) / 1000.0 : 0.0;
}

void DealingSession::ShowMachineCounts(const std::array<std::int16_t, 4>& counts) {
    display_.counts[kCountSouth] = CountOf(counts[kPocketSouth]);
    display_.counts[kCountWest] = CountOf(counts[kPocketWest]);
    display_.counts[kCountEast] = CountOf(counts[kPocketEast]);
    display_.counts[kCountNorth] = CountOf(counts[kPocketNorth]);
    Refresh(kViewCounts);
}

void DealingSession::DisplayHand(int flag) {
    const int n = set_.currentBoard;
    if (n < 1 || n > kMaxBoard) return;
    // While a read step runs, the picture shows what the machine has read so far.
    const Board& board = showReadBoard_ && stepRunning_ ? readBoard_ : set_[n];
    display_.picture = MakeBoardPicture(board, n, displayHands_, display_.options.national);
    unsigned parts = kViewBoard;
    if (flag == 0) {
        display_.counts[kCountNorth] = CountOf(board.cardCount[1]);
        display_.counts[kCountEast] = CountOf(board.cardCount[2]);
        display_.counts[kCountSouth] = CountOf(board.cardCount[3]);
        display_.counts[kCountWest] = CountOf(board.cardCount[4]);
        parts |= kViewCounts;
    }
    Refresh(parts);
}

void DealingSession::UpdateClearButton() {
    const int n = set_.currentBoard;
    Enable(kCmdClear, n >= 1 && n <= kMaxBoard && set_[n].status != kBoardEmpty);
}

bool DealingSession::CanReadMore() const {
    return mode_ == SessionMode::Read && set_.currentBoard == set_.lastBoard && set_.lastBoard < kMaxBoard;
}

void DealingSession::UpdateNavigation() {
    Enable(kCmdNext, set_.currentBoard < set_.lastBoard);
    Enable(kCmdLast, set_.currentBoard < set_.lastBoard);
    Enable(kCmdFirst, set_.currentBoard > set_.firstBoard);
    Enable(kCmdPrev, set_.currentBoard > set_.firstBoard);
}

// ---- Opening and closing ----------------------------------------------------------------------------

void DealingSession::Load() {
    const bool read = mode_ == SessionMode::Read;
    errorKind_ = 0;
    initialising_ = true;
    linkLost_ = false;
    closeReason_ = CloseReason::None;
    display_.enabled.fill(false);
    display_.readModesVisible = read;
    SetPollTimer(false);
    displayHands_ = false;
    display_.displayBoardsCaption = "Display Boards";
    link_.ResetErrorCount();
    set_.currentBoard = set_.firstBoard;
    display_.caption = read ? " Reading Boards " : " Dealing Boards ";
    display_.dealCaption = read ? "&Read" : "&Deal";
    display_.dealNextCaption = read ? "Read ne&xt" : "Deal ne&xt";
    display_.clearVisible = read;
    // Until the start-up exchange is over only Exit works.
    Enable(kCmdExit, true);
    link_.AssumeMachineState(kStateUndefine);
    display_.stateText.clear();
    DisplayState();
    display_.fileName = set_.fileName;
    link_.LatchOn();
    sequenceIndex_ = 0;
    link_.ResetBoxCounters();
    trigger_ = options_.startFromBox;
    display_.startFromBox = trigger_;
    display_.readMode = options_.readMode;
    display_.options = options_.card;
    Refresh(kViewAll);
}

void DealingSession::StartupExchange() {
    if (CloseRequested()) return;
    const SharedMachineState& st = link_.State();
    link_.FlushBuffers();
    // The info request: one command, one reply, no retry.
    link_.BuildShort(cmd::kInfo);
    link_.SendShortPacket();
    link_.ReceiveReply();
    DisplayState();
    DisplayHand(0);
    DisplayState();

    Enable(kCmdFirst, false);
    Enable(kCmdPrev, false);
    Enable(kRecognitionOptions, true);
    Enable(kCheckBoard, true);
    Enable(kStartFromBox, true);
    // Next and Last only when there is a board after the current (first) one, also for sets that do not
    // start at board 1.
    Enable(kCmdNext, set_.currentBoard < set_.lastBoard);
    Enable(kCmdLast, set_.currentBoard < set_.lastBoard);
    UpdateClearButton();
    Enable(kCmdDeal, true);
    Enable(kCmdExit, true);
    Enable(kDealNext, false);
    Refresh(kViewControls);

    link_.ResetErrorCount();
    stepBusy_ = false;
    link_.ForgetInfo();
    link_.ClearPedalFlag();
    link_.RequestInfo();
    for (std::uint8_t block : {std::uint8_t{1}, std::uint8_t{2}})
        link_.RequestParameterBlock(block);

    if (!st.infoReceived) {
        dialogs_.Show(MessageTemplate(MsgCannotCommunicatePower), "Communication Error", Buttons::Ok,
                      Icon::Critical);
        RequestClose(CloseReason::NoMachineReply);
        return;
    }
    if (mode_ == SessionMode::Read && !ReadingSupported(st)) {
        dialogs_.Show(FormatMessage(MsgReadNeedsFirmware, FirmwareText(st.firmwareMajor, st.firmwareMinor)),
                      "Reading Error", Buttons::Ok, Icon::Critical);
        RequestClose(CloseReason::ReadNeedsFirmware);
        return;
    }
    ApplyMachineLimits(display_.options, st, store_);
    initialising_ = false;
    Refresh(kViewOptions | kViewControls);
    SetPollTimer(true);
}

void DealingSession::ExitCommand() {
    if (stepRunning_) return;
    link_.LatchOff();
    RequestClose(CloseReason::Exit);
}

void DealingSession::Unload() {
    SetPollTimer(false);
    if (!linkLost_) link_.LatchOff();
    link_.ClearOperatorSignals();
    link_.SetReadTarget(nullptr);
    link_.Close();
}

void DealingSession::RequestClose(CloseReason reason) {
    if (CloseRequested()) return;
    closeReason_ = reason;
    SetPollTimer(false);
    view_.CloseWindow();
}

bool DealingSession::CheckLostLink() {
    if (linkLost_) return true;
    if (link_.State().commErrorCount < 2) return false;
    dialogs_.Show(MessageTemplate(MsgLostCommunicationDealing), "Dealing Error", Buttons::Ok, Icon::Critical);
    linkLost_ = true;
    RequestClose(CloseReason::LinkLost);
    return true;
}

// ---- The status poll --------------------------------------------------------------------------------

std::uint8_t DealingSession::RequestBits() const {
    return link_.AcknowledgeBits();
}

bool DealingSession::PollForStart() {
    if (stepBusy_ || stepRunning_ || CloseRequested() || initialising_) return false;
    stepBusy_ = true;
    const SharedMachineState& st = link_.State();
    link_.RequestStatus(RequestBits());
    DisplayState();
    if (CheckLostLink()) return false; // the poll stays blocked: the window is closing
    link_.CountQuietPoll(kBoxQuietPolls);
    const bool pedal = st.pedalFlag;
    const bool box = st.boxFlag && trigger_ && st.boxCounterAtInsert == kBoxQuietPolls;
    stepBusy_ = false;
    return pedal || box;
}

void DealingSession::ForgetOperatorSignals() {
    if (stepBusy_ || stepRunning_ || CloseRequested() || initialising_) return;
    // The first reply tells what is held, the second request acknowledges it.
    for (int i = 0; i < 2; ++i) {
        link_.RequestStatus(RequestBits());
        if (CheckLostLink()) return;
    }
}

void DealingSession::PollTick() {
    if (!PollForStart()) return;
    if (display_.enabled[kDealNext])
        DealNextCommand();
    else
        DealCommand();
}

// ---- Steps ------------------------------------------------------------------------------------------

void DealingSession::DealCommand() {
    if (stepRunning_ || CloseRequested()) return;
    stepStartMs_ = clock_.NowMs();
    const int n = set_.currentBoard;
    lastStep_ = StepReport{};
    lastStep_.board = n;
    if (n < 1 || n > kMaxBoard) {
        lastStep_.outcome = StepOutcome::Refused;
        return;
    }
    if (mode_ == SessionMode::Read) {
        if (set_[n].status != kBoardEmpty && !options_.readIntoFilledBoards) {
            dialogs_.Show(MessageTemplate(MsgBoardNotEmptyCannotRead), "Reading Error", Buttons::Ok,
                          Icon::Exclamation);
            lastStep_.outcome = StepOutcome::Refused;
            return;
        }
    } else if (set_[n].status != kBoardComplete) {
        dialogs_.Show(MessageTemplate(MsgBoardIncompleteCannotDeal), "Dealing Error", Buttons::Ok,
                      Icon::Exclamation);
        lastStep_.outcome = StepOutcome::Refused;
        return;
    }
    DealHand();
}

void DealingSession::DealNextCommand() {
    if (stepRunning_ || CloseRequested()) return;
    if (mode_ == SessionMode::Read && set_.currentBoard == set_.lastBoard) {
        if (set_.lastBoard >= kMaxBoard) {
            // The set holds boards up to 640 only: nothing is added and nothing is read.
            lastStep_ = StepReport{};
            lastStep_.board = set_.currentBoard;
            lastStep_.outcome = StepOutcome::Refused;
            dialogs_.Show("Board " + std::to_string(kMaxBoard) +
                              " is the last board a set can hold; no board can be added after it.",
                          "Reading Error", Buttons::Ok, Icon::Exclamation);
            Enable(kDealNext, false);
            Refresh(kViewControls);
            return;
        }
        const int n = set_.lastBoard + 1;
        ClearBoard(set_, n);
        NumberBoard(set_[n], n);
        set_.lastBoard = static_cast<std::int16_t>(n);
    }
    NextCommand();
    DealCommand();
}

bool DealingSession::BoardNumberCheck() {
    const SharedMachineState& st = link_.State();
    for (;;) {
        int attempts = 0;
        for (;;) {
            link_.RequestBoardLabel();
            if (CheckLostLink()) return false;
            if (st.readBoardNumber == set_.currentBoard) break;
            view_.Wait(kBoardCheckWaitMs);
            if (CloseRequested()) return false;
            if (++attempts > kBoardCheckRetries) break;
        }
        errorAction_ = kErrorActionDealCurrent;
        if (st.readBoardNumber != set_.currentBoard) {
            errorKind_ = kErrorKindBoardCheck;
            ErrorDialog dialog(
                link_, dialogs_,
                MakeErrorDialogContent(errorKind_, st.statusCode, st.readBoardNumber, set_.currentBoard));
            lastStep_.errorShown = true;
            lastStep_.error = dialog.Content();
            view_.RunErrorDialog(dialog);
            errorAction_ = dialog.Action();
            if (dialog.AnsweredByPedal()) stepBusy_ = false;
            errorKind_ = 0;
            view_.ProcessEvents();
            if (CloseRequested()) return false;
        }
        if (errorAction_ == kErrorActionContinue) continue;
        return errorAction_ == kErrorActionDealCurrent;
    }
}

bool DealingSession::SendStepCommand(std::uint8_t continueBoard) {
    const int n = set_.currentBoard;
    const Board& board = set_[n];
    const std::uint8_t options = CommandByte2(display_.options);
    link_.Exchange([&](PacketBuffer& p) {
        if (mode_ == SessionMode::Read)
            link_.BuildReadCommand(p, display_.readMode, EffectiveDealer(board, n), continueBoard, options,
                                   sequenceIndex_);
        else
            link_.BuildDealCommand(p, board, continueBoard, options, sequenceIndex_);
    });
    return !CheckLostLink();
}

void DealingSession::StopEarly() {
    showReadBoard_ = false;
    stepRunning_ = false;
    stepBusy_ = false;
    SetPollTimer(true);
}

void DealingSession::DealHand() {
    if (stepRunning_ || CloseRequested()) return;
    const SharedMachineState& st = link_.State();
    const int n = set_.currentBoard;
    lastStep_ = StepReport{};
    lastStep_.board = n;
    if (!NationalAllowed(display_.options, st, dialogs_)) {
        lastStep_.outcome = StepOutcome::Refused;
        return;
    }
    stepRunning_ = true;
    SetPollTimer(false);

    if (display_.options.checkBoard && !BoardNumberCheck()) {
        lastStep_.outcome = linkLost_ || CloseRequested() ? StepOutcome::LinkLost : StepOutcome::Cancelled;
        return StopEarly();
    }

    stepStartMs_ = clock_.NowMs();
    stepBusy_ = true;
    for (SessionControl c :
         {kCmdFirst, kCmdPrev, kCmdNext, kCmdLast, kCmdDeal, kDealNext, kCmdClear, kCmdExit})
        Enable(c, false);
    Enable(kCmdBreak, true);
    Refresh(kViewControls);
    link_.ClearPocketCounts();
    ShowMachineCounts(st.pocketCount);

    auto lost = [&] {
        lastStep_.outcome = StepOutcome::LinkLost;
        lastStep_.pocketCounts = st.pocketCount;
        lastStep_.seconds = SecondsSinceStart();
        StopEarly();
    };

    if (!SendStepCommand(0)) return lost();
    for (;;) {
        // Follow the machine while it is busy.
        do {
            link_.RequestStatus(RequestBits());
            DisplayState();
            view_.ProcessEvents();
            if (CheckLostLink()) return lost();
        } while (st.MachineState == kStateBusy);
        DisplayState();

        if (mode_ == SessionMode::Read && !TakeReadResult()) return lost();

        errorAction_ = kErrorActionCancel;
        if (st.statusCode != 0) {
            DisplayHand(1);
            ErrorDialog dialog(link_, dialogs_,
                               MakeErrorDialogContent(0, st.statusCode, st.readBoardNumber, n));
            lastStep_.errorShown = true;
            lastStep_.error = dialog.Content();
            view_.RunErrorDialog(dialog);
            errorAction_ = dialog.Action();
            if (dialog.AnsweredByPedal()) stepBusy_ = false;
            view_.Wait(kAfterErrorWaitMs);
            view_.ProcessEvents();
        }
        if (errorAction_ == kErrorActionContinue) {
            link_.AssumeMachineState(kStateBusy);
            DisplayState();
            if (!SendStepCommand(1)) return lost();
        } else {
            link_.RequestInfo();
            if (CheckLostLink()) return lost();
        }
        if (st.statusCode == 0 || errorAction_ == kErrorActionCancel) break;
    }

    lastStep_.pocketCounts = st.pocketCount;
    lastStep_.seconds = SecondsSinceStart();
    display_.dealTime = FormatDealTime(lastStep_.seconds);
    Refresh(kViewDealTime);
    // A board is done only when all 52 cards are where they belong: the machine can go idle without an
    // error code and still leave a pocket short (a card that fell beside it, a board not put in), and a
    // read can come back incomplete or not at all.
    bool done = false;
    if (st.statusCode == 0) {
        if (mode_ == SessionMode::Read) {
            done = lastStep_.readResultReceived && readBoard_.status == kBoardComplete;
            if (done) {
                // A board read from the machine is a change of the set that must not be lost unasked.
                set_[n] = readBoard_;
                set_.modified = true;
            }
        } else {
            done = std::all_of(st.pocketCount.begin(), st.pocketCount.end(),
                               [](std::int16_t c) { return c == kHandCards; });
        }
    }
    showReadBoard_ = false;
    if (done) {
        lastStep_.outcome = StepOutcome::Completed;
        AnalyseBoard(set_[n]);
        if (set_.currentBoard < set_.lastBoard) {
            Enable(kDealNext, true);
        } else if (mode_ == SessionMode::Read) {
            DisplayHand(1);
            const Answer a = dialogs_.Show(MessageTemplate(MsgDealtLastSave), "Reading", Buttons::YesNoCancel,
                                           Icon::Information);
            if (a == Answer::Yes) view_.SaveBoardSet();
            if (a == Answer::Yes || a == Answer::No) RequestClose(CloseReason::EndOfSet);
        } else {
            const Answer a = dialogs_.Show(MessageTemplate(MsgDealtLastMoveFirst), "Dealing",
                                           Buttons::YesNoCancel, Icon::Information);
            if (a == Answer::Yes) set_.currentBoard = set_.firstBoard;
            if (a == Answer::No) RequestClose(CloseReason::EndOfSet);
        }
    } else {
        lastStep_.outcome = st.statusCode == 0 ? StepOutcome::NotDone : StepOutcome::Cancelled;
    }
    if (CloseRequested()) {
        stepRunning_ = false;
        stepBusy_ = false;
        return;
    }
    EndOfStep(done);
}

bool DealingSession::TakeReadResult() {
    const int n = set_.currentBoard;
    // The read fills a copy of the board; the board itself changes only when the read is complete.
    readBoard_ = set_[n];
    readBoard_.cardOwner.fill(0);
    readBoard_.number = static_cast<std::int16_t>(n);
    AnalyseBoard(readBoard_);
    link_.SetReadTarget(&readBoard_);
    const bool good = link_.RequestReadResult();
    link_.SetReadTarget(nullptr);
    if (CheckLostLink()) return false;
    lastStep_.readResultReceived = good && link_.LastReply()[0] == reply::kReadResult;
    lastStep_.cardsRead = {};
    if (lastStep_.readResultReceived) {
        for (int c = 1; c <= kCards; ++c)
            ++lastStep_.cardsRead[readBoard_.cardOwner[static_cast<std::size_t>(c)]];
        showReadBoard_ = true;
    }
    return true;
}

void DealingSession::EndOfStep(bool boardDone) {
    UpdateNavigation();
    UpdateClearButton();
    Enable(kCmdBreak, false);
    Enable(kCmdDeal, true);
    Enable(kCmdExit, true);
    Refresh(kViewControls);
    DisplayState();
    // A board that is not done keeps the machine's counts in view, in red where a pocket is not full.
    DisplayHand(boardDone ? 0 : 1);
    sequenceIndex_ = (sequenceIndex_ + 1) & 3;
    stepRunning_ = false;
    stepBusy_ = false;
    SetPollTimer(true);
}

void DealingSession::BreakCommand() {
    if (CloseRequested()) return;
    link_.Exchange([this](PacketBuffer&) { link_.BuildShort(cmd::kStatus, {kRequestBreak}); });
    CheckLostLink();
}

// ---- Navigation -------------------------------------------------------------------------------------

void DealingSession::GoToBoard(int n) {
    if (stepRunning_ || !set_.exists()) return;
    if (n < set_.firstBoard) n = set_.firstBoard;
    if (n > set_.lastBoard) n = set_.lastBoard;
    set_.currentBoard = static_cast<std::int16_t>(n);
    Enable(kDealNext, CanReadMore());
    UpdateNavigation();
    UpdateClearButton();
    Refresh(kViewControls);
    DisplayHand(0);
}

void DealingSession::FirstCommand() {
    GoToBoard(set_.firstBoard);
}

void DealingSession::LastCommand() {
    if (stepRunning_) return;
    set_.currentBoard = set_.lastBoard;
    Enable(kDealNext, false);
    UpdateNavigation();
    UpdateClearButton();
    Refresh(kViewControls);
    DisplayHand(0);
}

void DealingSession::PrevCommand() {
    if (stepRunning_) return;
    if (set_.currentBoard > set_.firstBoard) --set_.currentBoard;
    GoToBoard(set_.currentBoard);
}

void DealingSession::NextCommand() {
    if (stepRunning_) return;
    Enable(kDealNext, false);
    if (set_.currentBoard < set_.lastBoard) ++set_.currentBoard;
    UpdateNavigation();
    UpdateClearButton();
    Refresh(kViewControls);
    DisplayHand(0);
}

// ---- Other commands ---------------------------------------------------------------------------------

void DealingSession::ClearCommand() {
    if (stepRunning_ || mode_ != SessionMode::Read) return;
    const int n = set_.currentBoard;
    if (n < 1 || n > kMaxBoard) return;
    if (dialogs_.Show(MessageTemplate(MsgClearBoardConfirm), "Clear Board", Buttons::OkCancel,
                      Icon::Question) != Answer::Ok)
        return;
    Board& board = set_[n];
    board.cardOwner.fill(0);
    board.cardCount.fill(0);
    board.shapeIndex.fill(0);
    board.highCardPoints.fill(0);
    board.distributionPoints.fill(0);
    board.status = kBoardEmpty;
    set_.modified = true;
    UpdateClearButton();
    Refresh(kViewControls);
    DisplayHand(0);
}

void DealingSession::DisplayBoardsCommand() {
    displayHands_ = !displayHands_;
    display_.displayBoardsCaption = displayHands_ ? "Hide boards" : "Display boards";
    DisplayHand(0);
}

void DealingSession::StartFromBoxClicked(bool ticked) {
    trigger_ = ticked;
    display_.startFromBox = ticked;
    store_.Write(keys::kInitStartFromBox, ticked ? "1" : "0");
    Refresh(kViewOptions);
}

void DealingSession::ReadModeClicked(ReadMode mode) {
    display_.readMode = mode;
    store_.Write(keys::kInitReadMode, mode == ReadMode::SimulateHandDealing ? "0" : "1");
    Refresh(kViewOptions);
}

void DealingSession::NationalClicked(int national) {
    if (national < 0 || national >= kNationalSets) return;
    display_.options.national = national;
    if (!initialising_) SaveNational(store_, display_.options);
    Refresh(kViewOptions);
    DisplayHand(0);
}

void DealingSession::CardTypeClicked(int cardType) {
    if (cardType < 0 || cardType > 1) return;
    display_.options.cardType = cardType;
    if (!initialising_) SaveCardType(store_, display_.options);
    Refresh(kViewOptions);
}

void DealingSession::ThresholdClicked(int threshold) {
    if (threshold < 0 || threshold > 2) return;
    display_.options.threshold = threshold;
    if (!initialising_) SaveThreshold(store_, display_.options);
    Refresh(kViewOptions);
}

void DealingSession::CardIndexClicked(int cardIndex) {
    if (cardIndex < 0 || cardIndex > 1) return;
    if (initialising_) {
        display_.options.cardIndex = cardIndex;
    } else if (cardIndex == 0) {
        display_.options.cardIndex = 0;
        SaveCardIndex(store_, display_.options);
    } else {
        ChooseLargeIndex(display_.options, link_.State(), store_, dialogs_,
                         [this] { Refresh(kViewOptions); });
    }
    Refresh(kViewOptions);
}

void DealingSession::CheckBoardClicked(bool ticked) {
    if (initialising_)
        display_.options.checkBoard = ticked;
    else
        ChooseCheckBoard(display_.options, ticked, link_.State(), store_, dialogs_,
                         [this] { Refresh(kViewOptions); });
    Refresh(kViewOptions);
}

} // namespace orvenix
