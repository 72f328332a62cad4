// Score cards on the recording surface: halves of the page, the card's heading, deal and table, pair
// numbers, copies and progress.
#include "print/layouts.h"
#include "support/sample_deals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace orvenix {
namespace {

using test::SampleSet;

const DrawOp* FindText(const RecordingSurface& s, int page, const std::string& text, double x = -1) {
    for (const DrawOp& op : s.ops) {
        if (op.page == page && op.kind == DrawKind::Text && op.text == text && (x < 0 || op.x1 == x))
            return &op;
    }
    return nullptr;
}

double MinX(const std::vector<DrawOp>& ops) {
    double m = 1e9;
    for (const DrawOp& op : ops)
        m = std::min(m, op.x1);
    return m;
}
double MaxX(const std::vector<DrawOp>& ops) {
    double m = -1e9;
    for (const DrawOp& op : ops)
        m = std::max({m, op.x1, op.kind == DrawKind::Text ? op.x1 : op.x2});
    return m;
}

PrintRequest Cards(int from, int to) {
    PrintRequest req;
    req.from = from;
    req.to = to;
    return req;
}

TEST(ScoreCardPages, OddBoardsLeftEvenBoardsRight) {
    BoardSet set = SampleSet(1, 10);
    RecordingSurface s;
    PrintScoreCards(s, set, Cards(2, 3));
    ASSERT_EQ(s.pagesEnded, 2);
    EXPECT_EQ(s.documentsEnded, 1);
    // Page 1: board 2 on the right half, the left half empty.
    EXPECT_GE(MinX(s.Page(0)), 300);
    EXPECT_NE(FindText(s, 0, " 2 ", 370), nullptr);
    // Page 2: board 3 on the left half, the right half empty.
    EXPECT_NE(FindText(s, 1, " 3 ", 85), nullptr);
    EXPECT_LE(MaxX(s.Page(1)), 15 + 274);
    for (const DrawOp& op : s.ops)
        EXPECT_EQ(op.unit, PrintUnit::Points);
}

TEST(ScoreCardPages, ThreeBoardsGiveTwoPages) {
    BoardSet set = SampleSet(1, 10);
    RecordingSurface s;
    PrintScoreCards(s, set, Cards(1, 3));
    ASSERT_EQ(s.pagesEnded, 2);
    EXPECT_NE(FindText(s, 0, " 1 ", 85), nullptr);
    EXPECT_NE(FindText(s, 0, " 2 ", 370), nullptr);
    EXPECT_NE(FindText(s, 1, " 3 ", 85), nullptr);
    EXPECT_EQ(set.currentBoard, 4) << "the loop leaves the current board after the last one printed";
}

TEST(ScoreCardContent, HeadingDealAndFileName) {
    BoardSet set = SampleSet(1, 10);
    RecordingSurface s;
    PrintScoreCards(s, set, Cards(3, 3));
    const double L = 15;
    const DrawOp* board = FindText(s, 0, "Board");
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->x1, L + 10);
    EXPECT_EQ(board->y1, 10);
    EXPECT_EQ(board->font, (PrintFont{"Times New Roman", 20, false}));
    const DrawOp* number = FindText(s, 0, " 3 ");
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->x1, L + 70);
    EXPECT_EQ(number->font, (PrintFont{"Times New Roman", 20, true}));
    const DrawOp* dealer = FindText(s, 0, "Dealer: South");
    ASSERT_NE(dealer, nullptr);
    EXPECT_EQ(dealer->y1, 29);
    EXPECT_EQ(dealer->font, (PrintFont{"Times New Roman", 14, false}));
    const DrawOp* vul = FindText(s, 0, "Vul:      EW");
    ASSERT_NE(vul, nullptr);
    EXPECT_EQ(vul->y1, 45);

    struct Label {
        const char* text;
        double x, y;
    };
    for (const Label& l : {Label{"North", 100, 61}, Label{"West", 25, 131}, Label{"East", 185, 131},
                           Label{"South", 100, 202}}) {
        const DrawOp* op = FindText(s, 0, l.text);
        ASSERT_NE(op, nullptr) << l.text;
        EXPECT_EQ(op->x1, L + l.x);
        EXPECT_EQ(op->y1, l.y);
        EXPECT_EQ(op->font, (PrintFont{"Times New Roman", 18, true}));
    }

    // South's hand (anchor L + 95, 217): symbols at (x - 2, y - 2) in Symbol 14, cards centred at x + 10k.
    const Board& b = set[3];
    RecordingSurface measure;
    measure.SetUnit(PrintUnit::Points);
    measure.SetFontSize(14);
    double y = 217;
    for (int suit = 1; suit <= 4; ++suit) {
        std::optional<DrawOp> sym;
        for (const DrawOp& op : s.Texts(0)) {
            if (op.text == kSuitSymbolsUtf8[suit - 1] && op.x1 == L + 93 && op.y1 == y - 2) sym = op;
        }
        ASSERT_TRUE(sym.has_value()) << suit;
        EXPECT_EQ(sym->font, (PrintFont{"Symbol", 14, false}));
        int k = 0;
        for (int rank = 1; rank <= 13; ++rank) {
            if (b.cardOwner[CardCodeOf(suit, rank)] != 3) continue;
            ++k;
            const std::string letter(1, kRankLetters[rank - 1]);
            const double x = L + 95 + 10 * k - measure.TextWidth(letter) / 2 + measure.TextWidth("A") / 2;
            const bool found = std::any_of(s.ops.begin(), s.ops.end(), [&](const DrawOp& op) {
                return op.kind == DrawKind::Text && op.text == letter && std::abs(op.x1 - x) < 1e-9 &&
                       op.y1 == y && op.font == PrintFont{"Times New Roman", 14, false};
            });
            EXPECT_TRUE(found) << letter << " in suit " << suit;
        }
        y += 14;
    }

    const DrawOp* file = FindText(s, 0, "/home/club/sets/tuesday.pbn");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->x1, L + 10);
    EXPECT_EQ(file->y1, 684);
    EXPECT_EQ(file->font, (PrintFont{"Times New Roman", 10, false}));
}

