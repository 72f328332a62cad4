// The dealing and reading session: the logic of the `DealingWindow` window without any widget.
//
// In deal mode the session sends each board of the set to the machine, which drops every card into the
// prescribed pocket; in read mode it makes the machine read a stack of already dealt cards and records
// which pocket each card went to, filling an empty board. It follows the machine's state and pocket
// counts, moves through the boards, starts a step by button, foot pedal or card box, breaks a running
// step, clears a board in read mode, and keeps the card-recognition options.
//
// How a window uses it (src/ui):
//   - Build the session on the program's MachineLink (already opened with Open), a Clock, the board
//     set, the settings and dialogs, and a SessionView (usually the window itself).
//   - On showing: Load(); then a one-shot 2000 ms start-up timer calls StartupExchange().
//   - A 100 ms repeating poll timer calls PollTick(); the session starts and stops it through
//     SessionView::SetPollTimer.
//   - Every button, check box and option button calls its ...Command() / ...Clicked() method.
//   - After any call, Display() holds everything the window shows; the session also calls
//     SessionView::Refresh with the parts that changed.
//   - A step (DealCommand, DealNextCommand, or a pedal/box from PollTick) runs to its end inside the
//     call; it calls SessionView::ProcessEvents and SessionView::Wait, during which the window must only
//     let BreakCommand through (every other control is disabled while StepRunning()).
//   - SessionView::CloseWindow asks the window to close; the window's close handler calls Unload()
//     (the window unloading). The window refuses to close by its close box while StepRunning().
//   - The machine error dialog is SessionView::RunErrorDialog (see machine_errors.h).
// Messages (refusals, questions, the lost link) go through Dialogs with their fixed titles.
//
// Tests and the command-line tool drive the same object with a VirtualClock and an EmulatedMachine.
#pragma once

#include "dealing/card_settings.h"
#include "dealing/machine_errors.h"
#include "machine/clock.h"
#include "machine/link.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orvenix {

class Dialogs;
class Settings;

enum class SessionMode { Deal = 0, Read = 1 };

// Controls whose enabling the session decides (index into SessionDisplay::enabled).
enum SessionControl : int {
    kCmdFirst,
    kCmdPrev,
    kCmdNext,
    kCmdLast,
    kCmdDeal,
    kDealNext,
    kCmdBreak,
    kCmdClear,
    kCmdExit,
    kRecognitionOptions, // every national, card type, threshold and card index option button
    kCheckBoard,
    kStartFromBox,
    kSessionControlCount
};

// Background of a pocket count label.
enum class CountColour {
    None,  // not yet coloured (window opened, nothing drawn)
    Green, // exactly 13: red 0, green 255, blue 0
    Red,   // anything else: red 255, green 0, blue 0
};

// Index of the four pocket count labels.
enum : int { kCountNorth = 0, kCountEast = 1, kCountWest = 2, kCountSouth = 3 };

struct CountLabel {
    int count = 0;
    CountColour colour = CountColour::None;
    friend bool operator==(const CountLabel&, const CountLabel&) = default;
};

// Parts of the display, for SessionView::Refresh.
enum ViewPart : unsigned {
    kViewState = 1,     // stateText: the machine's state
    kViewDealTime = 2,  // dealTime: the step's time
    kViewControls = 4,  // enabled
    kViewCounts = 8,    // counts: the pocket counts
    kViewBoard = 16,    // picture (the board drawing, the points per hand), displayBoardsCaption
    kViewOptions = 32,  // options, startFromBox, readMode (after a rejected choice or a start-up rule)
    kViewCaptions = 64, // caption, button captions, visibility, fileName
    kViewAll = 127,
};

// Everything the window shows.
struct SessionDisplay {
    std::string caption;         // " Dealing Boards " / " Reading Boards "
    std::string dealCaption;     // the Deal button: "&Deal" / "&Read"
    std::string dealNextCaption; // the Deal next button: "Deal ne&xt" / "Read ne&xt"
    bool clearVisible = false;   // the Clear button: read mode only
    bool readModesVisible = false;
    std::string fileName; // the set's file name
    std::string stateText;
    std::string dealTime; // seconds since the step started, "##0.0"
    std::array<bool, kSessionControlCount> enabled{};
    std::array<CountLabel, 4> counts{}; // the pocket counts 0..3 = N, E, W, S
    std::string displayBoardsCaption = "Display Boards";
    BoardPicture picture;
    CardOptions options;
    bool startFromBox = false;
    ReadMode readMode = ReadMode::SimulateHandDealing;
};

class ErrorDialog;

// What a session starts with: the operator's choices that the dealing window keeps between runs, and
// what the command-line tool adds.
struct SessionOptions {
    ReadMode readMode = ReadMode::SimulateHandDealing;
    bool startFromBox = false; // "Start Dealing from Board Inserting": the card box starts a step too
    CardOptions card;
    bool readIntoFilledBoards = false; // read mode: read also into boards that hold cards (--replace); a
                                       // board's cards are replaced only when its read completes
};

