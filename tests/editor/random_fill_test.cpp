// The board editor's random fill: the count, where the boards go, what the shape rule and the similarity
// checks count against, and the status line.
#include "editor/editor_fixture.h"
#include "editor/hand_edit.h"
#include "history/history.h"

namespace orvenix {
namespace {

// Every hand 7-6-0-0: North the top n spades and the top 13 - n hearts, East the rest of both, South and
// West likewise in diamonds and clubs. With n 7 and 6 no hand of one repeats in the other.
Board SevenSix(int n) {
    Board b{};
    for (int code = 1; code <= kCards; ++code)
        b.cardOwner[code] = static_cast<Seat>((SuitOf(code) <= 2 ? 1 : 3) +
                                              (RankOf(code) > (SuitOf(code) % 2 == 1 ? n : 13 - n) ? 1 : 0));
    return b;
}

class RandomFillTest : public test::EditorFixture {
  protected:
    // Deals the queued boards first, then fresh random deals.
    RandomFillResult Fill(const char* count, const History* history = nullptr) {
        drawn = 0;
        const auto deal = [this] {
            const auto i = static_cast<std::size_t>(drawn++);
            return i < queued.size() ? queued[i] : test::RandomBoard(rng);
        };
        return ed.RandomFill(count, {deal, &tally, history, [this] { ++eventRuns; }});
    }

    ShapeTally tally{};
    std::mt19937 rng{99};
    std::vector<Board> queued;
    int drawn = 0;
    int eventRuns = 0;
};

TEST(RandomCountFromText, AcceptsWholeNumbersFromOneTo640) {
    const std::pair<const char*, int> cases[] = {
        {"1", 1}, {" 12 ", 12}, {"640", 640}, {"0640", 640}, {"", 0},   {"   ", 0},
        {"0", 0}, {"641", 0},   {"-3", 0},    {"1 2", 0},    {"3x", 0}, {"99999999999999999999999999", 0}};
    for (const auto& [text, count] : cases)
        EXPECT_EQ(RandomCountFromText(text), count) << text;
}

TEST_F(RandomFillTest, WithoutACountOneDealReplacesTheWorkingCopyOnly) {
    MakeSet(1, 4, 1);
    const RandomFillResult r = Fill("");
    EXPECT_EQ(std::tuple(r.stored, r.count, r.statusText, eventRuns),
              std::tuple(false, 0, "1 board generated and NOT saved", 1));
    // The deal can be accepted like any edit.
    EXPECT_TRUE(ed.Changed() && ed.editBoard().status == kBoardComplete && ed.editBoard().number == 1);
    EXPECT_TRUE(test::SameBoards(*set, *original, 1, kMaxBoard) && !set->modified);
}

TEST_F(RandomFillTest, BoardsGoFromTheCurrentBoardOnUpTo640) {
    const std::tuple<int, int, int, const char*, int, int, const char*> cases[] = {
        {1, 4, 4, "3", 3, 6, "3 boards generated and saved"},
        {1, 3, 2, "1", 1, 3, "1 board generated and saved"},
        {630, 640, 638, "5", 3, 640, "3 boards generated and saved"}};
    for (const auto& [first, last, current, count, filled, newLast, status] : cases) {
        SCOPED_TRACE(count);
        MakeSet(first, last, current);
        const RandomFillResult r = Fill(count);
        const int end = current + filled - 1;
        EXPECT_EQ(std::tuple(r.count, r.stored, r.verify.empty(), r.statusText),
                  std::tuple(filled, true, true, status));
        EXPECT_TRUE(Range(first, newLast, end) && set->modified);
        EXPECT_TRUE(test::SameBoards(*set, *original, first, current - 1) &&
                    test::SameBoards(*set, *original, end + 1, last));
        for (int n = current; n <= end; ++n)
            EXPECT_TRUE(CardsDiffer((*set)[n], (*original)[n]) && (*set)[n].status == kBoardComplete &&
                        (*set)[n].number == n && (*set)[n].dealer == DealerOf(n))
                << n;
        // The editor shows the last board generated, with nothing to accept.
        EXPECT_FALSE(ed.Changed() || CardsDiffer(ed.editBoard(), (*set)[end]));
    }
}

TEST_F(RandomFillTest, TheShapeRuleCountsTheShapesOfTheSet) {
    // 7-6-0-0 has no allowance at board 3 yet: it passes while no board of the set has it, and the tally
    // then counts the set with the new board instead of the old.
    MakeSet(1, 3, 1);
    queued = {SevenSix(7)};
    ASSERT_TRUE(Fill("1").verify.empty() && drawn == 1);
    ShapeTally expected{};
    for (int n = 1; n <= 3; ++n)
        for (int seat = 1; seat <= 4; ++seat)
            ++expected[(*set)[n].shapeIndex[seat]];
    EXPECT_EQ(tally, expected);
    // With board 1 holding it, it is refused on board 2.
    ASSERT_TRUE(ed.Next());
    queued.assign(5, SevenSix(6));
    EXPECT_TRUE(Fill("1").verify == std::vector<int>{2} && drawn == 5);
}

// Every draw is the same candidate: one that repeats a hand of another board or of the history is drawn
// again, up to five times; then the fifth is kept and its board reported.
TEST_F(RandomFillTest, ACandidateRepeatingAHandOfAnotherBoardOrOfTheHistoryIsDrawnAgain) {
    MakeSet(1, 40, 3); // a long set, so that the shape rule leaves room for any ordinary deal
    Board rotated = (*original)[3];
    RotateHands(rotated, 1);
    const Board recorded = test::RandomBoard(rng);
    Board swapped = recorded;
    SwapSeats(swapped, 1, 3);
    std::vector<std::uint8_t> bytes;
    for (const HistoryRecord& rec :
         {MakeNameRecord("CLUB.PBN", 1), MakeBoardRecord(recorded, 7), MakeEndMarker()})
        bytes.insert(bytes.end(), rec.begin(), rec.end());
    History history;
    history.Load(bytes.data(), bytes.size());
    const std::tuple<Board, const char*, const History*, int, std::string> cases[] = {
        {rotated, "1", nullptr, 1, "1 board generated and saved"}, // the board replaced does not count
        {(*original)[1], "2", nullptr, 10, "Please verify boards: 3, 4"},
        {swapped, "1", &history, 5, "Please verify boards: 3"},
        {swapped, "1", nullptr, 1, "1 board generated and saved"}};
    for (const auto& [candidate, count, withHistory, draws, status] : cases) {
        SCOPED_TRACE(status);
        MakeSet(1, 40, 3);
        queued.assign(10, candidate);
        EXPECT_EQ(Fill(count, withHistory).statusText, status);
        EXPECT_TRUE(drawn == draws && !CardsDiffer((*set)[3], candidate));
    }
}

} // namespace
} // namespace orvenix
