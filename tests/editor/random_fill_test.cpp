// The board editor's random fill: the count, where the boards go, the shape rule, the two similarity
// filters and the status line.
#include "editor/board_editor.h"

#include "editor/hand_edit.h"
#include "history/history.h"
#include "generate/random.h"
#include "model/similarity.h"
#include "support/board_set_samples.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <random>

namespace orvenix {
namespace {

constexpr int N = 1, E = 2, S = 3, W = 4;

// Every hand 7-6-0-0: North seven spades and six hearts, East the other six spades and seven hearts, South
// and West likewise in diamonds and clubs.
Board SevenSixBoard() {
    Board b{};
    for (int rank = 1; rank <= 13; ++rank) {
        b.cardOwner[CardCodeOf(1, rank)] = rank <= 7 ? N : E;
        b.cardOwner[CardCodeOf(2, rank)] = rank <= 6 ? N : E;
        b.cardOwner[CardCodeOf(3, rank)] = rank <= 7 ? S : W;
        b.cardOwner[CardCodeOf(4, rank)] = rank <= 6 ? S : W;
    }
    AnalyseBoard(b);
    return b;
}

// The same shapes, but North and East have exchanged one spade and South and West one diamond: no hand
// repeats a hand of SevenSixBoard.
Board OtherSevenSixBoard() {
    Board b = SevenSixBoard();
    b.cardOwner[CardCodeOf(1, 7)] = E;
    b.cardOwner[CardCodeOf(1, 8)] = N;
    b.cardOwner[CardCodeOf(3, 7)] = W;
    b.cardOwner[CardCodeOf(3, 8)] = S;
    AnalyseBoard(b);
    return b;
}

// Every hand 4-3-3-3, a common shape: North holds four spades, East four hearts, South four diamonds and
// West four clubs.
Board FourThreeBoard() {
    Board b{};
    for (int suit = 1; suit <= 4; ++suit) {
        int rank = 1;
        for (int seat = 1; seat <= 4; ++seat) {
            const int length = seat == suit ? 4 : 3;
            for (int i = 0; i < length; ++i)
                b.cardOwner[CardCodeOf(suit, rank++)] = static_cast<Seat>(seat);
        }
    }
    AnalyseBoard(b);
    return b;
}

class RandomFillTest : public ::testing::Test {
  protected:
    void MakeSet(int first, int last, std::uint32_t seed = 7) {
        *set = test::RandomSet(first, last, seed);
        original = std::make_unique<BoardSet>(*set);
    }
    void GoTo(int board) {
        while (set->currentBoard < board && ed.Next()) {
        }
        ASSERT_EQ(set->currentBoard, board);
    }
    // Deals the queued boards first, then fresh random deals.
    RandomFillServices Services() {
        RandomFillServices s;
        s.randomDeal = [this] {
            ++dealsDrawn;
            if (!queued.empty()) {
                Board b = queued.front();
                queued.pop_front();
                return b;
            }
            return test::RandomBoard(rng);
        };
        s.tally = &tally;
        s.processEvents = [this] { ++eventRuns; };
        return s;
    }

