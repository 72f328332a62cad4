// The board editor's work on the board set, independent of any window: a working copy of the current
// board, accepting it into the set, moving through the set, inserting, adding, deleting and shifting
// boards, the temporary stack and the random fill.
//
// Every operation checks the same rule that enables its button and does nothing (returns false) when the
// rule does not hold, so no caller can push a board outside 1..640 or lose unaccepted edits. Every change
// that reaches the set marks it modified, so that New, Load and Exit ask before discarding it.
#pragma once

#include "model/shapes.h"
#include "model/board.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orvenix {

class History;

// Which of the editor's buttons may be used in the current state.
struct EditorButtons {
    bool push = false;
    bool pop = false;
    bool accept = false;
    bool del = false;
    bool first = false;
    bool prev = false;
    bool next = false;
    bool last = false;
    bool add = false;
    bool insert = false;
    bool shiftLeft = false;
    bool shiftRight = false;
    bool fill = false;
    bool exit = false;
};

// What the random fill needs from the rest of the program.
struct RandomFillServices {
    // One complete random deal (only cardOwner is used).
    std::function<Board()> randomDeal;
    // The shape tally that the shape rule reads; recounted from the set before the first board.
    ShapeTally* tally = nullptr;
    // The history file; null runs without the history filter.
    const History* history = nullptr;
    // Lets pending window events run; called once per board.
    std::function<void()> processEvents;
    int innerLimit = 13;
    int historyLimit = 13;
};

struct RandomFillResult {
    int count = 0;           // the count used, after limiting; 0 = one deal into the working copy only
    bool stored = false;     // boards were stored into the set
    std::vector<int> verify; // boards for which every candidate was rejected
    std::string statusText;  // the main window's status line after the fill
};

// The count of the random fill from the count box: the trimmed text as a whole number 1..640, else 0.
int RandomCountFromText(std::string_view text);

class BoardEditor {
  public:
    explicit BoardEditor(BoardSet& set) : set_(set) {}

    // Prepares the set for editing: creates board 1 when there is no set, starts at the first board,
    // renumbers the set and loads the working copy.
    void Open();
    // Copies the current board of the set into the working copy and analyses it.
    void DisplayBoard();

    [[nodiscard]] BoardSet& set() { return set_; }
    [[nodiscard]] const BoardSet& set() const { return set_; }
    [[nodiscard]] Board& editBoard() { return edit_; }
    [[nodiscard]] const Board& editBoard() const { return edit_; }
    [[nodiscard]] const Board& storedBoard() const { return set_[set_.currentBoard]; }
    [[nodiscard]] bool noFileName() const { return noFileName_; }
    [[nodiscard]] int totalBoards() const { return set_.lastBoard - set_.firstBoard + 1; }
    [[nodiscard]] int stackCount() const { return set_.editStackCount; }
    // "Boards saved: " followed by the stack count.
    [[nodiscard]] std::string StackCountText() const;

    // Re-analyses the working copy; true when all four hands hold 13 cards.
    bool UpdateCounts();
    // The working copy differs from the stored board in any card, number, dealer or vulnerability.
    [[nodiscard]] bool Changed() const;
    // The working copy differs from the stored board in its cards (what closing the editor asks about).
    [[nodiscard]] bool NeedsDiscardQuestion() const;
    [[nodiscard]] EditorButtons Buttons() const;

    // ---- Hand operations on the working copy -----------------------------------------------------
    void SetSuitText(int index, std::string_view text);
    void Swap(int buttonIndex);
    bool Fill();

    // ---- Accept, restore, navigation -------------------------------------------------------------
    bool Accept();
    void Restore();
    bool First();
    bool Prev();
    bool Next();
    bool Last();

    // ---- Set operations --------------------------------------------------------------------------
    bool Add();
    bool Insert();
    bool Delete();
    bool ShiftLeft();
    bool ShiftRight();
    bool Push();
    bool Pop();

    // Random deals from the current board on (see RandomFillResult); the count text is the count box's.
    RandomFillResult RandomFill(std::string_view countText, const RandomFillServices& services);

  private:
    void AdjustLastBoard(int delta);
    void MoveUp(int from, int to);   // slots to..from move one up, top first (from >= to)
    void MoveDown(int from, int to); // slots from..to move one down, lowest first
    void RemoveCurrent();
    void MarkModified() { set_.modified = true; }

    BoardSet& set_;
    Board edit_{};
    bool noFileName_ = false;
};

} // namespace orvenix
