// Hand-record pages laid out on the recording surface: geometry of each boards-per-page option, page
// breaks, copies and progress.
#include "print/layouts.h"
#include "support/sample_deals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace orvenix {
namespace {

using test::SampleSet;

// The default recording page is 576 x 756 points: 11520 x 15120 twips.
constexpr double kW = 11520;

double Width(const std::string& text, double size, bool bold = false) {
    RecordingSurface s;
    s.SetUnit(PrintUnit::Twips);
    s.SetFontSize(size);
    s.SetBold(bold);
    return s.TextWidth(text);
}

std::vector<DrawOp> TextsStartingWith(const RecordingSurface& s, int page, const std::string& prefix) {
    std::vector<DrawOp> out;
    for (const DrawOp& op : s.Texts(page)) {
        if (op.text.rfind(prefix, 0) == 0) out.push_back(op);
    }
    return out;
}

const DrawOp* FindText(const RecordingSurface& s, int page, const std::string& text) {
    for (const DrawOp& op : s.ops) {
        if (op.page == page && op.kind == DrawKind::Text && op.text == text) return &op;
    }
    return nullptr;
}

std::vector<double> LineYs(const RecordingSurface& s, int page) {
    std::vector<double> ys;
    for (const DrawOp& op : s.Lines(page)) {
        EXPECT_EQ(op.y1, op.y2) << "hand-record lines run across the page";
        EXPECT_EQ(op.x1, 0);
        EXPECT_EQ(op.x2, kW);
        ys.push_back(op.y1);
    }
    return ys;
}

struct Anchor {
    double x, y;
};

// Expected geometry per option, worked out by hand from the page size (W = 11520, H = 15120 twips).
struct Expected {
    int option;
    double colW, rowH;
    Anchor north, east, south, west;
};

// The rows leave room at the foot of the page for its number and date.
const Expected kExpected[] = {
    {0, 5760, 3572, {2880, 630}, {3744, 1741}, {2880, 2851}, {1440, 1741}},
    {1, 5760, 2852, {2880, 630}, {3744, 1501}, {2880, 2391}, {1440, 1501}},
    {2, 5760, 2372, {2880, 630}, {3744, 1341}, {2880, 2091}, {1440, 1341}},
    {3, 2880, 3572, {1440, 630}, {1872, 1741}, {1440, 2891}, {720, 1741}},
    {4, 3840, 2372, {1920, 630}, {2496, 1341}, {1920, 2091}, {960, 1341}},
};

class HandRecordLayoutTest : public ::testing::TestWithParam<Expected> {};

TEST_P(HandRecordLayoutTest, FullPageHasHeadingCellsHandsAndRowLines) {
    const Expected& e = GetParam();
    const HandRecordLayout& layout = kHandRecordLayouts[static_cast<std::size_t>(e.option)];
    const BoardSet set = SampleSet(1, 40);
    PrintRequest req;
    req.from = 1;
    req.to = layout.boardsPerPage;
    req.layout = e.option;
    req.eventName = "Tuesday Pairs";
    RecordingSurface s;
    PrintHandRecords(s, set, req);

    EXPECT_EQ(s.pagesEnded, 1);
    EXPECT_EQ(s.documentsEnded, 1);
    for (const DrawOp& op : s.ops)
        EXPECT_EQ(op.unit, PrintUnit::Twips);

    // Heading: the event name centred at y = 50 in 20-point bold, with two pairs of lines around it.
    const DrawOp* title = FindText(s, 0, "Tuesday Pairs");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->font, (PrintFont{"Times New Roman", 20, true}));
    EXPECT_DOUBLE_EQ(title->x1, kW / 2 - Width("Tuesday Pairs", 20, true) / 2);
    EXPECT_EQ(title->y1, 50);

    std::vector<double> expectedLines{10, 34, 480, 504};
    for (int r = 0; r < layout.rows; ++r) {
        expectedLines.push_back(e.rowH * r + 510);
        expectedLines.push_back(e.rowH * (r + 1) + 510);
    }
    EXPECT_EQ(LineYs(s, 0), expectedLines);

