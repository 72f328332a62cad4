#include "editor/board_editor.h"

#include "editor/hand_edit.h"
#include "history/history.h"
#include "model/similarity.h"
#include "generate/statistics.h"

#include <algorithm>
#include <limits>

namespace orvenix {

int RandomCountFromText(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (text.empty()) return 0;
    long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + (c - '0');
        if (value > kMaxBoard) return 0;
    }
    return static_cast<int>(value);
}

void BoardEditor::Open() {
    noFileName_ = set_.fileName.empty();
    if (set_.lastBoard < 1) {
        set_.firstBoard = 1;
        set_.lastBoard = 1;
        ClearBoard(set_, 1);
    } else {
        set_.lastBoard = static_cast<std::int16_t>(std::min<int>(set_.lastBoard, kMaxBoard));
        set_.firstBoard = static_cast<std::int16_t>(std::clamp<int>(set_.firstBoard, 1, set_.lastBoard));
    }
    // The stack survives closing the editor; make sure its count and room agree before using it.
    if (set_.editStack.size() < 9) set_.editStack.resize(9);
    set_.editStackCount = static_cast<std::int16_t>(
        std::clamp<int>(set_.editStackCount, 0, static_cast<int>(set_.editStack.size()) - 1));
    set_.currentBoard = set_.firstBoard;
    set_.Renumber();
    AdjustLastBoard(0);
    DisplayBoard();
}

void BoardEditor::DisplayBoard() {
    set_.currentBoard = static_cast<std::int16_t>(std::clamp<int>(set_.currentBoard, 1, kMaxBoard));
    edit_ = set_[set_.currentBoard];
    AnalyseBoard(edit_);
}

std::string BoardEditor::StackCountText() const {
    return "Boards saved: " + std::to_string(set_.editStackCount);
}

bool BoardEditor::UpdateCounts() {
    return AnalyseBoard(edit_) == 4;
}

bool BoardEditor::Changed() const {
    return CompareBoards(edit_, storedBoard()) != 2;
}

bool BoardEditor::NeedsDiscardQuestion() const {
    return CardsDiffer(edit_, storedBoard());
}

EditorButtons BoardEditor::Buttons() const {
    const bool changed = Changed();
    const int first = set_.firstBoard;
    const int last = set_.lastBoard;
    const int current = set_.currentBoard;
    EditorButtons b;
    b.accept = changed;
    b.exit = !changed;
    b.push = CompleteHands(edit_) == 4 && first != last && current <= last &&
             set_.editStackCount < std::numeric_limits<std::int16_t>::max();
    // Taking a board from the stack replaces the working copy, so it waits until the edits are accepted or
    // restored like every other change of the set.
    b.pop = !changed && set_.editStackCount > 0 && last < kMaxBoard;
    b.del = !changed && current <= last && first != last;
    b.first = b.prev = !changed && current > first;
    b.next = b.last = !changed && current < last;
    b.add = b.insert = b.shiftRight = !changed && last < kMaxBoard;
    b.shiftLeft = !changed && first > 1;
    b.fill = CompleteHands(edit_) == 3;
    return b;
}

void BoardEditor::SetSuitText(int index, std::string_view text) {
    ParseSuitText(edit_, index, text);
    UpdateCounts();
}

void BoardEditor::Swap(int buttonIndex) {
    SwapButton(edit_, buttonIndex);
    UpdateCounts();
}

bool BoardEditor::Fill() {
    const bool filled = FillLastHand(edit_);
    UpdateCounts();
    return filled;
}

bool BoardEditor::Accept() {
    if (!Changed()) return false;
    AnalyseBoard(edit_);
    set_[set_.currentBoard] = edit_;
    MarkModified();
    if (set_.currentBoard > set_.lastBoard) {
        // A board after the set extends the set up to it; it gets its number, dealer and vulnerability
        // like every other board of the set, and the editor moves on to the slot after it.
        set_.lastBoard = set_.currentBoard;
        AdjustLastBoard(0);
        set_.Renumber();
        if (set_.currentBoard < kMaxBoard) ++set_.currentBoard;
        DisplayBoard();
    }
    return true;
}

void BoardEditor::Restore() {
    DisplayBoard();
}

bool BoardEditor::First() {
    if (!Buttons().first) return false;
    set_.currentBoard = set_.firstBoard;
    DisplayBoard();
    return true;
}

bool BoardEditor::Prev() {
    if (!Buttons().prev) return false;
    --set_.currentBoard;
    DisplayBoard();
    return true;
}

bool BoardEditor::Next() {
    if (!Buttons().next) return false;
    ++set_.currentBoard;
    DisplayBoard();
    return true;
}

bool BoardEditor::Last() {
    if (!Buttons().last) return false;
    set_.currentBoard = set_.lastBoard;
    DisplayBoard();
    return true;
}

void BoardEditor::AdjustLastBoard(int delta) {
    set_.lastBoard = static_cast<std::int16_t>(set_.lastBoard + delta);
}

void BoardEditor::MoveUp(int from, int to) {
    for (int b = from; b >= to; --b)
        set_[b + 1] = set_[b];
}

void BoardEditor::MoveDown(int from, int to) {
    for (int b = from; b <= to; ++b)
        set_[b - 1] = set_[b];
}

bool BoardEditor::Add() {
    if (!Buttons().add) return false;
    AdjustLastBoard(+1);
    ClearBoard(set_, set_.lastBoard);
    set_.Renumber();
    MarkModified();
    DisplayBoard();
    return true;
}

bool BoardEditor::Insert() {
    if (!Buttons().insert) return false;
    MoveUp(set_.lastBoard, set_.currentBoard);
    AdjustLastBoard(+1);
    ClearBoard(set_, set_.currentBoard);
    set_.Renumber();
    MarkModified();
    DisplayBoard();
    return true;
}

