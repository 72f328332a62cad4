// The board editor's work on the set: opening, accept and restore, navigation, the set operations, the
// temporary stack and their enabling rules.
#include "editor/board_editor.h"

#include "editor/hand_edit.h"
#include "support/board_set_samples.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace orvenix {
namespace {

constexpr int N = 1, E = 2, S = 3, W = 4;

// A set of boards first..last with a distinct random deal on each, and the deals by their old numbers.
class EditorTest : public ::testing::Test {
  protected:
    void MakeSet(int first, int last, std::uint32_t seed = 7) {
        *set = test::RandomSet(first, last, seed);
        original = std::make_unique<BoardSet>(*set);
    }
    // Whether slot n of the set holds the deal that slot old held before, under the number n with the
    // standard dealer and vulnerability of n.
    bool Holds(int n, int old) const {
        const Board& b = (*set)[n];
        return !CardsDiffer(b, (*original)[old]) && b.number == n && b.dealer == DealerOf(n) &&
               b.vulnerability == VulnerabilityOf(n);
    }

    bool SameBoardsAsOriginal() const { return test::SameBoards(*set, *original, 1, kMaxBoard); }

    std::unique_ptr<BoardSet> set = std::make_unique<BoardSet>();
    std::unique_ptr<BoardSet> original;
    BoardEditor ed{*set};
};

TEST_F(EditorTest, OpeningWithoutASetCreatesBoardOne) {
    ed.Open();
    EXPECT_EQ(set->firstBoard, 1);
    EXPECT_EQ(set->lastBoard, 1);
    EXPECT_EQ(set->currentBoard, 1);
    EXPECT_EQ((*set)[1].number, 1);
    EXPECT_EQ((*set)[1].dealer, N);
    EXPECT_EQ((*set)[1].vulnerability, 1);
    EXPECT_EQ((*set)[1].status, kBoardEmpty);
    EXPECT_TRUE(ed.noFileName());
    EXPECT_EQ(ed.totalBoards(), 1);
    EXPECT_FALSE(ed.Changed());
    EXPECT_FALSE(set->modified);
    const EditorButtons b = ed.Buttons();
    EXPECT_FALSE(b.del);
    EXPECT_FALSE(b.push);
    EXPECT_FALSE(b.next || b.prev || b.first || b.last || b.shiftLeft || b.accept || b.fill);
    EXPECT_TRUE(b.add && b.insert && b.shiftRight && b.exit);
}

TEST_F(EditorTest, OpeningStartsAtTheFirstBoardAndRenumbersTheSet) {
    MakeSet(17, 32);
    (*set)[20].dealer = N;
    (*set)[20].number = 0;
    set->currentBoard = 25;
    set->fileName = "/tmp/club.pbn";
    ed.Open();
    EXPECT_EQ(set->currentBoard, 17);
    EXPECT_FALSE(ed.noFileName());
    EXPECT_EQ(ed.totalBoards(), 16);
    EXPECT_TRUE(Holds(20, 20));
    EXPECT_FALSE(CardsDiffer(ed.editBoard(), (*original)[17]));
    EXPECT_EQ(ed.editBoard().status, kBoardComplete);
    EXPECT_EQ(ed.StackCountText(), "Boards saved: 0");
}

TEST_F(EditorTest, EditsDisableEverythingButAcceptAndRestore) {
    MakeSet(1, 10);
    ed.Open();
    ASSERT_TRUE(ed.Next());
    EditorButtons b = ed.Buttons();
    EXPECT_TRUE(b.first && b.prev && b.next && b.last && b.del && b.add && b.insert && b.shiftRight &&
                b.exit);
    EXPECT_FALSE(b.accept || b.shiftLeft);
    EXPECT_TRUE(b.push);

    ed.SetSuitText(SuitBoxIndex(N, 1), "");
    EXPECT_TRUE(ed.Changed());
    b = ed.Buttons();
    EXPECT_TRUE(b.accept);
    EXPECT_FALSE(b.first || b.prev || b.next || b.last || b.del || b.add || b.insert || b.shiftRight ||
                 b.shiftLeft || b.exit || b.push);
    // The guarded operations refuse as their buttons do.
    EXPECT_FALSE(ed.Next());
    EXPECT_FALSE(ed.Delete());
    EXPECT_FALSE(ed.Insert());
    EXPECT_EQ(set->currentBoard, 2);
    EXPECT_TRUE(ed.NeedsDiscardQuestion());

    ed.Restore();
    EXPECT_FALSE(ed.Changed());
    EXPECT_FALSE(ed.NeedsDiscardQuestion());
    EXPECT_TRUE(SameBoardsAsOriginal());
    EXPECT_FALSE(set->modified);
}

TEST_F(EditorTest, AcceptStoresTheWorkingCopyAndMarksTheSetModified) {
    MakeSet(1, 4);
    ed.Open();
    ed.Swap(6);
    ASSERT_TRUE(ed.Buttons().accept);
    EXPECT_TRUE(ed.Accept());
    EXPECT_TRUE(set->modified);
    EXPECT_FALSE(ed.Changed());
    EXPECT_EQ(set->currentBoard, 1);
    EXPECT_EQ(set->lastBoard, 4);
    Board rotated = (*original)[1];
    RotateHands(rotated, 1);
    EXPECT_FALSE(CardsDiffer((*set)[1], rotated));
    EXPECT_EQ((*set)[1].status, kBoardComplete);
    // Nothing left to accept.
    EXPECT_FALSE(ed.Accept());
}

TEST_F(EditorTest, NumberOrDealerAloneDoNotAskBeforeClosing) {
    MakeSet(1, 4);
    ed.Open();
    ed.editBoard().dealer = W;
    EXPECT_TRUE(ed.Changed());
    EXPECT_FALSE(ed.NeedsDiscardQuestion());
}

TEST_F(EditorTest, AcceptingABoardAfterTheSetExtendsTheSetUpToIt) {
    MakeSet(1, 3);
    ed.Open();
    set->currentBoard = 4;
    ed.DisplayBoard();
    ed.SetSuitText(SuitBoxIndex(N, 1), "AK");
    ASSERT_TRUE(ed.Accept());
    EXPECT_EQ(set->lastBoard, 4);
    EXPECT_EQ(set->currentBoard, 5);
    EXPECT_EQ((*set)[4].number, 4);
    EXPECT_EQ((*set)[4].dealer, W);
    EXPECT_EQ((*set)[4].vulnerability, VulnerabilityOf(4));
    EXPECT_EQ(HandSuitCards((*set)[4], SuitBoxIndex(N, 1)), "AK");
    EXPECT_TRUE(set->modified);
}

TEST_F(EditorTest, AcceptingBoard640AfterTheSetStaysOnBoard640) {
    MakeSet(630, 639);
    ed.Open();
    set->currentBoard = 640;
    ed.DisplayBoard();
    ed.SetSuitText(SuitBoxIndex(W, 4), "2");
    ASSERT_TRUE(ed.Accept());
    EXPECT_EQ(set->lastBoard, 640);
    EXPECT_EQ(set->currentBoard, 640);
    EXPECT_FALSE(ed.Changed());
    EXPECT_FALSE(ed.Buttons().add);
}

TEST_F(EditorTest, NavigationStopsAtTheEndsOfTheSet) {
    MakeSet(5, 8);
    ed.Open();
    EXPECT_FALSE(ed.Prev());
    EXPECT_FALSE(ed.First());
    EXPECT_TRUE(ed.Last());
    EXPECT_EQ(set->currentBoard, 8);
    EXPECT_FALSE(ed.Next());
    EXPECT_FALSE(ed.Last());
    EXPECT_TRUE(ed.Prev());
    EXPECT_EQ(set->currentBoard, 7);
    EXPECT_FALSE(CardsDiffer(ed.editBoard(), (*original)[7]));
    EXPECT_TRUE(ed.First());
    EXPECT_EQ(set->currentBoard, 5);
    EXPECT_FALSE(set->modified);
}

TEST_F(EditorTest, InsertOnBoardFiveMovesTheRestUp) {
    MakeSet(1, 10);
    ed.Open();
    for (int i = 0; i < 4; ++i)
        ed.Next();
    ASSERT_TRUE(ed.Insert());
    EXPECT_EQ(set->lastBoard, 11);
    EXPECT_EQ(set->currentBoard, 5);
    EXPECT_EQ(ed.totalBoards(), 11);
    EXPECT_EQ((*set)[5].status, kBoardEmpty);
    EXPECT_EQ((*set)[5].number, 5);
    EXPECT_EQ((*set)[5].dealer, N);
    EXPECT_EQ((*set)[5].vulnerability, 2);
    for (int n = 1; n <= 4; ++n)
        EXPECT_TRUE(Holds(n, n)) << n;
    for (int n = 6; n <= 11; ++n)
        EXPECT_TRUE(Holds(n, n - 1)) << n;
    EXPECT_TRUE(set->modified);
    EXPECT_EQ(ed.editBoard().status, kBoardEmpty);
}

TEST_F(EditorTest, AddAppendsAnEmptyBoardAndStaysOnTheCurrentOne) {
    MakeSet(1, 3);
    ed.Open();
    ASSERT_TRUE(ed.Add());
    EXPECT_EQ(set->lastBoard, 4);
    EXPECT_EQ(set->currentBoard, 1);
    EXPECT_EQ((*set)[4].status, kBoardEmpty);
    EXPECT_EQ((*set)[4].number, 4);
    EXPECT_EQ((*set)[4].dealer, W);
    EXPECT_TRUE(set->modified);
}

TEST_F(EditorTest, NothingGrowsPastBoard640) {
    MakeSet(630, 640);
    ed.Open();
    const EditorButtons b = ed.Buttons();
    EXPECT_FALSE(b.add || b.insert || b.shiftRight);
    EXPECT_TRUE(b.shiftLeft);
    EXPECT_FALSE(ed.Add());
    EXPECT_FALSE(ed.Insert());
    EXPECT_FALSE(ed.ShiftRight());
    EXPECT_EQ(set->lastBoard, 640);
    // A board parked on the stack cannot come back while the set ends at 640.
    ed.Last();
    ASSERT_TRUE(ed.Push());
    ASSERT_TRUE(ed.Add());
    EXPECT_EQ(set->lastBoard, 640);
    EXPECT_FALSE(ed.Buttons().pop);
    EXPECT_FALSE(ed.Pop());
    EXPECT_EQ(ed.stackCount(), 1);
}

TEST_F(EditorTest, ShiftLeftStopsAtBoardOne) {
    MakeSet(1, 5);
    ed.Open();
    EXPECT_FALSE(ed.Buttons().shiftLeft);
    EXPECT_FALSE(ed.ShiftLeft());
    EXPECT_EQ(set->firstBoard, 1);
    EXPECT_FALSE(set->modified);
}

TEST_F(EditorTest, ShiftsKeepTheDealsInOrderUnderNewNumbers) {
    MakeSet(3, 6);
    ed.Open();
    ed.Next();
    ASSERT_TRUE(ed.ShiftLeft());
    EXPECT_EQ(set->firstBoard, 2);
    EXPECT_EQ(set->lastBoard, 5);
    EXPECT_EQ(set->currentBoard, 3);
    for (int n = 2; n <= 5; ++n)
        EXPECT_TRUE(Holds(n, n + 1)) << n;
    EXPECT_TRUE(set->modified);
    // The slot left behind is outside the set and keeps its old contents.
    EXPECT_FALSE(CardsDiffer((*set)[6], (*original)[6]));

    ASSERT_TRUE(ed.ShiftRight());
    ASSERT_TRUE(ed.ShiftRight());
    EXPECT_EQ(set->firstBoard, 4);
    EXPECT_EQ(set->lastBoard, 7);
    EXPECT_EQ(set->currentBoard, 5);
    for (int n = 4; n <= 7; ++n)
        EXPECT_TRUE(Holds(n, n - 1)) << n;
    EXPECT_FALSE(CardsDiffer(ed.editBoard(), (*original)[4]));
}

TEST_F(EditorTest, DeleteOnTheLastBoardMovesToTheNewLastBoard) {
    MakeSet(1, 5);
    ed.Open();
    ed.Last();
    ASSERT_TRUE(ed.Delete());
    EXPECT_EQ(set->lastBoard, 4);
    EXPECT_EQ(set->currentBoard, 4);
    EXPECT_FALSE(CardsDiffer(ed.editBoard(), (*original)[4]));
    EXPECT_TRUE(set->modified);
}

TEST_F(EditorTest, DeleteInTheMiddleMovesTheRestDown) {
    MakeSet(1, 5);
    ed.Open();
    ed.Next();
    ASSERT_TRUE(ed.Delete());
    EXPECT_EQ(set->lastBoard, 4);
    EXPECT_EQ(set->currentBoard, 2);
    EXPECT_TRUE(Holds(1, 1));
    for (int n = 2; n <= 4; ++n)
        EXPECT_TRUE(Holds(n, n + 1)) << n;
}

TEST_F(EditorTest, TheOnlyBoardCannotBeDeleted) {
    MakeSet(9, 9);
    ed.Open();
    EXPECT_FALSE(ed.Buttons().del);
    EXPECT_FALSE(ed.Delete());
    EXPECT_FALSE(ed.Push());
    EXPECT_EQ(set->lastBoard, 9);
    EXPECT_EQ(set->firstBoard, 9);
}

TEST_F(EditorTest, PushParksTheBoardAndPopPutsItBackAtTheCurrentBoard) {
    MakeSet(1, 6);
    ed.Open();
    ed.Next();
    ed.Next();
    ASSERT_TRUE(ed.Push());
    EXPECT_EQ(ed.stackCount(), 1);
    EXPECT_EQ(ed.StackCountText(), "Boards saved: 1");
    EXPECT_EQ(set->lastBoard, 5);
    EXPECT_EQ(set->currentBoard, 3);
    EXPECT_TRUE(Holds(3, 4));
    EXPECT_TRUE(ed.Buttons().pop);

    ed.First();
    ASSERT_TRUE(ed.Pop());
    EXPECT_EQ(ed.stackCount(), 0);
    EXPECT_EQ(set->lastBoard, 6);
    EXPECT_EQ(set->currentBoard, 1);
    EXPECT_TRUE(Holds(1, 3));
    EXPECT_TRUE(Holds(2, 1));
    EXPECT_TRUE(Holds(3, 2));
    EXPECT_TRUE(Holds(4, 4));
    EXPECT_FALSE(ed.Buttons().pop);
    EXPECT_FALSE(ed.Pop());
}

TEST_F(EditorTest, PushNeedsACompleteBoard) {
    MakeSet(1, 3);
    ed.Open();
    ed.SetSuitText(SuitBoxIndex(S, 4), "");
    EXPECT_FALSE(ed.Buttons().push);
    EXPECT_FALSE(ed.Push());
    ed.Fill();
    EXPECT_FALSE(ed.Changed());
    EXPECT_TRUE(ed.Buttons().push);
}

TEST_F(EditorTest, PushParksTheEditedCopy) {
    MakeSet(1, 3);
    ed.Open();
    ed.Swap(4);
    ASSERT_TRUE(ed.Push());
    Board swapped = (*original)[1];
    SwapSeats(swapped, N, S);
    EXPECT_FALSE(CardsDiffer(set->editStack[1], swapped));
}

TEST_F(EditorTest, PopWaitsForEditsToBeAcceptedOrRestored) {
    MakeSet(1, 4);
    ed.Open();
    ASSERT_TRUE(ed.Push());
    ed.Swap(0);
    EXPECT_FALSE(ed.Buttons().pop);
    EXPECT_FALSE(ed.Pop());
    EXPECT_EQ(ed.stackCount(), 1);
    ed.Restore();
    EXPECT_TRUE(ed.Pop());
}

TEST_F(EditorTest, StackGrowsByEightRecordsWhenItsRoomIsUsedUp) {
    MakeSet(1, 30);
    ed.Open();
    ASSERT_EQ(set->editStack.size(), 9U);
    for (int i = 1; i <= 8; ++i)
        ASSERT_TRUE(ed.Push());
    EXPECT_EQ(set->editStack.size(), 9U);
    ASSERT_TRUE(ed.Push());
    EXPECT_EQ(ed.stackCount(), 9);
    EXPECT_EQ(set->editStack.size(), 17U);
    for (int i = 10; i <= 16; ++i)
        ASSERT_TRUE(ed.Push());
    EXPECT_EQ(set->editStack.size(), 17U);
    ASSERT_TRUE(ed.Push());
    EXPECT_EQ(set->editStack.size(), 25U);
    EXPECT_EQ(set->lastBoard, 13);
    // The pushed boards were the first 17 in order; they come back last pushed first.
    for (int i = 17; i >= 1; --i) {
        ASSERT_TRUE(ed.Pop());
        EXPECT_FALSE(CardsDiffer((*set)[1], (*original)[i])) << i;
    }
    EXPECT_EQ(set->lastBoard, 30);
    for (int n = 1; n <= 30; ++n)
        EXPECT_TRUE(Holds(n, n)) << n;
}

TEST_F(EditorTest, StackSurvivesReopeningTheEditor) {
    MakeSet(1, 4);
    ed.Open();
    ed.Push();
    BoardEditor again{*set};
    again.Open();
    EXPECT_EQ(again.stackCount(), 1);
    EXPECT_TRUE(again.Buttons().pop);
}

TEST_F(EditorTest, FillIsOfferedWithExactlyThreeCompleteHands) {
    MakeSet(1, 2);
    ed.Open();
    ed.SetSuitText(SuitBoxIndex(E, 2), "");
    EXPECT_TRUE(ed.Buttons().fill);
    ed.SetSuitText(SuitBoxIndex(W, 3), "");
    EXPECT_FALSE(ed.Buttons().fill);
    EXPECT_FALSE(ed.Fill());
}

} // namespace
} // namespace orvenix
