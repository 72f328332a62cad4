// Machine errors and the logic of the error dialog (`MachineErrorDialog`).
//
// When a dealing or reading step stops with an error code from the machine, or when the board in the
// machine does not carry the expected board-number label, the dealing session opens the error dialog
// modally (SessionView::RunErrorDialog). The dialog names the error, shows its code, offers the buttons
// that make sense for it, keeps polling the machine every 100 ms while it is open (so that the foot pedal
// can answer it and a lost link is noticed) and hands the operator's choice back as an ErrorAction.
//
// The window's part (src/ui): build the dialog from ErrorDialog::Content() (caption, label texts, button
// captions and visibility), play the system's exclamation sound when it opens, start a 100 ms timer
// that calls Tick(), forward the three buttons to PressContinue(), PressCancel() and
// PressCancel2(), and close (stopping the timer) as soon as Closed() is true after any of these calls.
// Closing the dialog by its close box or Escape is PressCancel().
#pragma once

#include <cstdint>
#include <string>

namespace orvenix {

class Dialogs;
class MachineLink;

// The step's reading of the dialog's answer (`errorAction`).
enum ErrorAction : std::uint8_t {
    kErrorActionCancel = 0,      // cancel the step
    kErrorActionContinue = 1,    // machine error: continue the board; board check: try again
    kErrorActionDealCurrent = 2, // board check: deal to the current board although the number differs
};

// The error-dialog kind of a board-number mismatch; 0 for a machine error.
inline constexpr std::uint8_t kErrorKindBoardCheck = 0x40;
// Codes the dialog shows for a board-number mismatch.
inline constexpr int kCodeBoardUnreadable = 64;
inline constexpr int kCodeWrongBoard = 65;

// Button sets of the dialog.
enum class ErrorButtonSet {
    ContinueCancel, // "Continue" and "Cancel"
    CancelOnly,     // only the third button, captioned "Cancel"
    BoardCheck,     // "Try again", "Cancel" and "Deal to the current board"
};

struct MachineErrorEntry {
    const char* text;
    ErrorButtonSet buttons;
};

// The text and button set of machine error code (status byte) code: 1 to 61 as the machine defines
// them, anything else "Undefine Error" with the cancel-only set.
MachineErrorEntry MachineErrorFor(int code);

// Everything the dialog shows.
struct ErrorDialogContent {
    std::string caption = "Dealing Error";
    std::string text;     // the error text
    int code = 0;         // statusCode, 64 or 65
    std::string codeText; // "Error Code: " and the code in decimal
    ErrorButtonSet buttons = ErrorButtonSet::CancelOnly;
    std::string continueCaption; // the first button: "Continue" or "Try again"
    std::string cancelCaption = "Cancel";
    std::string cancel2Caption; // the third button: "Cancel" or "Deal to the current board"
    bool continueVisible = false;
    bool cancelVisible = false;
    bool cancel2Visible = false;
};

// The content for a dialog of the given kind (kErrorKindBoardCheck or 0): for a board check from the
// board number read (0: label unreadable) and the expected board; otherwise from statusCode.
ErrorDialogContent MakeErrorDialogContent(std::uint8_t kind, std::uint8_t statusCode,
                                          std::uint8_t readBoardNumber, int currentBoard);

// The plain box the dialog shows when the link is lost while it is open (no title, one OK button).
inline constexpr const char* kErrorDialogLostLinkText = "Lost Communication with Dealer  -  Dealing Aborted";

// One opening of the dialog. It keeps no state between openings: the session makes a new one each time.
class ErrorDialog {
  public:
    ErrorDialog(MachineLink& link, Dialogs& dialogs, ErrorDialogContent content);

    [[nodiscard]] const ErrorDialogContent& Content() const { return content_; }

    // One tick of the dialog's 100 ms timer: a status poll (acknowledging a reported pedal and box). A lost link
    // (two failed replies in a row) shows kErrorDialogLostLinkText and closes with Cancel; a pressed foot
    // pedal closes with Continue ("Try again" for the board check). Does nothing once closed.
    void Tick();

    // The buttons. Each closes the dialog; nothing happens once it is closed.
    void PressContinue(); // Continue / Try again
    void PressCancel();   // Cancel
    void PressCancel2();  // Deal to the current board (board check), otherwise Cancel

    [[nodiscard]] bool Closed() const { return closed_; }
    [[nodiscard]] ErrorAction Action() const { return action_; }
    // True when the foot pedal answered the dialog.
    [[nodiscard]] bool AnsweredByPedal() const { return byPedal_; }
    // True when the dialog closed because the link was lost.
    [[nodiscard]] bool LinkLost() const { return linkLost_; }

  private:
    void Close(ErrorAction action);

    MachineLink& link_;
    Dialogs& dialogs_;
    ErrorDialogContent content_;
    bool closed_ = false;
    bool byPedal_ = false;
    bool linkLost_ = false;
    ErrorAction action_ = kErrorActionCancel;
};

} // namespace orvenix