// The options as the settings keep them: "Init_read_mode" ("0" hand dealing, anything else played
// boards), "Init_start_from_box" ("1" ticks) and the card options (LoadCardOptions).
SessionOptions LoadSessionOptions(Settings& settings);

// What the session needs from its window.
class SessionView {
  public:
    virtual ~SessionView() = default;
    // parts (ViewPart bits) of DealingSession::Display() changed.
    virtual void Refresh(unsigned parts) = 0;
    // Starts (100 ms, repeating) or stops the poll timer, whose ticks call DealingSession::PollTick.
    virtual void SetPollTimer(bool running) = 0;
    // The one-shot wait: returns after ms milliseconds, letting window events run meanwhile.
    virtual void Wait(int ms) = 0;
    // Lets pending window events run (the Break button during a step).
    virtual void ProcessEvents() = 0;
    // Shows the machine error dialog modally and returns once dialog.Closed(); meanwhile a 100 ms timer
    // calls dialog.Tick() and the buttons call its Press...() methods.
    virtual void RunErrorDialog(ErrorDialog& dialog) = 0;
    // Closes the window; its close handler then calls DealingSession::Unload. It may be called from
    // inside a step, a poll or the start-up exchange, which return right after it: the window must not
    // destroy the session before that call has returned (QDialog::done() from a modal exec() is fine).
    virtual void CloseWindow() = 0;
    // The main window's Save command (Yes to "save the current board set?" after the last board read).
    virtual void SaveBoardSet() = 0;
};

// Why the session asked the window to close.
enum class CloseReason {
    None,
    NoMachineReply,    // no info reply at start-up (`MsgCannotCommunicatePower`)
    ReadNeedsFirmware, // read mode on firmware older than 2.24
    LinkLost,          // two failed replies in a row (`MsgLostCommunicationDealing`)
    EndOfSet,          // No (or Yes and saved, in read mode) after the last board
    Exit,              // the Exit button
};

// How the last step (a press of Deal / Deal next, by button, pedal or box) ended.
enum class StepOutcome {
    None,      // no step yet
    Completed, // the board is done: 13 cards in each pocket (deal), or 13 cards read for each seat (read)
    NotDone,   // the machine stopped without an error, but the pockets do not hold 13 cards each (deal),
               // or no read result came or it does not give 13 cards to each seat (read); a board read
               // stays as it was
    Refused,   // refused before anything was sent (incomplete / non-empty board, firmware, board 640)
    Cancelled, // cancelled in the error dialog (machine error or board-number mismatch)
    LinkLost,  // the link was lost during the step
};

struct StepReport {
    StepOutcome outcome = StepOutcome::None;
    int board = 0;
    std::array<std::int16_t, 4> pocketCounts{}; // S, W, E, N as the machine counted them
    double seconds = 0;                         // time from the deal or read command to the end
    // Read mode: whether the machine sent its read result, and the cards it gives each seat (N, E, S, W
    // at 1 to 4; 0: cards no seat got).
    bool readResultReceived = false;
    std::array<int, 5> cardsRead{};
    // The last error dialog of the step, if one was shown.
    bool errorShown = false;
    ErrorDialogContent error;
};

class DealingSession {
  public:
    // store, when given, keeps every change of the options the operator makes (the window passes the
    // program's settings); without it the changes last for the session only.
    DealingSession(SessionMode mode, const SessionOptions& options, BoardSet& set, MachineLink& link,
                   Clock& clock, Dialogs& dialogs, SessionView& view, Settings* store = nullptr);
    ~DealingSession();
    DealingSession(const DealingSession&) = delete;
    DealingSession& operator=(const DealingSession&) = delete;

    // ---- Window events ----------------------------------------------------------------------------
    // Opening the window: captions by mode, state "Undefine", latch on, sequenceIndex 0, current board
    // = first board, start-from-box and reading mode and the card options from the session options. The
    // recognition options stay disabled until the start-up exchange ends.
    void Load();
    // The start-up timer's tick: info request, parameter blocks 1 and 2 (each with the retry rule),
    // the firmware and option rules; closes the window when the machine does not answer or cannot read.
    void StartupExchange();
    // One tick of the poll timer: a status poll; a reported pedal, or an inserted card box with "Start
    // Dealing from Board Inserting" ticked and ten quiet polls since the last box reset, starts the next
    // step.
    void PollTick();
    // Deal: refuses a non-empty board in read mode and an incomplete board in deal mode, else runs
    // DealHand.
    void DealCommand();
    // Deal next: moves to the next board and deals it; in read mode on the last board the set first
    // grows by one board (never past board 640).
    void DealNextCommand();
    // One status poll as the poll timer makes it, without starting anything: true when the operator asked for
    // the next step (the foot pedal, or the card box under "Start Dealing from Board Inserting"). The
    // command-line tool waits for the operator with it; PollTick is this poll plus the start.
    bool PollForStart();
    // Two status polls that acknowledge whatever pedal press or box insert the machine still holds, so
    // that a press from before a prompt does not start the board the prompt asks for.
    void ForgetOperatorSignals();
    // Break: asks the machine to stop the running step.
    void BreakCommand();
    void FirstCommand();
    void PrevCommand();
    void NextCommand();
    void LastCommand();
    // Moves to board n (first to last board) with the enabling rules of the navigation buttons. Not a
    // control of the window: the command-line tool uses it.
    void GoToBoard(int n);
    // Clear (read mode): after OK to `MsgClearBoardConfirm` every card of the board is unplaced.
    void ClearCommand();
    // Display boards / Hide boards.
    void DisplayBoardsCommand();
    // "Start Dealing from Board Inserting" and the two reading modes: saved at once.
    void StartFromBoxClicked(bool ticked);
    void ReadModeClicked(ReadMode mode);
    // Recognition options (saved at once; large index and the board check are checked against the
    // machine first). The window re-reads Display().options after each call: a refused choice is undone.
    void NationalClicked(int national);
    void CardTypeClicked(int cardType);
    void ThresholdClicked(int threshold);
    void CardIndexClicked(int cardIndex);
    void CheckBoardClicked(bool ticked);
    // Exit: latch off, then the window closes.
    void ExitCommand();
    // The window unloading: stops polling, latch off unless the link was lost, clears the pedal and box
    // flags, closes the link.
    void Unload();