TEST(ScoreCardContent, TableGridAndColumnHeadings) {
    BoardSet set = SampleSet(1, 10);
    RecordingSurface s;
    PrintScoreCards(s, set, Cards(4, 4));
    const double L = 300;
    const auto rects = s.Rectangles(0);
    ASSERT_EQ(rects.size(), 15u);
    EXPECT_EQ(rects[0].y1, 300);
    EXPECT_EQ(rects[0].y2, 330);
    EXPECT_EQ(rects[1].y1, 330);
    EXPECT_EQ(rects[1].y2, 355);
    EXPECT_EQ(rects[14].y2, 680);
    for (const DrawOp& r : rects) {
        EXPECT_EQ(r.x1, L);
        EXPECT_EQ(r.x2, L + 274);
    }
    const auto lines = s.Lines(0);
    ASSERT_EQ(lines.size(), 15u * 7);
    const double columns[7] = {30, 60, 108, 138, 188, 238, 272};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(lines[i].x1, L + columns[i]);
        EXPECT_EQ(lines[i].x2, L + columns[i]);
        EXPECT_EQ(lines[i].y1, 300);
        EXPECT_EQ(lines[i].y2, 330);
    }

    struct Heading {
        const char* text;
        double x, y, size;
    };
    const Heading headings[] = {
        {"NS", 9, 302, 10},       {"Numb", 3, 319, 10},      {"EW", 39, 302, 10},
        {"Numb", 33, 319, 10},    {"Contract", 66, 304, 10}, {"Declarer", 66, 315, 10},
        {"Tricks", 111, 304, 10}, {"Made", 113, 315, 10},    {"NS + ", 147, 311, 12},
        {"NS - ", 199, 311, 12},  {"Match", 243, 304, 10},   {"Points", 243, 315, 10},
        {"Pair", 7, 310, 10},     {"Pair", 37, 310, 10}};
    for (const Heading& h : headings) {
        const DrawOp* op = FindText(s, 0, h.text, L + h.x);
        ASSERT_NE(op, nullptr) << h.text;
        EXPECT_EQ(op->y1, h.y) << h.text;
        EXPECT_EQ(op->font, (PrintFont{"Times New Roman", h.size, false})) << h.text;
    }
}

