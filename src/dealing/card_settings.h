// Card and recognition settings: which national letters the cards carry, whether they have an outside
// frame, how heavy the print is, whether the indices are large ("jumbo"), and whether the machine checks
// the board-number label before each step. They are kept in the per-user settings, checked against what
// the machine and its firmware can do, sent in byte 2 of every deal and read command, and the national
// choice decides the letters of the board drawing.
//
// The checks that need the machine (ChooseLargeIndex, ChooseCheckBoard, ApplyMachineLimits,
// NationalAllowed) read the firmware version and option word of the shared machine state. Every
// rejected choice is undone in the options before its message is shown, and the undone state is what
// gets saved, so the stored settings never hold a choice the machine refused.
#pragma once

#include "machine/machine_state.h"
#include "model/board.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace orvenix {

class Dialogs;
class Settings;

// National card sets, numbered from 0 in the order the window offers them.
enum NationalSet : int {
    kNationalStandard = 0, // "Standard (AKQJ)"
    kNationalFrenchARDV = 1,
    kNationalFrench1RDV = 2,
    kNationalGerman = 3,
    kNationalDutch = 4,
    kNationalDanish = 5,
};
inline constexpr int kNationalSets = 6;

// Captions of the option controls, exactly as the window shows them.
inline constexpr const char* kNationalFrameCaption = "National Settings:";
inline constexpr std::array<const char*, kNationalSets> kNationalCaptions{
    "Standard (AKQJ)", "French    (ARDV)",  "French    (1RDV)",
    "German  (AKDB)",  "Dutch      (AHVB)", "Danish    (EKDB)"};
inline constexpr const char* kCardTypeFrameCaption = "Card Type:";
inline constexpr std::array<const char*, 2> kCardTypeCaptions{"Standard ", "Cards with outside frame"};
inline constexpr const char* kThresholdFrameCaption = "Card Print:";
inline constexpr std::array<const char*, 3> kThresholdCaptions{"Normal", "Fine", "Bold"};
inline constexpr const char* kCardIndexFrameCaption = "Card Index:";
inline constexpr std::array<const char*, 2> kCardIndexCaptions{"Standard ", "Large ( Jumbo )"};
inline constexpr const char* kCheckBoardCaption = "Check Board Number";

// The letters that replace A, K, Q and J of each national set.
inline constexpr std::array<std::array<char, 4>, kNationalSets> kNationalLetters{{
    {'A', 'K', 'Q', 'J'},
    {'A', 'R', 'D', 'V'},
    {'1', 'R', 'D', 'V'},
    {'A', 'K', 'D', 'B'},
    {'A', 'H', 'V', 'B'},
    {'E', 'K', 'D', 'B'},
}};

// The selected option of each group.
struct CardOptions {
    int national = kNationalStandard; // 0..5: standard, French ARDV, French 1RDV, German, Dutch, Danish
    int cardType = 0;                 // 0 plain cards, 1 cards with an outside frame
    int threshold = 0;                // 0 normal, 1 fine, 2 bold print
    int cardIndex = 0;                // 0 `Card_Index_st`, 1 `Card_Index_j` (large index)
    bool checkBoard = false;          // "Check Board Number"

    friend bool operator==(const CardOptions&, const CardOptions&) = default;
};

// Reads "National", "CardType", "Threshold", "CardIndex" and "CheckBoard" (default "0" each). A stored
// value other than the listed ones selects the group's first choice; "CheckBoard" other than "0" ticks.
CardOptions LoadCardOptions(Settings& settings);
// Each writes its one key from the options ("0", "1", …; "1"/"0" for the board check).
void SaveNational(Settings& settings, const CardOptions& options);
void SaveCardType(Settings& settings, const CardOptions& options);
void SaveThreshold(Settings& settings, const CardOptions& options);
void SaveCardIndex(Settings& settings, const CardOptions& options);
void SaveCheckBoard(Settings& settings, const CardOptions& options);

// Byte 2 of the deal and read commands: the national set in the high four bits, plus 1 for framed
// cards, 2 for fine print, 4 for bold print and 8 for large index.
std::uint8_t CommandByte2(const CardOptions& options);

// text with A, K, Q and J replaced by the national set's letters (applied in that order).
std::string ApplyNationalLetters(std::string text, int national);

// ---- Firmware and option-word rules ----------------------------------------------------------------
// True when the firmware is too old for the large-index rule: a 2.x older than 2.40 (any other major
// version passes).
bool LargeIndexFirmwareTooOld(const SharedMachineState& machine);
// Reading needs 2.24.
bool ReadingSupported(const SharedMachineState& machine);

// `Card_Index_j` click. Accepted (true) when the machine supports large-index cards and the firmware
// passes the large-index rule: "1" is saved. Otherwise the choice falls back to standard, the
// critical "Dealing Error" box says why (`MsgLargeIndexNeedsFirmware` with the firmware version, or
// `MsgJumboNotSuitable`), and "0" is saved. undone, when given, is called after a refused choice is
// undone in options and before the message, so that the window can show the undone state first.
bool ChooseLargeIndex(CardOptions& options, const SharedMachineState& machine, Settings& settings,
                      Dialogs& dialogs, const std::function<void()>& undone = {});
// A click on "Check Board Number" with the box's new state. With a reader and firmware 2.40 or later the state is
// saved as it is; otherwise a tick is undone with `MsgBoardCheckNeedsFirmware` or
// `MsgNoBoardNumberReader` (critical, "Dealing Error") and the key saved. Unticking never shows a
// message. Returns the state kept. undone as for ChooseLargeIndex.
bool ChooseCheckBoard(CardOptions& options, bool ticked, const SharedMachineState& machine,
                      Settings& settings, Dialogs& dialogs, const std::function<void()>& undone = {});
// The start-up rules, without messages, once the machine's firmware and options are known: no reader
// or firmware older than 2.40 unticks the board check; no large-index support or a too old firmware
// selects the standard index; both keys are saved.
void ApplyMachineLimits(CardOptions& options, const SharedMachineState& machine, Settings& settings);
// The gate at the start of every step: a national set other than the standard needs 2.27, the Danish
// set 2.32. False, after the critical "Dealing Error" box, when the firmware is older.
bool NationalAllowed(const CardOptions& options, const SharedMachineState& machine, Dialogs& dialogs);

// ---- The board drawing (`DisplayHand`) --------------------------------------------------------------
// What the board drawing shows for one board; the window draws it (seat letters "N", "E", "S", "W" at the four
// sides, the three texts, and when showHands the hands suit by suit, each suit's symbol followed by
// its cards).
struct BoardPicture {
    int board = 0;
    std::string boardText;  // " Board: " and the number
    std::string vulText;    // "Vul: " and "None", "NS", "EW" or "All"
    std::string dealerText; // "Dealer: " and "North", "East", "South" or "West"
    // High-card points of N, E, S, W (0 to 3).
    std::array<int, 4> highCardPoints{};
    bool showHands = false;
    // Cards per seat (N, E, S, W) and suit (spades, hearts, diamonds, clubs), in code order (ace first),
    // with the national letters; empty strings when !showHands.
    std::array<std::array<std::string, 4>, 4> cards{};

    friend bool operator==(const BoardPicture&, const BoardPicture&) = default;
};

// The picture of board (its number n) with the given national letters.
BoardPicture MakeBoardPicture(const Board& board, int n, bool showHands, int national);

} // namespace orvenix