    // One dealing or reading step on the current board (`DealHand`).
    void DealHand();
    // `DisplayHand`: draws the current board; flag 0 also shows the board's card counts per seat in the
    // count labels, flag 1 keeps the machine's last pocket counts there.
    void DisplayHand(int flag);

    // ---- State ------------------------------------------------------------------------------------
    [[nodiscard]] const SessionDisplay& Display() const { return display_; }
    [[nodiscard]] SessionMode Mode() const { return mode_; }
    [[nodiscard]] bool StepRunning() const { return stepRunning_; }
    // A poll or step is exchanging with the machine: the next poll waits.
    [[nodiscard]] bool StepBusy() const { return stepBusy_; }
    // The session has reported the lost link (and leaves the latch alone when it closes).
    [[nodiscard]] bool LinkLost() const { return linkLost_; }
    [[nodiscard]] int SequenceIndex() const { return sequenceIndex_; }
    [[nodiscard]] ErrorAction LastErrorAction() const { return errorAction_; }
    [[nodiscard]] bool Initialising() const { return initialising_; }
    [[nodiscard]] bool Trigger() const { return trigger_; }
    [[nodiscard]] bool DisplayHands() const { return displayHands_; }
    [[nodiscard]] bool PollTimerRunning() const { return pollTimer_; }
    [[nodiscard]] bool CloseRequested() const { return closeReason_ != CloseReason::None; }
    [[nodiscard]] CloseReason Closing() const { return closeReason_; }
    [[nodiscard]] const StepReport& LastStep() const { return lastStep_; }
    [[nodiscard]] int CurrentBoard() const { return set_.currentBoard; }

  private:
    void Refresh(unsigned parts);
    void Enable(SessionControl c, bool on);
    void SetPollTimer(bool running);
    void DisplayState();
    void ShowDealTime();
    void ShowMachineCounts(const std::array<std::int16_t, 4>& counts);
    void UpdateClearButton();
    void UpdateNavigation();
    bool CheckLostLink();
    void RequestClose(CloseReason reason);
    bool CanReadMore() const;
    bool BoardNumberCheck();
    bool SendStepCommand(std::uint8_t continueBoard);
    void EndOfStep(bool boardDone);
    bool TakeReadResult();
    void StopEarly();
    std::uint8_t RequestBits() const;
    double SecondsSinceStart();

    SessionMode mode_;
    BoardSet& set_;
    MachineLink& link_;
    Clock& clock_;
    SessionOptions options_;
    Settings& store_;
    Dialogs& dialogs_;
    SessionView& view_;
    MachineEvents savedEvents_;

    SessionDisplay display_;
    bool stepBusy_ = false;
    bool linkLost_ = false;
    std::uint64_t stepStartMs_ = 0;
    int sequenceIndex_ = 0;
    ErrorAction errorAction_ = kErrorActionCancel;
    std::uint8_t errorKind_ = 0;
    bool initialising_ = true;
    bool displayHands_ = false;
    bool trigger_ = false;
    bool pollTimer_ = false;
    bool stepRunning_ = false;
    CloseReason closeReason_ = CloseReason::None;
    StepReport lastStep_;
    // The board a read step fills; it replaces the current board only when the read is complete.
    Board readBoard_;
    bool showReadBoard_ = false;
};

// The machine state's text for a MachineState value (as MachineStateText).
std::string SessionStateText(std::int32_t state);
// A step time for the time box: seconds with one decimal, at least one digit before the point ("##0.0").
std::string FormatDealTime(double seconds);
// The stack of cards (top card first) that a read in the given mode turns into board's deal: the card
// positions take the pockets of the read command in turn (see FillReadCards), and each position gets the
// next card, in code order, of the seat of its pocket. Cards of incomplete hands are left out. Used to put
// a deal into the emulated machine for reading.
std::vector<CardCode> StackForDeal(const Board& board, ReadMode mode, Seat dealer);

} // namespace orvenix
