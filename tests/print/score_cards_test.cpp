// Score cards on the recording surface: halves of the page, the card's heading, deal and table, pair
// numbers, copies and progress.
#include "print/print_probe.h"
#include "support/sample_deals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace orvenix {
namespace {

using test::SampleSet;
using test::Width;

using test::Find;

RecordingSurface Print(BoardSet& set, int from, int to, int nsFirst = 0, bool deal = true) {
    PrintRequest req;
    req.from = from;
    req.to = to;
    req.nsFirst = nsFirst;
    req.printDeal = deal;
    RecordingSurface s;
    PrintScoreCards(s, set, req);
    return s;
}

TEST(ScoreCardPages, OddBoardsLeftEvenBoardsRight) {
    struct Case {
        int from, to;
        std::vector<std::vector<double>> lefts; // per page, where the board numbers stand
    };
    const Case cases[] = {{2, 3, {{300}, {15}}}, {1, 3, {{15, 300}, {15}}}};
    for (const Case& c : cases) {
        BoardSet set = SampleSet(1, 10);
        const RecordingSurface s = Print(set, c.from, c.to);
        ASSERT_EQ(s.pagesEnded, static_cast<int>(c.lefts.size()));
        EXPECT_EQ(s.documentsEnded, 1);
        int board = c.from;
        for (std::size_t page = 0; page < c.lefts.size(); ++page) {
            for (double left : c.lefts[page]) {
                EXPECT_NE(Find(s, static_cast<int>(page), PrintedNumber(board++), left + 70), nullptr);
                // Nothing of the card reaches into the other half.
                for (const DrawOp& op : s.Page(static_cast<int>(page))) {
                    if (c.lefts[page].size() == 1) {
                        EXPECT_TRUE(op.x1 >= left && op.x1 <= left + 274) << op.text;
                    }
                }
            }
        }
        EXPECT_EQ(set.currentBoard, c.to + 1) << "left at the board after the last one printed";
    }
    // Copies share one job; progress per page.
    BoardSet set = SampleSet(1, 10);
    PrintRequest req;
    req.to = 2;
    req.copies = 3;
    RecordingSurface s;
    std::vector<double> progress;
    PrintScoreCards(s, set, req, [&](double p) { progress.push_back(p); });
    EXPECT_EQ(s.pagesEnded * 10 + s.documentsEnded, 31);
    ASSERT_EQ(progress.size(), 3u);
    EXPECT_NEAR(progress[0], 33.33, 0.01);
    EXPECT_NEAR(progress[1], 66.67, 0.01);
    EXPECT_DOUBLE_EQ(progress[2], 100);
}

TEST(ScoreCardContent, HeadingDealTableAndFileName) {
    BoardSet set = SampleSet(1, 10);
    const RecordingSurface s = Print(set, 3, 3);
    const double L = 15;
    struct Text {
        const char* text;
        double x, y;
        PrintFont font;
    };
    const PrintFont times14{"Times New Roman", 14, false}, label{"Times New Roman", 18, true};
    const Text texts[] = {{"Board", 10, 10, {"Times New Roman", 20, false}},
                          {" 3 ", 70, -1, {"Times New Roman", 20, true}},
                          {"Dealer: South", -1, 29, times14},
                          {"Vul:      EW", -1, 45, times14},
                          {"North", 100, 61, label},
                          {"West", 25, 131, label},
                          {"East", 185, 131, label},
                          {"South", 100, 202, label},
                          {"/home/club/sets/tuesday.pbn", 10, 684, {"Times New Roman", 10, false}}};
    for (const Text& t : texts) {
        const DrawOp* op = Find(s, 0, t.text, t.x < 0 ? -1 : L + t.x, t.y);
        ASSERT_NE(op, nullptr) << t.text;
        EXPECT_EQ(op->font, t.font) << t.text;
    }

    // South's hand (anchor L + 95, 217): symbols at (x - 2, y - 2) in Symbol 14, cards centred at x + 10k.
    for (int suit = 1; suit <= 4; ++suit) {
        const double y = 217 + 14 * (suit - 1);
        const DrawOp* symbol = Find(s, 0, kSuitSymbolsUtf8[suit - 1], L + 93, y - 2);
        ASSERT_NE(symbol, nullptr) << suit;
        EXPECT_EQ(symbol->font, (PrintFont{"Symbol", 14, false}));
        for (int rank = 1, k = 0; rank <= 13; ++rank) {
            if (set[3].cardOwner[CardCodeOf(suit, rank)] != 3) continue;
            const std::string letter(1, kRankLetters[rank - 1]);
            const double x = L + 95 + 10 * ++k - Width(letter, 14, PrintUnit::Points) / 2 +
                             Width("A", 14, PrintUnit::Points) / 2;
            const DrawOp* card = Find(s, 0, letter, x, y);
            ASSERT_NE(card, nullptr) << letter << " in suit " << suit;
            EXPECT_EQ(card->font, times14);
        }
    }

    // The table: a head row of 30 points and 14 result rows of 25, split by the seven column lines.
    const auto rects = s.Rectangles(0);
    ASSERT_EQ(rects.size(), 15u);
    for (std::size_t i = 0; i < rects.size(); ++i) {
        EXPECT_EQ(rects[i].y1, i == 0 ? 300 : 305 + 25 * i);
        EXPECT_EQ(rects[i].y2, 330 + 25 * i);
        EXPECT_TRUE(rects[i].x1 == L && rects[i].x2 == L + 274);
    }
    const auto lines = s.Lines(0);
    ASSERT_EQ(lines.size(), 15u * 7);
    for (std::size_t i = 0; i < 7; ++i) // the head row's column lines, left to right, the last at the edge
        EXPECT_TRUE(lines[i].x2 == lines[i].x1 && lines[i].y1 == 300 && lines[i].y2 == 330 &&
                    lines[i].x1 > (i == 0 ? L : lines[i - 1].x1) && lines[i].x1 <= L + 274);
    // The head row reads, column by column, top to bottom, each text starting between its column's lines.
    const std::string heads[7] = {"NS Pair Numb", "EW Pair Numb", "Contract Declarer", "Tricks Made",
                                  "NS + ",        "NS - ",        "Match Points"};
    for (std::size_t col = 0; col < 7; ++col) {
        const double from = col == 0 ? L : lines[col - 1].x1;
        std::vector<DrawOp> texts;
        for (const DrawOp& op : s.Texts(0)) {
            if (op.y1 > 300 && op.y1 + op.font.size < 330 && op.x1 >= from && op.x1 < lines[col].x1)
                texts.push_back(op);
        }
        std::sort(texts.begin(), texts.end(), [](const DrawOp& a, const DrawOp& b) { return a.y1 < b.y1; });
        std::string read;
        for (const DrawOp& op : texts)
            read += (read.empty() ? "" : " ") + op.text;
        EXPECT_EQ(read, heads[col]);
    }
    // A long file name keeps its end on its half.
    set.fileName = "/home/club/" + std::string(120, 'x') + "/tuesday.pbn";
    const auto longName = Print(set, 1, 1).Texts(0);
    const auto file =
        *std::find_if(longName.begin(), longName.end(), [](const DrawOp& op) { return op.y1 == 684; });
    EXPECT_EQ(file.text.substr(0, 3), "...");
    EXPECT_EQ(file.text.substr(file.text.size() - 12), "/tuesday.pbn");
    EXPECT_LE(Width(file.text, 10, PrintUnit::Points), 264);
}

TEST(ScoreCardContent, PairNumbersAlignByDigits) {
    BoardSet set = SampleSet(1, 10);
    const RecordingSurface s = Print(set, 1, 1, 95);
    // Rows from 330 in steps of 25; one, two and three digits start 18, 11 and 4 points in.
    for (int p = 95; p <= 108; ++p) {
        const DrawOp* op = Find(s, 0, PrintedNumber(p), 15 + (p < 100 ? 11 : 4), 335 + 25 * (p - 95));
        ASSERT_NE(op, nullptr) << p;
        EXPECT_EQ(op->font, (PrintFont{"Times New Roman", 16, true}));
    }
    EXPECT_EQ(Find(s, 0, PrintedNumber(109)), nullptr);
    EXPECT_NE(Find(Print(set, 1, 1, 9), 0, PrintedNumber(9), 15 + 18, 335), nullptr);
    // Without pair numbers the result rows stay empty; without the deal only heading, table and file name.
    const RecordingSurface none = Print(set, 1, 1, 0, false);
    for (const DrawOp& op : none.Texts(0)) {
        EXPECT_FALSE(op.y1 > 330 && op.y1 < 680) << op.text;
        EXPECT_TRUE(op.y1 < 61 || op.y1 >= 300) << op.text << " at " << op.y1;
    }
    EXPECT_NE(Find(none, 0, "Dealer: North"), nullptr);
}

TEST(ScoreCardPages, BadRangePrintsNothing) {
    BoardSet set = SampleSet(1, 10);
    RecordingSurface s;
    PrintRequest req;
    for (const auto& [from, to] : {std::pair{0, 3}, std::pair{5, 4}}) {
        req.from = from;
        req.to = to;
        EXPECT_THROW(PrintScoreCards(s, set, req), std::invalid_argument);
    }
    EXPECT_TRUE(s.ops.empty());
    EXPECT_EQ(set.currentBoard, 1);
}

} // namespace
} // namespace orvenix