void BoardEditor::RemoveCurrent() {
    MoveDown(set_.currentBoard + 1, set_.lastBoard);
    if (set_.currentBoard == set_.lastBoard) --set_.currentBoard;
    AdjustLastBoard(-1);
    set_.Renumber();
    MarkModified();
    DisplayBoard();
}

bool BoardEditor::Delete() {
    if (!Buttons().del) return false;
    RemoveCurrent();
    return true;
}

bool BoardEditor::ShiftLeft() {
    if (!Buttons().shiftLeft) return false;
    MoveDown(set_.firstBoard, set_.lastBoard);
    --set_.firstBoard;
    --set_.lastBoard;
    --set_.currentBoard;
    set_.Renumber();
    MarkModified();
    DisplayBoard();
    return true;
}

bool BoardEditor::ShiftRight() {
    if (!Buttons().shiftRight) return false;
    MoveUp(set_.lastBoard, set_.firstBoard);
    ++set_.firstBoard;
    ++set_.lastBoard;
    ++set_.currentBoard;
    set_.Renumber();
    MarkModified();
    DisplayBoard();
    return true;
}

bool BoardEditor::Push() {
    if (!Buttons().push) return false;
    auto& stack = set_.editStack;
    ++set_.editStackCount;
    const auto count = static_cast<std::size_t>(set_.editStackCount);
    // Entries are used from index 1, so the entry at the count must exist: grow to count + 8 records.
    if (count >= stack.size()) stack.resize(count + 8);
    AnalyseBoard(edit_);
    stack[count] = edit_;
    RemoveCurrent();
    return true;
}

bool BoardEditor::Pop() {
    if (!Buttons().pop) return false;
    const auto count = static_cast<std::size_t>(set_.editStackCount);
    if (count >= set_.editStack.size()) return false;
    MoveUp(set_.lastBoard, set_.currentBoard);
    AdjustLastBoard(+1);
    set_[set_.currentBoard] = set_.editStack[count];
    --set_.editStackCount;
    set_.Renumber();
    MarkModified();
    DisplayBoard();
    return true;
}

RandomFillResult BoardEditor::RandomFill(std::string_view countText, const RandomFillServices& services) {
    RandomFillResult result;
    int n = RandomCountFromText(countText);
    if (!services.randomDeal) return result;

    if (n == 0) {
        if (services.processEvents) services.processEvents();
        const Board deal = services.randomDeal();
        // Only the cards are replaced: the working copy keeps its number, dealer and vulnerability.
        edit_.cardOwner = deal.cardOwner;
        AnalyseBoard(edit_);
        result.statusText = "1 board generated and NOT saved";
        return result;
    }

    n = std::min(n, kMaxBoard + 1 - set_.currentBoard);
    result.count = n;
    const int lastGenerated = set_.currentBoard + n - 1;
    const int runBoard = std::max<int>(set_.lastBoard, lastGenerated);

    ShapeTally scratch{};
    ShapeTally& tally = services.tally != nullptr ? *services.tally : scratch;
    for (int i = 1; i <= kShapeCount; ++i)
        tally[static_cast<std::size_t>(i)] = 0;
    const auto shapeOf = [](const Board& b, int seat) {
        return std::min<std::size_t>(b.shapeIndex[seat], 40);
    };
    for (int b = 1; b <= set_.lastBoard; ++b) {
        for (int seat = 1; seat <= 4; ++seat)
            ++tally[shapeOf(set_[b], seat)];
    }

    const auto rejected = [&](const Board& c) {
        if (!ShapesAllowed(tally, c, runBoard)) return true;
        for (int b = 1; b <= set_.lastBoard; ++b) {
            if (b != set_.currentBoard && CompareHands(set_[b], c) >= services.innerLimit) return true;
        }
        if (services.history != nullptr) {
            std::int16_t historyBoard = 0;
            std::string historyFile;
            if (MaxHistorySimilarity(*services.history, c, historyBoard, historyFile) >=
                services.historyLimit)
                return true;
        }
        return false;
    };

    for (int i = 0; i < n; ++i) {
        if (services.processEvents) services.processEvents();
        bool refused = true;
        for (int candidate = 0; candidate < 5 && refused; ++candidate) {
            edit_.cardOwner = services.randomDeal().cardOwner;
            AnalyseBoard(edit_);
            refused = rejected(edit_);
        }
        const int b = set_.currentBoard;
        if (refused) result.verify.push_back(b);

        if (b <= set_.lastBoard) {
            for (int seat = 1; seat <= 4; ++seat) {
                auto& entry = tally[shapeOf(set_[b], seat)];
                if (entry > 0) --entry;
            }
        }
        for (int seat = 1; seat <= 4; ++seat)
            ++tally[shapeOf(edit_, seat)];
        Board stored = edit_;
        NumberBoard(stored, b);
        set_[b] = stored;
        if (set_.lastBoard < b) {
            AdjustLastBoard(b - set_.lastBoard);
        }
        if (i + 1 < n) ++set_.currentBoard;
    }
    result.stored = true;
    MarkModified();
    DisplayBoard();

    if (!result.verify.empty()) {
        std::string text = "Please verify boards: ";
        for (std::size_t i = 0; i < result.verify.size(); ++i) {
            if (i > 0) text += ", ";
            text += std::to_string(result.verify[i]);
        }
        result.statusText = text;
    } else if (n >= 2) {
        result.statusText = std::to_string(n) + " boards generated and saved";
    } else {
        result.statusText = "1 board generated and saved";
    }
    return result;
}

} // namespace orvenix