    // Every cell, row by row: board line, dealer and vulnerability in Times 12.
    int board = 0;
    for (int r = 0; r < layout.rows; ++r) {
        for (int c = 0; c < layout.columns; ++c) {
            ++board;
            const double x0 = e.colW * c + 100;
            const double y0 = e.rowH * r + 590;
            const DrawOp* line = FindText(s, 0, "Board:  " + std::to_string(board) + " ");
            ASSERT_NE(line, nullptr) << "board " << board;
            EXPECT_EQ(line->x1, x0);
            EXPECT_EQ(line->y1, y0 + 20);
            EXPECT_EQ(line->font, (PrintFont{"Times New Roman", 12, false}));
            const std::string dealer = std::string("Dealer: ") + "NESW"[(board - 1) % 4];
            const std::string vul = std::string(kVulnerabilityNames[VulnerabilityOf(board)]) + " Vul";
            bool dealerSeen = false, vulSeen = false;
            for (const DrawOp& op : s.Texts(0)) {
                if (op.x1 != x0) continue;
                dealerSeen |= op.text == dealer && op.y1 == y0 + 280;
                vulSeen |= op.text == vul && op.y1 == y0 + 540;
            }
            EXPECT_TRUE(dealerSeen) << dealer << " for board " << board;
            EXPECT_TRUE(vulSeen) << vul << " for board " << board;
        }
    }
    EXPECT_EQ(TextsStartingWith(s, 0, "Board:").size(), static_cast<std::size_t>(layout.boardsPerPage));

    // The four hands of the last cell: suit symbols and the first card of each suit.
    const int last = layout.boardsPerPage;
    const int c = layout.columns - 1;
    const int r = layout.rows - 1;
    const Board& b = set[last];
    const Anchor anchors[4] = {e.north, e.east, e.south, e.west};
    for (int seat = 1; seat <= 4; ++seat) {
        double hy = anchors[seat - 1].y;
        const double left = e.colW * c + anchors[seat - 1].x;
        for (int suit = 1; suit <= 4; ++suit) {
            const double y = e.rowH * r + hy;
            // The seat's cards of the suit, ace down, centred in slots of the card pitch.
            int k = 0;
            double firstRank = 0;
            for (int rank = 1; rank <= 13; ++rank) {
                const int code = CardCodeOf(suit, rank);
                if (b.cardOwner[code] != seat) continue;
                ++k;
                const std::string letter(1, kRankLetters[rank - 1]);
                const double x = left + (k - 1) * layout.cardPitch - Width(letter, layout.cardFontSize) / 2 +
                                 Width("A", layout.cardFontSize) / 2;
                if (k == 1) firstRank = x;
                const auto hit = std::find_if(s.ops.begin(), s.ops.end(), [&](const DrawOp& op) {
                    return op.kind == DrawKind::Text && op.text == letter && std::abs(op.x1 - x) < 1e-9 &&
                           op.y1 == y;
                });
                ASSERT_NE(hit, s.ops.end()) << "card " << letter << " of seat " << seat << " suit " << suit;
                EXPECT_EQ(hit->font, (PrintFont{"Times New Roman", double(layout.cardFontSize), false}));
            }
            // The suit symbol stands before the first card, never touching it.
            const auto symbol = std::find_if(s.ops.begin(), s.ops.end(), [&](const DrawOp& op) {
                return op.kind == DrawKind::Text && op.text == kSuitSymbolsUtf8[suit - 1] &&
                       op.y1 == y - 40 && op.x1 <= left - layout.cardPitch * 1.2 &&
                       op.x1 > left - layout.cardPitch * 3;
            });
            ASSERT_NE(symbol, s.ops.end()) << "seat " << seat << " suit " << suit;
            EXPECT_EQ(symbol->font, (PrintFont{"Symbol", layout.cardFontSize + 2.0, false}));
            EXPECT_LT(symbol->x1 + Width(symbol->text, layout.cardFontSize + 2.0), firstRank)
                << "seat " << seat << " suit " << suit;
            EXPECT_GE(k, 3); // the sample deals give every hand three or four cards of each suit
            hy += layout.suitLineStep;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryOption, HandRecordLayoutTest, ::testing::ValuesIn(kExpected));

TEST(HandRecordPages, SingleBoardSitsTopLeftWithAllRowLines) {
    const BoardSet set = SampleSet(1, 10);
    PrintRequest req;
    req.from = 3;
    req.to = 3;
    RecordingSurface s;
    PrintHandRecords(s, set, req);
    EXPECT_EQ(s.pagesEnded, 1);
    const auto boards = TextsStartingWith(s, 0, "Board:");
    ASSERT_EQ(boards.size(), 1u);
    EXPECT_EQ(boards[0].text, "Board:  3 ");
    EXPECT_EQ(boards[0].x1, 100);
    EXPECT_EQ(boards[0].y1, 610);
    EXPECT_EQ(LineYs(s, 0).size(), 4u + 2 * 4);
    // Only one board's hands: 16 suit symbols.
    int symbols = 0;
    for (const DrawOp& op : s.Texts(0))
        symbols += op.font.name == "Symbol";
    EXPECT_EQ(symbols, 16);
}

TEST(HandRecordPages, RedSuitsOnRequestAndAFooterOnEveryPage) {
    BoardSet set = SampleSet(1, 20);
    for (bool red : {false, true}) {
        PrintRequest req;
        req.from = 1;
        req.to = 20; // 8 boards per page: three pages
        req.redSuits = red;
        req.eventDate = "2026.12.08";
        RecordingSurface s;
        PrintHandRecords(s, set, req);
        ASSERT_EQ(s.pagesEnded, 3);
        for (const DrawOp& op : s.ops) {
            if (op.kind != DrawKind::Text) continue;
            const bool redSuit = op.text == kSuitSymbolsUtf8[1] || op.text == kSuitSymbolsUtf8[2];
            EXPECT_EQ(op.colour, red && redSuit ? InkColour::Red : InkColour::Black) << op.text;
        }
        for (int page = 0; page < 3; ++page) {
            const DrawOp* number = FindText(s, page, "Page " + std::to_string(page + 1) + " of 3");
            const DrawOp* date = FindText(s, page, "2026.12.08");
            ASSERT_NE(number, nullptr) << page;
            ASSERT_NE(date, nullptr) << page;
            EXPECT_EQ(number->y1, date->y1);
            // Below the last row of boards, and inside the page.
            for (const double y : LineYs(s, page))
                EXPECT_LT(y, number->y1);
            EXPECT_LE(date->x1 + Width(date->text, date->font.size), kW);
            EXPECT_LE(number->y1 + date->font.size * 20, 15120);
        }
    }
}

TEST(HandRecordPages, BreakAfterAFullPage) {
    const BoardSet set = SampleSet(1, 32);
    PrintRequest req;
    req.layout = 3; // 16 per page
    req.from = 1;
    req.to = 17;
    req.eventName = "Club Pairs";
    RecordingSurface s;
    PrintHandRecords(s, set, req);
    ASSERT_EQ(s.pagesEnded, 2);
    EXPECT_EQ(TextsStartingWith(s, 0, "Board:").size(), 16u);
    const auto second = TextsStartingWith(s, 1, "Board:");
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].text, "Board:  17 ");
    EXPECT_EQ(second[0].x1, 100);
    // Each page has its own heading.
    EXPECT_NE(FindText(s, 1, "Club Pairs"), nullptr);