    std::unique_ptr<BoardSet> set = std::make_unique<BoardSet>();
    std::unique_ptr<BoardSet> original;
    BoardEditor ed{*set};
    ShapeTally tally{};
    std::mt19937 rng{99};
    std::deque<Board> queued;
    int dealsDrawn = 0;
    int eventRuns = 0;
};

TEST(RandomCountFromText, AcceptsWholeNumbersFromOneTo640) {
    EXPECT_EQ(RandomCountFromText("1"), 1);
    EXPECT_EQ(RandomCountFromText(" 12 "), 12);
    EXPECT_EQ(RandomCountFromText("640"), 640);
    EXPECT_EQ(RandomCountFromText("0640"), 640);
    EXPECT_EQ(RandomCountFromText(""), 0);
    EXPECT_EQ(RandomCountFromText("   "), 0);
    EXPECT_EQ(RandomCountFromText("0"), 0);
    EXPECT_EQ(RandomCountFromText("641"), 0);
    EXPECT_EQ(RandomCountFromText("-3"), 0);
    EXPECT_EQ(RandomCountFromText("1 2"), 0);
    EXPECT_EQ(RandomCountFromText("3x"), 0);
    EXPECT_EQ(RandomCountFromText("99999999999999999999999999"), 0);
}

TEST_F(RandomFillTest, WithoutACountOneDealReplacesTheWorkingCopyOnly) {
    for (const char* text : {"", "0", "641", "abc"}) {
        MakeSet(1, 4);
        ed.Open();
        ed.SetSuitText(SuitBoxIndex(N, 1), "AKQ");
        const RandomFillResult r = ed.RandomFill(text, Services());
        EXPECT_EQ(r.count, 0) << text;
        EXPECT_FALSE(r.stored);
        EXPECT_EQ(r.statusText, "1 board generated and NOT saved");
        EXPECT_EQ(ed.editBoard().status, kBoardComplete);
        EXPECT_EQ(ed.editBoard().number, 1);
        EXPECT_EQ(ed.editBoard().dealer, N);
        EXPECT_EQ(ed.editBoard().vulnerability, 1);
        EXPECT_TRUE(test::SameBoards(*set, *original, 1, kMaxBoard)) << text;
        EXPECT_FALSE(set->modified);
        EXPECT_TRUE(ed.Changed());
    }
    EXPECT_EQ(eventRuns, 4);
    // The deal can be accepted like any edit.
    const Board dealt = ed.editBoard();
    EXPECT_TRUE(ed.Accept());
    EXPECT_FALSE(CardsDiffer((*set)[1], dealt));
    EXPECT_EQ((*set)[1].number, 1);
}

TEST_F(RandomFillTest, BoardsGoFromTheCurrentBoardOnAndExtendTheSet) {
    MakeSet(1, 4);
    ed.Open();
    GoTo(4);
    const RandomFillResult r = ed.RandomFill("3", Services());
    EXPECT_EQ(r.count, 3);
    EXPECT_TRUE(r.stored);
    EXPECT_TRUE(r.verify.empty());
    EXPECT_EQ(r.statusText, "3 boards generated and saved");
    EXPECT_EQ(set->lastBoard, 6);
    EXPECT_EQ(set->currentBoard, 6);
    EXPECT_EQ(ed.totalBoards(), 6);
    EXPECT_TRUE(set->modified);
    EXPECT_EQ(eventRuns, 3);
    EXPECT_TRUE(test::SameBoards(*set, *original, 1, 3));
    EXPECT_TRUE(CardsDiffer((*set)[4], (*original)[4]));
    for (int n = 4; n <= 6; ++n) {
        const Board& b = (*set)[n];
        EXPECT_EQ(b.status, kBoardComplete) << n;
        EXPECT_EQ(b.number, n);
        EXPECT_EQ(b.dealer, DealerOf(n));
        EXPECT_EQ(b.vulnerability, VulnerabilityOf(n));
    }
    EXPECT_EQ((*set)[7].status, kBoardEmpty);
    // The editor shows the last board generated, with nothing to accept.
    EXPECT_FALSE(ed.Changed());
    EXPECT_FALSE(CardsDiffer(ed.editBoard(), (*set)[6]));
}

TEST_F(RandomFillTest, OneBoardReplacesTheCurrentBoardWhateverItHeld) {
    MakeSet(1, 3);
    ed.Open();
    ed.Next();
    ed.SetSuitText(SuitBoxIndex(W, 4), "");
    ed.SetSuitText(SuitBoxIndex(W, 3), "");
    const RandomFillResult r = ed.RandomFill("1", Services());
    EXPECT_EQ(r.statusText, "1 board generated and saved");
    EXPECT_EQ(set->currentBoard, 2);
    EXPECT_EQ(set->lastBoard, 3);
    EXPECT_EQ((*set)[2].status, kBoardComplete);
    EXPECT_TRUE(test::SameBoards(*set, *original, 1, 1));
    EXPECT_TRUE(test::SameBoards(*set, *original, 3, 3));
}

TEST_F(RandomFillTest, TheCountStopsAtBoard640) {
    MakeSet(630, 640);
    ed.Open();
    GoTo(638);
    const RandomFillResult r = ed.RandomFill("5", Services());
    EXPECT_EQ(r.count, 3);
    EXPECT_EQ(r.statusText, "3 boards generated and saved");
    EXPECT_EQ(set->lastBoard, 640);
    EXPECT_EQ(set->currentBoard, 640);
    EXPECT_EQ(dealsDrawn, 3);
    EXPECT_TRUE(test::SameBoards(*set, *original, 630, 637));
}

TEST_F(RandomFillTest, ACandidateRepeatingAHandOfTheSetIsDrawnAgain) {
    // A long set, so that the shape rule leaves room for the shapes of any ordinary deal.
    MakeSet(1, 40);
    ed.Open();
    GoTo(3);
    Board repeat = (*original)[25];
    RotateHands(repeat, 1);
    queued.push_back(repeat);
    const RandomFillResult r = ed.RandomFill("1", Services());
    EXPECT_TRUE(r.verify.empty());
    EXPECT_EQ(dealsDrawn, 2);
    EXPECT_TRUE(CardsDiffer((*set)[3], repeat));
    EXPECT_LT(CompareHands((*set)[3], (*set)[25]), 13);
}

TEST_F(RandomFillTest, TheBoardBeingReplacedDoesNotCountAgainstTheNewOne) {
    MakeSet(1, 40);
    (*set)[3] = FourThreeBoard();
    ed.Open();
    GoTo(3);
    queued.push_back(FourThreeBoard());
    ed.RandomFill("1", Services());
    EXPECT_EQ(dealsDrawn, 1);
    // On the next board the same deal repeats board 3 and is drawn again.
    ASSERT_TRUE(ed.Next());
    queued.push_back(FourThreeBoard());
    dealsDrawn = 0;
    const RandomFillResult r = ed.RandomFill("1", Services());
    EXPECT_EQ(dealsDrawn, 2);
    EXPECT_TRUE(r.verify.empty());
}

TEST_F(RandomFillTest, AfterFiveRejectedCandidatesTheFifthIsKeptAndReported) {
    MakeSet(1, 6);
    ed.Open();
    GoTo(2);
    for (int i = 0; i < 10; ++i)
        queued.push_back((*original)[1]);
    const RandomFillResult r = ed.RandomFill("2", Services());
    EXPECT_EQ(dealsDrawn, 10);
    EXPECT_EQ(r.verify, (std::vector<int>{2, 3}));
    EXPECT_EQ(r.statusText, "Please verify boards: 2, 3");
    EXPECT_FALSE(CardsDiffer((*set)[2], (*original)[1]));
    EXPECT_FALSE(CardsDiffer((*set)[3], (*original)[1]));
    EXPECT_TRUE(set->modified);
}

TEST_F(RandomFillTest, TheShapeRuleCountsTheShapesAlreadyInTheSet) {
    // Board 1 holds four 7-6-0-0 hands, a shape whose allowance is still 0 at board 3.
    MakeSet(1, 3);
    (*set)[1] = SevenSixBoard();
    ed.Open();
    GoTo(2);
    for (int i = 0; i < 5; ++i)
        queued.push_back(OtherSevenSixBoard());
    const RandomFillResult r = ed.RandomFill("1", Services());
    EXPECT_EQ(dealsDrawn, 5);
    EXPECT_EQ(r.verify, std::vector<int>{2});
    EXPECT_LT(CompareHands(OtherSevenSixBoard(), SevenSixBoard()), 13);
}

TEST_F(RandomFillTest, TheSameShapesPassWhileNoBoardOfTheSetHasThem) {
    MakeSet(1, 3);
    ed.Open();
    GoTo(2);
    queued.push_back(OtherSevenSixBoard());
    const RandomFillResult r = ed.RandomFill("1", Services());
    EXPECT_EQ(dealsDrawn, 1);
    EXPECT_TRUE(r.verify.empty());
    // The tally now holds the set's shapes: boards 1 and 3 as they were and the new board 2.
    ShapeTally expected{};
    for (int n = 1; n <= 3; ++n) {
        for (int seat = 1; seat <= 4; ++seat)
            ++expected[(*set)[n].shapeIndex[seat]];
    }
    for (int i = 1; i <= kShapeCount; ++i)
        EXPECT_EQ(tally[i], expected[i]) << i;
    EXPECT_EQ(tally[30], 4);
}

TEST_F(RandomFillTest, ACandidateRepeatingAHandOfTheHistoryIsDrawnAgain) {
    MakeSet(1, 2);
    ed.Open();
    std::mt19937 other(1234);
    const Board recorded = test::RandomBoard(other);
    std::vector<std::uint8_t> bytes;
    for (const HistoryRecord& rec :
         {MakeNameRecord("CLUB.PBN", 1), MakeBoardRecord(recorded, 7), MakeEndMarker()})
        bytes.insert(bytes.end(), rec.begin(), rec.end());
    History history;
    history.Load(bytes.data(), bytes.size());
    Board swapped = recorded;
    SwapSeats(swapped, N, S);
    queued.push_back(swapped);
    RandomFillServices services = Services();
    services.history = &history;
    const RandomFillResult r = ed.RandomFill("1", services);
    EXPECT_EQ(dealsDrawn, 2);
    EXPECT_TRUE(r.verify.empty());
    EXPECT_TRUE(CardsDiffer((*set)[1], swapped));
    // Without the history the same candidate is taken at once.
    queued.push_back(swapped);
    dealsDrawn = 0;
    ed.RandomFill("1", Services());
    EXPECT_EQ(dealsDrawn, 1);
    EXPECT_FALSE(CardsDiffer((*set)[1], swapped));
}

TEST_F(RandomFillTest, AWholeSetFromTheProgramsRandomDealIsCompleteAndHasNoRepeatedHand) {
    ed.Open();
    RandomSource random = RandomSource::FromSeed(20260101);
    RandomFillServices services = Services();
    services.randomDeal = [&random] { return random.RandomDeal(); };
    const RandomFillResult r = ed.RandomFill("640", services);
    EXPECT_EQ(r.count, 640);
    EXPECT_EQ(set->lastBoard, 640);
    EXPECT_EQ(set->firstBoard, 1);
    EXPECT_EQ(set->currentBoard, 640);
    std::int16_t a = 0;
    std::int16_t b = 0;
    for (int n = 1; n <= 640; ++n) {
        const Board& board = (*set)[n];
        ASSERT_EQ(board.status, kBoardComplete) << n;
        for (int seat = 1; seat <= 4; ++seat)
            ASSERT_EQ(board.cardCount[seat], 13);
        ASSERT_EQ(board.number, n);
    }
    if (r.verify.empty()) {
        EXPECT_LT(MaxInnerSimilarity(*set, a, b), 13);
    }
}

} // namespace
} // namespace orvenix
