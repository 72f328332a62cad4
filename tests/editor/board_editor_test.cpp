// The board editor's work on the set: opening, accept and restore, navigation, the set operations, the
// temporary stack and their enabling rules.
#include "editor/editor_fixture.h"
#include "editor/hand_edit.h"

namespace orvenix {
namespace {

constexpr int N = 1, S = 3, W = 4;

class EditorTest : public test::EditorFixture {
  protected:
    // Whether slot n holds the deal that slot old held before, with the number, dealer and vulnerability of
    // n.
    [[nodiscard]] bool Holds(int n, int old) const {
        const Board& b = (*set)[n];
        return !CardsDiffer(b, (*original)[old]) && b.number == n && b.dealer == DealerOf(n) &&
               b.vulnerability == VulnerabilityOf(n);
    }
};

TEST_F(EditorTest, OpeningWithoutASetCreatesBoardOneElseStartsAtTheFirstBoard) {
    original = std::make_unique<BoardSet>(*set);
    ed.Open();
    // An empty board with the number, dealer and vulnerability of board 1, which can only grow.
    EXPECT_TRUE(Range(1, 1, 1) && Holds(1, 1) && (*set)[1].status == kBoardEmpty && ed.noFileName());
    EXPECT_FALSE(ed.Changed() || set->modified);
    EXPECT_EQ(test::ButtonFlags(ed.Buttons()), "00000000110101");
    // With a set it starts at the first board and renumbers the set.
    MakeSet(17, 32);
    (*set)[20].dealer = N;
    (*set)[20].number = 0;
    set->currentBoard = 25;
    set->fileName = "/tmp/club.pbn";
    ed.Open();
    EXPECT_TRUE(Range(17, 32, 17) && !ed.noFileName() && Holds(20, 20));
    EXPECT_FALSE(CardsDiffer(ed.editBoard(), (*original)[17]));
}

TEST_F(EditorTest, AnEditAllowsOnlyAcceptAndRestore) {
    MakeSet(1, 10, 2);
    EXPECT_EQ(test::ButtonFlags(ed.Buttons()), "10011111110101");
    ed.editBoard().dealer = W; // the number or dealer alone do not ask before closing
    EXPECT_TRUE(ed.Changed() && !ed.NeedsDiscardQuestion());
    ed.SetSuitText(SuitBoxIndex(N, 1), "");
    EXPECT_EQ(test::ButtonFlags(ed.Buttons()), "00100000000010"); // three complete hands: Fill too
    EXPECT_FALSE(ed.Next() || ed.Delete() || ed.Insert());        // refused as their buttons are
    EXPECT_TRUE(set->currentBoard == 2 && ed.NeedsDiscardQuestion());
    ed.Restore();
    EXPECT_FALSE(ed.Changed() || ed.NeedsDiscardQuestion() || set->modified);
    EXPECT_TRUE(test::SameBoards(*set, *original, 1, kMaxBoard));
    // Accept stores the working copy, once.
    ed.Swap(6);
    EXPECT_TRUE(ed.Accept() && set->modified && Range(1, 10, 2) && CardsDiffer((*set)[2], (*original)[2]));
    EXPECT_FALSE(ed.Changed() || ed.Accept());
}

TEST_F(EditorTest, AcceptingABoardAfterTheSetExtendsTheSet) {
    // A board after the set extends the set up to it; the editor goes on to the next board, but not past 640.
    for (const auto& [last, board] : {std::pair{3, 4}, std::pair{639, 640}}) {
        MakeSet(1, last, board);
        ed.SetSuitText(SuitBoxIndex(N, 1), "AK");
        EXPECT_TRUE(ed.Accept() && Range(1, board, std::min(board + 1, kMaxBoard)) &&
                    (*set)[board].dealer == DealerOf(board) &&
                    HandSuitCards((*set)[board], SuitBoxIndex(N, 1)) == "AK");
    }
}

TEST_F(EditorTest, MovesAndSetOperationsMoveTheDealsUnderNewNumbers) {
    // After the operation: the range, a new empty board (or 0), and slot n >= from holds the deal of n +
    // shift. The set is modified when its range changes.
    const std::tuple<const char*, int, int, int, decltype(&BoardEditor::Next), int, int, int, int, int, int>
        cases[] = {{"next", 5, 8, 5, &BoardEditor::Next, 5, 8, 6, 0, 0, 0},
                   {"last", 5, 8, 5, &BoardEditor::Last, 5, 8, 8, 0, 0, 0},
                   {"previous", 5, 8, 8, &BoardEditor::Prev, 5, 8, 7, 0, 0, 0},
                   {"first", 5, 8, 8, &BoardEditor::First, 5, 8, 5, 0, 0, 0},
                   {"insert", 1, 10, 5, &BoardEditor::Insert, 1, 11, 5, 5, 6, -1},
                   {"add", 1, 3, 1, &BoardEditor::Add, 1, 4, 1, 4, 5, 0},
                   {"delete", 1, 5, 2, &BoardEditor::Delete, 1, 4, 2, 0, 2, 1},
                   {"delete last", 1, 5, 5, &BoardEditor::Delete, 1, 4, 4, 0, 5, 0},
                   {"shift left", 3, 6, 4, &BoardEditor::ShiftLeft, 2, 5, 3, 0, 2, 1},
                   {"shift right", 3, 6, 4, &BoardEditor::ShiftRight, 4, 7, 5, 0, 4, -1},
                   {"push", 1, 6, 3, &BoardEditor::Push, 1, 5, 3, 0, 3, 1}};
    for (const auto& [name, first, last, current, op, newFirst, newLast, newCurrent, empty, from, shift] :
         cases) {
        SCOPED_TRACE(name);
        MakeSet(first, last, current);
        ASSERT_TRUE((ed.*op)());
        EXPECT_TRUE(Range(newFirst, newLast, newCurrent));
        EXPECT_EQ(set->modified, std::pair(newFirst, newLast) != std::pair(first, last));
        for (int n = newFirst; n <= newLast; ++n)
            EXPECT_TRUE(n == empty ? (*set)[n].status == kBoardEmpty && (*set)[n].dealer == DealerOf(n)
                                   : Holds(n, n >= from ? n + shift : n))
                << n;
        EXPECT_FALSE(CardsDiffer(ed.editBoard(), (*set)[newCurrent]));
    }
}

TEST_F(EditorTest, OperationsThatWouldLeaveTheBoardsRefuse) {
    MakeSet(9, 9); // the only board cannot be deleted or parked
    EXPECT_FALSE(ed.Buttons().del || ed.Delete() || ed.Push());
    MakeSet(1, 5);
    EXPECT_FALSE(ed.Buttons().shiftLeft || ed.ShiftLeft()); // nothing before board 1
    MakeSet(630, 640, 640);
    EXPECT_FALSE(ed.Add() || ed.Insert() || ed.ShiftRight()); // nothing past board 640
    ASSERT_TRUE(ed.Push());
    ASSERT_TRUE(ed.Add());
    EXPECT_FALSE(ed.Buttons().pop || ed.Pop()); // a parked board cannot come back while the set ends at 640
    EXPECT_TRUE(ed.stackCount() == 1 && set->lastBoard == 640);
}

TEST_F(EditorTest, PushParksTheEditedBoardAndPopPutsItBackAtTheCurrentBoardLastParkedFirst) {
    MakeSet(1, 30);
    for (int i = 1; i <= 17; ++i)
        ASSERT_TRUE(ed.Push());
    EXPECT_TRUE(Range(1, 13, 1) && ed.StackCountText() == "Boards saved: 17");
    BoardEditor again{*set}; // the stack survives reopening the editor
    again.Open();
    EXPECT_TRUE(again.Buttons().pop);
    for (int i = 17; i >= 1; --i)
        ASSERT_TRUE(ed.Pop());
    EXPECT_FALSE(ed.Buttons().pop || ed.Pop());
    EXPECT_TRUE(test::SameBoards(*set, *original, 1, kMaxBoard));
    // The board parked is the edited one; taking it back waits for the edits of the current board.
    ed.Last();
    ed.Swap(4);
    ed.Push();
    ed.First();
    ed.Swap(0);
    EXPECT_FALSE(ed.Buttons().pop || ed.Pop());
    ed.Restore();
    ASSERT_TRUE(ed.Pop());
    Board swapped = (*original)[30];
    SwapSeats(swapped, N, S);
    EXPECT_TRUE(!CardsDiffer((*set)[1], swapped) && Holds(2, 1));
}

} // namespace
} // namespace orvenix
