// Score cards on the recording surface: halves of the page, the card's heading, deal and table, pair
// numbers, copies and progress.
#include "print/print_probe.h"
#include "support/sample_deals.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

using test::Find;
using test::Request;

RecordingSurface Print(BoardSet& set, const PrintRequest& req) {
    RecordingSurface s;
    PrintScoreCards(s, set, req);
    return s;
}

std::tuple<double, double, double, double> Box(const DrawOp& op) {
    return {op.x1, op.y1, op.x2, op.y2};
}

TEST(ScoreCardPages, OddBoardsLeftEvenBoardsRightCopiesInOneJob) {
    BoardSet set = test::SampleSet(1, 10);
    RecordingSurface s;
    std::vector<double> progress;
    PrintScoreCards(s, set, Request{.from = 2, .to = 5, .copies = 2},
                    [&](double p) { progress.push_back(p); });
    // Pages of the copy: board 2 alone on the right, 3 and 4, 5 alone on the left.
    EXPECT_EQ(std::tuple(s.pagesEnded, s.documentsEnded, progress),
              std::tuple(6, 1, std::vector<double>{50, 100}));
    for (int board = 2; board <= 5; ++board) {
        const double left = board % 2 == 1 ? 15 : 300;
        EXPECT_NE(Find(s, (board - 1) / 2, PrintedNumber(board), left + 70), nullptr) << board;
        for (const DrawOp& op : s.Page(board == 2 ? 0 : board == 5 ? 2 : -1)) // nothing in the other half
            EXPECT_TRUE(op.x1 >= left && op.x1 <= left + 274) << board << op.text;
    }
    EXPECT_EQ(set.currentBoard, 6) << "left at the board after the last one printed";
}

TEST(ScoreCardContent, HeadingDealTablePairNumbersAndFileName) {
    BoardSet set = test::SampleSet(1, 10);
    const RecordingSurface s = Print(set, Request{.from = 3, .to = 3, .nsFirst = 9});
    // Each text of the card, on the left half (15 points in), and its font.
    const PrintFont t10{kTextFont, 10, false}, t14{kTextFont, 14, false}, label{kTextFont, 18, true},
        symbol{kSymbolFont, 14, false};
    const std::tuple<const char*, double, double, PrintFont> texts[] = {
        {"Board", 10, 10, {kTextFont, 20, false}},
        {" 3 ", 70, 10, {kTextFont, 20, true}},
        {"Dealer: South", 10, 29, t14},
        {"Vul:      EW", 10, 45, t14},
        {"North", 100, 61, label},
        {"West", 25, 131, label},
        {"East", 185, 131, label},
        {"South", 100, 202, label},
        {" 9 ", 18, 335, {kTextFont, 16, true}},
        {"/home/club/sets/tuesday.pbn", 10, 684, t10}};
    for (const auto& [text, x, y, font] : texts)
        EXPECT_NE(Find(s, 0, text, 15 + x, y, font), nullptr) << text;
    // The column heads, in 10 or 12 points.
    const std::tuple<const char*, double, double, double> heads[] = {
        {"NS", 9, 302, 10},        {"Pair", 7, 310, 10},      {"Numb", 3, 319, 10},
        {"EW", 39, 302, 10},       {"Pair", 37, 310, 10},     {"Numb", 33, 319, 10},
        {"Contract", 66, 304, 10}, {"Declarer", 66, 315, 10}, {"Tricks", 111, 304, 10},
        {"Made", 113, 315, 10},    {"NS + ", 147, 311, 12},   {"NS - ", 199, 311, 12},
        {"Match", 243, 304, 10},   {"Points", 243, 315, 10}};
    for (const auto& [text, x, y, size] : heads)
        EXPECT_NE(Find(s, 0, text, 15 + x, y, PrintFont{kTextFont, size, false}), nullptr) << text;
    // South's hand (anchor 15 + 95, 217): symbols at (x - 2, y - 2) in Symbol 14, cards centred at x + 10k.
    for (int suit = 1; suit <= 4; ++suit) {
        const double y = 217 + 14 * (suit - 1);
        EXPECT_NE(Find(s, 0, kSuitSymbolsUtf8[suit - 1], 108, y - 2, symbol), nullptr) << suit;
        for (int rank = 1, k = 0; rank <= 13; ++rank) {
            if (set[3].cardOwner[CardCodeOf(suit, rank)] != 3) continue;
            const std::string letter(1, kRankLetters[rank - 1]);
            const double x = 110 + 10 * ++k - (test::Width(letter, 14) - test::Width("A", 14)) / 40;
            EXPECT_NE(Find(s, 0, letter, x, y, t14), nullptr) << letter << " in suit " << suit;
        }
    }
    // The table: a head row of 30 points and 14 result rows of 25, each split by the seven column lines.
    const auto rects = s.Rectangles(0), lines = s.Lines(0);
    ASSERT_EQ(std::pair(rects.size(), lines.size()), std::pair(15ul, 15ul * 7));
    for (std::size_t i = 0; i < rects.size(); ++i) {
        const double top = i == 0 ? 300 : 305 + 25 * i, bottom = 330 + 25 * i;
        EXPECT_EQ(Box(rects[i]), std::tuple(15, top, 289, bottom));
        for (std::size_t k = 7 * i; const double x : {45, 75, 123, 153, 203, 253, 287})
            EXPECT_EQ(Box(lines[k++]), std::tuple(x, top, x, bottom));
    }
    for (int first : {9, 95}) { // one, two and three digits start 18, 11 and 4 points in
        const RecordingSurface s = Print(set, Request{.nsFirst = first});
        for (int p = first; p < first + 14; ++p) {
            const double x = 15 + (p < 10 ? 18 : p < 100 ? 11 : 4);
            EXPECT_NE(Find(s, 0, PrintedNumber(p), x, 335 + 25 * (p - first)), nullptr) << p;
        }
        EXPECT_EQ(Find(s, 0, PrintedNumber(first + 14)), nullptr);
    }
    // Without pair numbers and deal: the heading's four texts, the fourteen column heads and the file name.
    EXPECT_EQ(Print(set, Request{.printDeal = false}).Texts(0).size(), 4u + 14 + 1);
    // A long file name keeps its end on its half.
    set.fileName = "/home/club/" + std::string(120, 'x') + "/tuesday.pbn";
    RecordingSurface measure;
    measure.SetUnit(PrintUnit::Points);
    EXPECT_NE(Find(Print(set, Request{}), 0, ShortenFrontToWidth(measure, set.fileName, 264), 25, 684),
              nullptr);
}

} // namespace
} // namespace orvenix
