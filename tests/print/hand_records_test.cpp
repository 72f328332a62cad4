// Hand-record pages on the recording surface: the geometry of each boards-per-page option, page breaks,
// copies, the footer and the double-dummy table.
#include "analysis/double_dummy.h"
#include "print/print_probe.h"
#include "support/sample_deals.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orvenix {
namespace {

using test::Find;
using test::SampleSet;
constexpr double kW = 11520; // the default page, 576 x 756 points, is 11520 x 15120 twips

double Width(const std::string& text, double size, bool bold = false) {
    return test::Width(text, size, PrintUnit::Twips, bold);
}

std::vector<DrawOp> BoardTexts(const RecordingSurface& s, int page) {
    std::vector<DrawOp> out;
    for (const DrawOp& op : s.Texts(page))
        if (op.text.rfind("Board:", 0) == 0) out.push_back(op);
    return out;
}

std::vector<double> LineYs(const RecordingSurface& s, int page) {
    std::vector<double> ys;
    for (const DrawOp& op : s.Lines(page)) {
        EXPECT_TRUE(op.y1 == op.y2 && op.x1 == 0 && op.x2 == kW) << "lines run across the page";
        ys.push_back(op.y1);
    }
    return ys;
}

RecordingSurface Print(const BoardSet& set, int from, int to, int layout = 0) {
    PrintRequest req;
    req.from = from;
    req.to = to;
    req.layout = layout;
    req.eventName = "Tuesday Pairs";
    RecordingSurface s;
    PrintHandRecords(s, set, req);
    return s;
}

// Geometry per option worked out by hand (rows leave 260 twips at the foot for the footer): column width
// W / columns, row height round((H - 450 - 260) / rows - 30), and the anchors of North, East, South, West.
struct Expected {
    int option;
    double colW, rowH, x[4], y[4];
};
const Expected kExpected[] = {
    {0, 5760, 3572, {2880, 3744, 2880, 1440}, {630, 1741, 2851, 1741}},
    {1, 5760, 2852, {2880, 3744, 2880, 1440}, {630, 1501, 2391, 1501}},
    {2, 5760, 2372, {2880, 3744, 2880, 1440}, {630, 1341, 2091, 1341}},
    {3, 2880, 3572, {1440, 1872, 1440, 720}, {630, 1741, 2891, 1741}},
    {4, 3840, 2372, {1920, 2496, 1920, 960}, {630, 1341, 2091, 1341}},
};

class HandRecordLayoutTest : public ::testing::TestWithParam<Expected> {};

TEST_P(HandRecordLayoutTest, FullPageHasHeadingCellsHandsAndRowLines) {
    const Expected& e = GetParam();
    const HandRecordLayout& layout = kHandRecordLayouts[static_cast<std::size_t>(e.option)];
    EXPECT_EQ(LayoutIndexOf(layout.boardsPerPage), e.option);
    const BoardSet set = SampleSet(1, 40);
    const RecordingSurface s = Print(set, 1, layout.boardsPerPage, e.option);
    EXPECT_EQ(s.pagesEnded + s.documentsEnded, 2);
    // The event name centred in 20-point bold between two pairs of lines, then a line above and below each
    // row.
    const DrawOp* title = Find(s, 0, "Tuesday Pairs", kW / 2 - Width("Tuesday Pairs", 20, true) / 2, 50);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->font, (PrintFont{"Times New Roman", 20, true}));
    std::vector<double> lines{10, 34, 480, 504};
    for (int r = 0; r < layout.rows; ++r)
        lines.insert(lines.end(), {e.rowH * r + 510, e.rowH * (r + 1) + 510});
    EXPECT_EQ(LineYs(s, 0), lines);
    // Every cell, row by row: board, dealer and vulnerability in Times 12.
    EXPECT_EQ(BoardTexts(s, 0).size(), static_cast<std::size_t>(layout.boardsPerPage));
    for (int board = 1; board <= layout.boardsPerPage; ++board) {
        const double x0 = e.colW * ((board - 1) % layout.columns) + 100;
        const double y0 = e.rowH * ((board - 1) / layout.columns) + 590;
        const DrawOp* line = Find(s, 0, "Board:  " + std::to_string(board) + " ", x0, y0 + 20);
        ASSERT_NE(line, nullptr) << board;
        EXPECT_EQ(line->font, (PrintFont{"Times New Roman", 12, false}));
        EXPECT_NE(Find(s, 0, std::string("Dealer: ") + "NESW"[(board - 1) % 4], x0, y0 + 280), nullptr);
        EXPECT_NE(Find(s, 0, std::string(kVulnerabilityNames[VulnerabilityOf(board)]) + " Vul", x0, y0 + 540),
                  nullptr);
    }
    // The hands of the last cell: each suit's cards ace down, centred in slots of the card pitch, after the
    // suit's symbol, which never touches the first card.
    const Board& b = set[layout.boardsPerPage];
    const double size = layout.cardFontSize, pitch = layout.cardPitch;
    for (int seat = 1; seat <= 4; ++seat) {
        const double left = e.colW * (layout.columns - 1) + e.x[seat - 1];
        for (int suit = 1; suit <= 4; ++suit) {
            const double y = e.rowH * (layout.rows - 1) + e.y[seat - 1] + (suit - 1) * layout.suitLineStep;
            int k = 0;
            double firstRank = 0;
            for (int rank = 1; rank <= 13; ++rank) {
                if (b.cardOwner[CardCodeOf(suit, rank)] != seat) continue;
                const std::string letter(1, kRankLetters[rank - 1]);
                const double x = left + k++ * pitch - Width(letter, size) / 2 + Width("A", size) / 2;
                if (k == 1) firstRank = x;
                const DrawOp* card = Find(s, 0, letter, x, y);
                ASSERT_NE(card, nullptr) << "card " << letter << " of seat " << seat << " suit " << suit;
                EXPECT_EQ(card->font, (PrintFont{"Times New Roman", size, false}));
            }
            EXPECT_GE(k, 3); // the sample deals give every hand three or four cards of each suit
            const auto symbol = std::find_if(s.ops.begin(), s.ops.end(), [&](const DrawOp& op) {
                return op.text == kSuitSymbolsUtf8[suit - 1] && op.y1 == y - 40 &&
                       op.x1 <= left - pitch * 1.2 && op.x1 > left - pitch * 3;
            });
            ASSERT_NE(symbol, s.ops.end()) << "seat " << seat << " suit " << suit;
            EXPECT_EQ(symbol->font, (PrintFont{"Symbol", size + 2.0, false}));
            EXPECT_LT(symbol->x1 + Width(symbol->text, size + 2.0), firstRank);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryOption, HandRecordLayoutTest, ::testing::ValuesIn(kExpected));

TEST(HandRecordPages, BoardsFillPagesFromTheTopLeft) {
    struct Case {
        int first, last, from, to, layout, pages;
        std::vector<std::string> lastPage; // the first and last board of the last page
    };
    const Case cases[] = {{1, 10, 3, 3, 0, 1, {"Board:  3 "}},
                          {1, 32, 1, 17, 3, 2, {"Board:  17 "}},
                          {1, 32, 1, 16, 3, 1, {}}, // exactly one full page: no empty second page
                          {5, 14, 5, 14, 0, 2, {"Board:  13 ", "Board:  14 "}}};
    for (const Case& c : cases) {
        const RecordingSurface s = Print(SampleSet(c.first, c.last), c.from, c.to, c.layout);
        ASSERT_EQ(s.pagesEnded, c.pages);
        EXPECT_NE(Find(s, c.pages - 1, "Tuesday Pairs"), nullptr); // each page has its own heading
        EXPECT_EQ(LineYs(s, c.pages - 1).size(), 4u + 2 * 4);      // and all its row lines
        if (c.lastPage.empty()) continue;
        const auto boards = BoardTexts(s, c.pages - 1);
        ASSERT_EQ(boards.size(), c.lastPage.size());
        EXPECT_EQ(boards[0].text, c.lastPage[0]);
        EXPECT_TRUE(boards[0].x1 == 100 && boards[0].y1 == 610);
        EXPECT_EQ(boards.back().text, c.lastPage.back());
    }
}

TEST(HandRecordPages, RedSuitsOnRequestAFooterOnEveryPageAndCopiesInOneJob) {
    for (bool red : {false, true}) {
        PrintRequest req;
        req.to = 20; // 8 boards per page: three pages
        req.redSuits = red;
        req.eventDate = "2026.12.08";
        RecordingSurface s;
        PrintHandRecords(s, SampleSet(1, 20), req);
        ASSERT_EQ(s.pagesEnded, 3);
        for (const DrawOp& op : s.ops) {
            const bool redSuit = op.text == kSuitSymbolsUtf8[1] || op.text == kSuitSymbolsUtf8[2];
            EXPECT_EQ(op.colour, red && redSuit ? InkColour::Red : InkColour::Black) << op.text;
        }
        for (int page = 0; page < 3; ++page) {
            const DrawOp* number = Find(s, page, "Page " + std::to_string(page + 1) + " of 3");
            const DrawOp* date = Find(s, page, "2026.12.08");
            ASSERT_TRUE(number && date) << page;
            EXPECT_EQ(number->y1, date->y1);
            for (const double y : LineYs(s, page)) // below the last row of boards, and inside the page
                EXPECT_LT(y, number->y1);
            EXPECT_LE(date->x1 + Width(date->text, date->font.size), kW);
            EXPECT_LE(number->y1 + date->font.size * 20, 15120);
        }
    }
    PrintRequest req;
    req.to = 8;
    req.copies = 2;
    RecordingSurface s;
    std::vector<double> progress;
    PrintHandRecords(s, SampleSet(1, 16), req, [&](double p) { progress.push_back(p); });
    EXPECT_EQ(s.pagesEnded, 2);
    EXPECT_EQ(s.documentsEnded, 1);
    EXPECT_EQ(s.ops.back().kind, DrawKind::EndDocument);
    EXPECT_EQ(progress, (std::vector<double>{50, 100}));
    const auto first = s.Page(0), second = s.Page(1);
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t i = 0; i < first.size(); ++i)
        EXPECT_TRUE(first[i].text == second[i].text && first[i].x1 == second[i].x1 &&
                    first[i].y1 == second[i].y1);
}

TEST(HandRecordPages, VoidSuitShowsOnlyItsSymbolAndALandscapePageWidensTheColumns) {
    BoardSet set = SampleSet(1, 8);
    set[1] = test::VoidBoard(1); // North holds the spades only
    std::string north;
    int symbols = 0;
    for (const DrawOp& op : Print(set, 1, 1).Texts(0)) {
        if (op.x1 < 2000 || op.x1 > 5700 || op.y1 < 500 || op.y1 > 1400) continue; // North's hand
        symbols += op.font.name == "Symbol";
        if (op.font.name != "Symbol") north += op.text;
    }
    EXPECT_EQ(symbols, 4);
    EXPECT_EQ(north, "AKQJT98765432");
    RecordingSurface landscape(756, 576); // 15120 x 11520 twips
    PrintRequest req;
    req.to = 8;
    PrintHandRecords(landscape, set, req);
    EXPECT_NE(Find(landscape, 0, "Board:  2 ", 7560 + 100), nullptr);
    // rowH = (11520 - 450 - 260) / 4 - 30 = 2672.5, rounded to the even 2672.
    EXPECT_NE(Find(landscape, 0, "Board:  3 ", 100, 2672 + 610), nullptr);
}

TEST(HandRecordPages, TheDoubleDummyTableUsesThe7PointFontWhereItFitsElse6) {
    // On a letter-sized page the 8-per-page cells hold the 7-point table with the par beside it, the
    // narrower or lower cells of 10 and 16 per page only the 6-point one, and 12 and 18 per page none; an
    // A3 page holds the 7-point table in every layout.
    DoubleDummyResult dd;
    for (auto& row : dd.tricks)
        row = {13, 10, 7, 0, 13};
    dd.par.contracts = {"7NTx NS -13"};
    dd.par.scoreNS = -7600;
    struct Case {
        double width, height;
        std::array<double, 5> size; // per layout; 0: no table
    };
    for (const Case& c : {Case{576, 756, {7, 6, 0, 6, 0}}, Case{842, 1191, {7, 7, 7, 7, 7}}}) {
        for (int layout = 0; layout < 5; ++layout) {
            PrintRequest req;
            req.layout = layout;
            req.doubleDummy[1] = dd;
            RecordingSurface s(c.width, c.height);
            PrintHandRecords(s, SampleSet(1, 1), req);
            const DrawOp* par = Find(s, 0, "Par: 7NTx NS -13");
            EXPECT_EQ(par ? par->font.size : 0, c.size[static_cast<std::size_t>(layout)])
                << c.width << " layout " << layout;
        }
    }
}

TEST(HandRecordPages, BadRequestsPrintNothingAndAFailingPrinterStopsTheJob) {
    RecordingSurface s;
    for (const auto& [from, to, copies, layout] :
         {std::tuple{2, 5, 1, 0}, std::tuple{3, 11, 1, 0}, std::tuple{3, 5, 0, 0}, std::tuple{3, 5, 1, 5}}) {
        PrintRequest req;
        std::tie(req.from, req.to, req.copies, req.layout) = std::tie(from, to, copies, layout);
        EXPECT_THROW(PrintHandRecords(s, SampleSet(3, 10), req), std::invalid_argument);
    }
    EXPECT_THROW(PrintHandRecords(s, BoardSet{}, PrintRequest{}), std::invalid_argument);
    EXPECT_TRUE(s.ops.empty());
    PrintRequest req;
    req.to = 30;
    s.failAfterPages = 1;
    std::vector<double> progress;
    EXPECT_THROW(PrintHandRecords(s, SampleSet(1, 30), req, [&](double p) { progress.push_back(p); }),
                 PrintFailure);
    EXPECT_EQ(s.documentsEnded, 0);
    EXPECT_TRUE(progress.empty());
}

TEST(PrintRange, ChecksInOrder) {
    const BoardSet set = SampleSet(5, 20);
    const std::tuple<int, int, std::optional<MessageKey>> cases[] = {
        {5, 20, std::nullopt},          {12, 12, std::nullopt},      {4, 20, MsgFromBoardIncorrect},
        {21, 3, MsgFromBoardIncorrect}, // from is checked first
        {5, 21, MsgToBoardIncorrect},   {5, 4, MsgToBoardIncorrect}, {10, 9, MsgToBelowFrom}};
    for (const auto& [from, to, fault] : cases)
        EXPECT_EQ(CheckPrintRange(set, from, to), fault) << from << "-" << to;
    EXPECT_EQ(LayoutIndexOf(9), std::nullopt);
}

} // namespace
} // namespace orvenix