    // Exactly one full page gives no empty second page.
    req.to = 16;
    RecordingSurface exact;
    PrintHandRecords(exact, set, req);
    EXPECT_EQ(exact.pagesEnded, 1);
}

TEST(HandRecordPages, RangeEndingAtTheLastBoardStopsThere) {
    const BoardSet set = SampleSet(5, 14);
    PrintRequest req;
    req.from = 5;
    req.to = 14;
    RecordingSurface s;
    PrintHandRecords(s, set, req);
    ASSERT_EQ(s.pagesEnded, 2);
    const auto second = TextsStartingWith(s, 1, "Board:");
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0].text, "Board:  13 ");
    EXPECT_EQ(second[1].text, "Board:  14 ");
}

TEST(HandRecordPages, CopiesShareOneJobAndReportProgress) {
    const BoardSet set = SampleSet(1, 16);
    PrintRequest req;
    req.from = 1;
    req.to = 8;
    req.copies = 2;
    RecordingSurface s;
    std::vector<double> progress;
    PrintHandRecords(s, set, req, [&](double p) { progress.push_back(p); });
    EXPECT_EQ(s.pagesEnded, 2);
    EXPECT_EQ(s.documentsEnded, 1);
    EXPECT_EQ(s.ops.back().kind, DrawKind::EndDocument);
    EXPECT_EQ(progress, (std::vector<double>{50, 100}));
    const auto first = s.Page(0);
    const auto second = s.Page(1);
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].text, second[i].text);
        EXPECT_EQ(first[i].x1, second[i].x1);
        EXPECT_EQ(first[i].y1, second[i].y1);
        EXPECT_EQ(first[i].kind, second[i].kind);
        if (first[i].kind == DrawKind::Text) {
            EXPECT_EQ(first[i].font, second[i].font);
        }
    }
}