TEST(ScoreCardContent, PairNumbersAlignByDigits) {
    BoardSet set = SampleSet(1, 10);
    PrintRequest req = Cards(1, 1);
    req.nsFirst = 9;
    RecordingSurface s;
    PrintScoreCards(s, set, req);
    const double L = 15;
    for (int p = 9; p <= 22; ++p) {
        const double y = 330 + 25 * (p - 9) + 5;
        const double x = p < 10 ? L + 18 : L + 11;
        const DrawOp* op = FindText(s, 0, " " + std::to_string(p) + " ");
        ASSERT_NE(op, nullptr) << p;
        EXPECT_EQ(op->x1, x) << p;
        EXPECT_EQ(op->y1, y) << p;
        EXPECT_EQ(op->font, (PrintFont{"Times New Roman", 16, true}));
    }
    EXPECT_EQ(FindText(s, 0, " 23 "), nullptr);

    req.nsFirst = 95;
    RecordingSurface high;
    PrintScoreCards(high, set, req);
    const DrawOp* p99 = FindText(high, 0, " 99 ");
    const DrawOp* p100 = FindText(high, 0, " 100 ");
    ASSERT_NE(p99, nullptr);
    ASSERT_NE(p100, nullptr);
    EXPECT_EQ(p99->x1, L + 11);
    EXPECT_EQ(p100->x1, L + 4);

    // Without pair numbers the result rows stay empty.
    RecordingSurface none;
    PrintScoreCards(none, set, Cards(1, 1));
    for (const DrawOp& op : none.Texts(0))
        EXPECT_FALSE(op.y1 > 330 && op.y1 < 680) << op.text;
}

TEST(ScoreCardContent, WithoutDealOnlyHeadingTableAndFileName) {
    BoardSet set = SampleSet(1, 10);
    PrintRequest req = Cards(1, 1);
    req.printDeal = false;
    RecordingSurface s;
    PrintScoreCards(s, set, req);
    for (const DrawOp& op : s.Texts(0)) {
        EXPECT_NE(op.font.name, "Symbol");
        EXPECT_TRUE(op.y1 < 61 || op.y1 >= 300) << op.text << " at " << op.y1;
    }
    EXPECT_EQ(FindText(s, 0, "North"), nullptr);
    EXPECT_NE(FindText(s, 0, "Dealer: North"), nullptr);
}

TEST(ScoreCardPages, CopiesShareOneJobAndReportProgress) {
    BoardSet set = SampleSet(1, 10);
    PrintRequest req = Cards(1, 2);
    req.copies = 3;
    RecordingSurface s;
    std::vector<double> progress;
    PrintScoreCards(s, set, req, [&](double p) { progress.push_back(p); });
    EXPECT_EQ(s.pagesEnded, 3);
    EXPECT_EQ(s.documentsEnded, 1);
    ASSERT_EQ(progress.size(), 3u);
    EXPECT_NEAR(progress[0], 33.33, 0.01);
    EXPECT_NEAR(progress[1], 66.67, 0.01);
    EXPECT_DOUBLE_EQ(progress[2], 100);
    EXPECT_EQ(set.currentBoard, 3);
}

TEST(ScoreCardContent, LongFileNameStaysOnItsHalf) {
    BoardSet set = SampleSet(1, 10);
    set.fileName = "/home/club/" + std::string(120, 'x') + "/tuesday.pbn";
    RecordingSurface s;
    PrintScoreCards(s, set, Cards(1, 1));
    std::optional<DrawOp> file;
    for (const DrawOp& op : s.Texts(0)) {
        if (op.y1 == 684) file = op;
    }
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->text.substr(0, 3), "...");
    EXPECT_EQ(file->text.substr(file->text.size() - 12), "/tuesday.pbn");
    RecordingSurface measure;
    measure.SetUnit(PrintUnit::Points);
    measure.SetFontSize(10);
    EXPECT_LE(measure.TextWidth(file->text), 264);
}

TEST(ScoreCardPages, BadRangePrintsNothing) {
    BoardSet set = SampleSet(1, 10);
    RecordingSurface s;
    EXPECT_THROW(PrintScoreCards(s, set, Cards(0, 3)), std::invalid_argument);
    EXPECT_THROW(PrintScoreCards(s, set, Cards(5, 4)), std::invalid_argument);
    EXPECT_TRUE(s.ops.empty());
    EXPECT_EQ(set.currentBoard, 1);
}

} // namespace
} // namespace orvenix
