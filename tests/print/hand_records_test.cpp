// Hand-record pages on the recording surface: the geometry of each boards-per-page option, page breaks,
// copies, the footer, red suits, the double-dummy table and the refused requests.
#include "print/print_probe.h"
#include "support/sample_deals.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orvenix {
namespace {

using test::Find;
using test::Request;
using test::SampleSet;
using test::Width;
constexpr double kW = 11520; // the default page, 576 x 756 points, is 11520 x 15120 twips

RecordingSurface Print(const BoardSet& set, PrintRequest req, RecordingSurface s = RecordingSurface()) {
    req.eventName = "Tuesday Pairs";
    PrintHandRecords(s, set, req);
    return s;
}

// Geometry per option and page (points) worked out by hand (rows leave 260 twips at the foot for the
// footer): column width W / columns, row height round((H - 450 - 260) / rows - 30), and the anchors of
// North, East, South, West.
struct Expected {
    double pageW, pageH;
    int option;
    double colW, rowH, x[4], y[4];
};
const Expected kExpected[] = {
    {576, 756, 0, 5760, 3572, {2880, 3744, 2880, 1440}, {630, 1741, 2851, 1741}},
    {576, 756, 1, 5760, 2852, {2880, 3744, 2880, 1440}, {630, 1501, 2391, 1501}},
    {576, 756, 2, 5760, 2372, {2880, 3744, 2880, 1440}, {630, 1341, 2091, 1341}},
    {576, 756, 3, 2880, 3572, {1440, 1872, 1440, 720}, {630, 1741, 2891, 1741}},
    {576, 756, 4, 3840, 2372, {1920, 2496, 1920, 960}, {630, 1341, 2091, 1341}},
    {756, 576, 0, 7560, 2672, {3780, 4914, 3780, 1890}, {630, 1441, 2251, 1441}}, // landscape
};

class HandRecordLayoutTest : public ::testing::TestWithParam<Expected> {};

TEST_P(HandRecordLayoutTest, FullPageHasHeadingCellsHandsAndRowLines) {
    const Expected& e = GetParam();
    const HandRecordLayout& layout = kHandRecordLayouts[static_cast<std::size_t>(e.option)];
    const double width = e.pageW * 20, size = layout.cardFontSize, pitch = layout.cardPitch;
    EXPECT_EQ(LayoutIndexOf(layout.boardsPerPage), e.option);
    BoardSet set = SampleSet(1, 40);
    set[1] = test::VoidBoard(1); // every hand one whole suit and three voids
    const RecordingSurface s = Print(set, Request{.to = layout.boardsPerPage, .layout = e.option},
                                     RecordingSurface(e.pageW, e.pageH));
    // The event name centred in 20-point bold between two pairs of lines, then a line above and below each
    // row.
    const double titleX = width / 2 - Width("Tuesday Pairs", 20, true) / 2;
    EXPECT_NE(Find(s, 0, "Tuesday Pairs", titleX, 50, PrintFont{kTextFont, 20, true}), nullptr);
    std::vector<double> lines{10, 34, 480, 504}, drawn;
    for (int r = 0; r < layout.rows; ++r)
        lines.insert(lines.end(), {e.rowH * r + 510, e.rowH * (r + 1) + 510});
    for (const DrawOp& op : s.Lines(0)) {
        EXPECT_TRUE(op.y1 == op.y2 && op.x1 == 0 && op.x2 == width) << "lines run across the page";
        drawn.push_back(op.y1);
    }
    EXPECT_EQ(drawn, lines);
    // Every cell, row by row: board, dealer and vulnerability in Times 12.
    const PrintFont times12{kTextFont, 12, false}, cardFont{kTextFont, size, false};
    for (int board = 1; board <= layout.boardsPerPage; ++board) {
        const double x0 = e.colW * ((board - 1) % layout.columns) + 100;
        const double y0 = e.rowH * ((board - 1) / layout.columns) + 590;
        for (const auto& [text, dy] :
             {std::pair{"Board: " + PrintedNumber(board), 20},
              {std::string("Dealer: ") + "NESW"[(board - 1) % 4], 280},
              {std::string(kVulnerabilityNames[VulnerabilityOf(board)]) + " Vul", 540}})
            EXPECT_NE(Find(s, 0, text, x0, y0 + dy, times12), nullptr) << text;
    }
    // The hands of the first and the last cell: each suit's cards ace down, centred in slots of the card
    // pitch, after the suit's symbol, which never touches the first card (or the slot of a void).
    for (int board : {1, layout.boardsPerPage}) {
        const double cx = e.colW * ((board - 1) % layout.columns),
                     cy = e.rowH * ((board - 1) / layout.columns);
        for (int i = 0; i < 16; ++i) {
            const int seat = i / 4 + 1, suit = i % 4 + 1;
            const double left = cx + e.x[seat - 1], y = cy + e.y[seat - 1] + (suit - 1) * layout.suitLineStep;
            double first = left;
            for (int rank = 1, k = 0; rank <= 13; ++rank) {
                if (set[board].cardOwner[CardCodeOf(suit, rank)] != seat) continue;
                const std::string letter(1, kRankLetters[rank - 1]);
                const double x = left + k++ * pitch - Width(letter, size) / 2 + Width("A", size) / 2;
                first = k == 1 ? std::min(left, x) : first;
                EXPECT_NE(Find(s, 0, letter, x, y, cardFont), nullptr) << board << seat << suit << letter;
            }
            const std::string symbol = kSuitSymbolsUtf8[suit - 1];
            const double x = std::min(left - pitch * 1.2, first - size * 3 - Width(symbol, size + 2));
            EXPECT_NE(Find(s, 0, symbol, x, y - 40, PrintFont{kSymbolFont, size + 2, false}), nullptr)
                << board << seat << suit;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryOption, HandRecordLayoutTest, ::testing::ValuesIn(kExpected));

TEST(HandRecordPages, BoardsFillPagesFromTheTopLeft) {
    // The set, the range, the layout, and the last page: its number, its count of boards, the first and last.
    const std::array<int, 9> cases[] = {{1, 10, 3, 3, 0, 1, 1, 3, 3},
                                        {1, 32, 1, 17, 3, 2, 1, 17, 17},
                                        {1, 32, 1, 16, 3, 1, 16, 1, 16}, // no empty second page
                                        {5, 14, 5, 14, 0, 2, 2, 13, 14}};
    for (const auto& [first, last, from, to, layout, pages, count, firstOnPage, lastOnPage] : cases) {
        const RecordingSurface s =
            Print(SampleSet(first, last), Request{.from = from, .to = to, .layout = layout});
        ASSERT_EQ(std::tuple(s.pagesEnded, s.documentsEnded), std::tuple(pages, 1));
        EXPECT_NE(Find(s, pages - 1, "Tuesday Pairs"), nullptr); // each page has its own heading
        EXPECT_EQ(s.Lines(pages - 1).size(), 4u + 2 * 4);        // and all its row lines
        const auto texts = s.Texts(pages - 1);
        EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                                [](const DrawOp& op) { return op.text.rfind("Board:", 0) == 0; }),
                  count);
        EXPECT_NE(Find(s, pages - 1, "Board: " + PrintedNumber(firstOnPage), 100, 610), nullptr);
        EXPECT_NE(Find(s, pages - 1, "Board: " + PrintedNumber(lastOnPage)), nullptr);
    }
}

TEST(HandRecordPages, RedSuitsOnRequestAFooterOnEveryPageAndCopiesInOneJob) {
    for (bool red : {false, true}) {
        const RecordingSurface s =
            Print(SampleSet(1, 24), Request{.to = 24, .redSuits = red, .eventDate = "2026.12.08"});
        for (const DrawOp& op : s.ops)
            EXPECT_EQ(op.colour == InkColour::Red, red && (op.text == "\u2665" || op.text == "\u2666"))
                << op.text;
        // Three pages of 8 boards, each with its number and the date at the foot, in 8 points.
        ASSERT_EQ(s.pagesEnded, 3);
        for (int page = 0; page < 3; ++page) {
            EXPECT_NE(Find(s, page, "Page " + std::to_string(page + 1) + " of 3", 0, 15120 - 192), nullptr);
            EXPECT_NE(Find(s, page, "2026.12.08", kW - Width("2026.12.08", 8), 15120 - 192), nullptr);
        }
    }
    RecordingSurface s;
    std::vector<double> progress;
    PrintHandRecords(s, SampleSet(1, 16), Request{.to = 8, .copies = 2},
                     [&](double p) { progress.push_back(p); });
    EXPECT_EQ(std::tuple(s.pagesEnded, s.documentsEnded, s.ops.back().kind, progress),
              std::tuple(2, 1, DrawKind::EndDocument, std::vector<double>{50, 100}));
    EXPECT_NE(Find(s, 1, "Board:  1 ", 100, 610), nullptr) << "the second copy starts again";
}

TEST(HandRecordPages, TheDoubleDummyTableUsesThe7PointFontWhereItFitsElse6) {
    // On a letter-sized page the 8-per-page cells hold the 7-point table with the par beside it, the
    // narrower or lower cells of 10 and 16 per page only the 6-point one, and 12 and 18 per page none; an
    // A3 page holds the 7-point table in every layout.
    DoubleDummyResult dd;
    dd.par.contracts = {"7NTx NS -13"};
    dd.par.scoreNS = -7600;
    for (const auto& [width, height, sizes] : {std::tuple{576, 756, std::array{7, 6, 0, 6, 0}},
                                               std::tuple{842, 1191, std::array{7, 7, 7, 7, 7}}}) {
        for (int layout = 0; layout < 5; ++layout) {
            const RecordingSurface s =
                Print(SampleSet(1, 1), Request{.layout = layout, .doubleDummy = {{1, dd}}},
                      RecordingSurface(width, height));
            const DrawOp* par = Find(s, 0, "Par: 7NTx NS -13");
            EXPECT_EQ(par ? par->font.size : 0, sizes[static_cast<std::size_t>(layout)])
                << width << " " << layout;
        }
    }
}

TEST(PrintRequests, RefusedBeforeAnythingIsPrintedAndAFailingPrinterStopsTheJob) {
    BoardSet set = SampleSet(5, 20);
    // from, to, copies, and the range check's fault (checked in this order)
    const std::tuple<int, int, int, std::optional<MessageKey>> cases[] = {
        {5, 20, 1, std::nullopt},          {12, 12, 1, std::nullopt},       {4, 20, 1, MsgFromBoardIncorrect},
        {21, 3, 1, MsgFromBoardIncorrect}, {5, 21, 1, MsgToBoardIncorrect}, {5, 4, 1, MsgToBoardIncorrect},
        {10, 9, 1, MsgToBelowFrom},        {5, 6, 0, std::nullopt}};
    RecordingSurface records, cards;
    for (const auto& [from, to, copies, fault] : cases) {
        SCOPED_TRACE(testing::Message() << from << "-" << to << " x" << copies);
        EXPECT_EQ(CheckPrintRange(set, from, to), fault);
        if (!fault && copies > 0) continue; // a request that prints
        const PrintRequest req = Request{.from = from, .to = to, .copies = copies};
        EXPECT_THROW(PrintHandRecords(records, set, req), std::invalid_argument);
        EXPECT_THROW(PrintScoreCards(cards, set, req), std::invalid_argument);
    }
    EXPECT_THROW(PrintHandRecords(records, set, Request{.from = 5, .to = 5, .layout = 5}),
                 std::invalid_argument);
    EXPECT_EQ(std::tuple(records.ops.size(), cards.ops.size(), set.currentBoard), std::tuple(0u, 0u, 1));
    EXPECT_EQ(LayoutIndexOf(9), std::nullopt);
    RecordingSurface s;
    EXPECT_THROW(PrintHandRecords(s, BoardSet{}, PrintRequest{}), std::invalid_argument);
    s.failAfterPages = 1;
    std::vector<double> progress;
    EXPECT_THROW(
        PrintHandRecords(s, SampleSet(1, 30), Request{.to = 30}, [&](double p) { progress.push_back(p); }),
        PrintFailure);
    EXPECT_EQ(std::tuple(s.documentsEnded, progress.size()), std::tuple(0, 0u));
}

} // namespace
} // namespace orvenix