TEST(HandRecordPages, VoidSuitShowsOnlyItsSymbol) {
    BoardSet set = SampleSet(1, 1);
    set[1] = test::VoidBoard(1);
    PrintRequest req;
    RecordingSurface s;
    PrintHandRecords(s, set, req);
    // North holds the spades only: on each of North's heart, diamond and club lines nothing follows the
    // symbol. North's lines are at y = 630, 880, 1130, 1380 (8 per page: step 250).
    for (double y : {880.0, 1130.0, 1380.0}) {
        int symbols = 0, cards = 0;
        for (const DrawOp& op : s.Texts(0)) {
            if (op.x1 < 2000 || op.x1 > 4000) continue; // North's column of the first cell
            if (op.y1 == y - 40 && op.font.name == "Symbol") ++symbols;
            if (op.y1 == y && op.font.name != "Symbol") ++cards;
        }
        EXPECT_EQ(symbols, 1) << y;
        EXPECT_EQ(cards, 0) << y;
    }
    std::string spades;
    for (const DrawOp& op : s.Texts(0)) {
        if (op.y1 == 630 && op.font.name != "Symbol") spades += op.text;
    }
    EXPECT_EQ(spades, "AKQJT98765432");
}

TEST(HandRecordPages, LandscapePageWidensTheColumns) {
    const BoardSet set = SampleSet(1, 8);
    PrintRequest req;
    req.to = 8;
    RecordingSurface s(756, 576); // 15120 x 11520 twips
    PrintHandRecords(s, set, req);
    const DrawOp* second = FindText(s, 0, "Board:  2 ");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->x1, 7560 + 100);
    // rowH = (11520 - 450 - 260 footer) / 4 - 30 = 2672.5, rounded to the even 2672.
    const DrawOp* third = FindText(s, 0, "Board:  3 ");
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->y1, 2672 + 610);
}

TEST(HandRecordPages, BadRequestsPrintNothing) {
    const BoardSet set = SampleSet(3, 10);
    RecordingSurface s;
    PrintRequest req;
    req.from = 2;
    req.to = 5;
    EXPECT_THROW(PrintHandRecords(s, set, req), std::invalid_argument);
    req.from = 3;
    req.to = 11;
    EXPECT_THROW(PrintHandRecords(s, set, req), std::invalid_argument);
    req.to = 5;
    req.copies = 0;
    EXPECT_THROW(PrintHandRecords(s, set, req), std::invalid_argument);
    req.copies = 1;
    req.layout = 5;
    EXPECT_THROW(PrintHandRecords(s, set, req), std::invalid_argument);
    EXPECT_TRUE(s.ops.empty());
    BoardSet none;
    req.layout = 0;
    EXPECT_THROW(PrintHandRecords(s, none, req), std::invalid_argument);
}

TEST(HandRecordPages, FailingPrinterStopsTheJob) {
    const BoardSet set = SampleSet(1, 30);
    PrintRequest req;
    req.to = 30;
    RecordingSurface s;
    s.failAfterPages = 1;
    std::vector<double> progress;
    EXPECT_THROW(PrintHandRecords(s, set, req, [&](double p) { progress.push_back(p); }), PrintFailure);
    EXPECT_EQ(s.documentsEnded, 0);
    EXPECT_TRUE(progress.empty());
}

TEST(PrintRange, ChecksInOrder) {
    const BoardSet set = SampleSet(5, 20);
    EXPECT_EQ(CheckPrintRange(set, 5, 20), std::nullopt);
    EXPECT_EQ(CheckPrintRange(set, 12, 12), std::nullopt);
    EXPECT_EQ(CheckPrintRange(set, 4, 20), MsgFromBoardIncorrect);
    EXPECT_EQ(CheckPrintRange(set, 21, 3), MsgFromBoardIncorrect); // from is checked first
    EXPECT_EQ(CheckPrintRange(set, 5, 21), MsgToBoardIncorrect);
    EXPECT_EQ(CheckPrintRange(set, 5, 4), MsgToBoardIncorrect);
    EXPECT_EQ(CheckPrintRange(set, 10, 9), MsgToBelowFrom);
}

TEST(LayoutOptions, BoardsPerPageMapToOptions) {
    EXPECT_EQ(LayoutIndexOf(8), 0);
    EXPECT_EQ(LayoutIndexOf(10), 1);
    EXPECT_EQ(LayoutIndexOf(12), 2);
    EXPECT_EQ(LayoutIndexOf(16), 3);
    EXPECT_EQ(LayoutIndexOf(18), 4);
    EXPECT_EQ(LayoutIndexOf(9), std::nullopt);
    EXPECT_EQ(LayoutIndexOf(0), std::nullopt);
}

} // namespace
} // namespace orvenix
