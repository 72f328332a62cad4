#include "print/layouts.h"

#include <stdexcept>

namespace orvenix {

namespace {

void SetFont(PrintSurface& s, const char* name, double size, bool bold) {
    s.SetFontName(name);
    s.SetFontSize(size);
    s.SetBold(bold);
}

void DrawCardHeading(PrintSurface& s, const Board& board, int n, double L) {
    s.SetFontSize(20);
    s.Text(L + 10, 10, "Board");
    s.SetBold(true);
    s.Text(L + 70, 10, PrintedNumber(n));
    s.SetBold(false);
    s.SetFontSize(14);
    s.Text(L + 10, 29, std::string("Dealer: ") + kSeatNames[EffectiveDealer(board, n)]);
    s.Text(L + 10, 45, std::string("Vul:      ") + kVulnerabilityNames[EffectiveVulnerability(board, n)]);
}

void DrawDeal(PrintSurface& s, const Board& board, double L) {
    s.SetFontSize(18);
    s.SetBold(true);
    s.Text(L + 100, 61, "North");
    s.Text(L + 25, 131, "West");
    s.Text(L + 185, 131, "East");
    s.Text(L + 100, 202, "South");
    s.SetBold(false);
    struct Anchor {
        Seat seat;
        double x;
        double y;
    };
    const std::array<Anchor, 4> anchors{
        {{1, L + 95, 77}, {2, L + 185, 147}, {3, L + 95, 217}, {4, L + 25, 147}}};
    for (const Anchor& a : anchors) {
        double y = a.y;
        for (int suit = 1; suit <= 4; ++suit) {
            SetFont(s, kSymbolFont, 14, false);
            s.Text(a.x - 2, y - 2, kSuitSymbolsUtf8[static_cast<std::size_t>(suit - 1)]);
            SetFont(s, kTextFont, 14, false);
            const double aceWidth = s.TextWidth("A");
            int k = 0;
            for (int rank = 1; rank <= 13; ++rank) {
                const int code = CardCodeOf(suit, rank);
                if (board.cardOwner[static_cast<std::size_t>(code)] != a.seat) continue;
                ++k;
                const std::string letter(1, CardRankChar[static_cast<std::size_t>(code)]);
                s.Text(a.x + 10 * k - s.TextWidth(letter) / 2 + aceWidth / 2, y, letter);
            }
            y += 14;
        }
    }
}

void DrawTable(PrintSurface& s, double L, int nsFirst) {
    s.SetBold(true);
    s.SetFontSize(16);
    double y = kScoreTableTop;
    for (int n = 1; n <= 15; ++n) {
        const double h = n == 1 ? 30 : 25;
        s.Rectangle(L, y, L + kScoreTableWidth, y + h);
        for (int column : kScoreTableColumns)
            s.Line(L + column, y, L + column, y + h);
        if (n >= 2 && nsFirst > 0) {
            const int p = nsFirst + n - 2;
            const double x = p < 10 ? L + 18 : p < 100 ? L + 11 : L + 4;
            s.Text(x, y + 5, PrintedNumber(p));
        }
        y += h;
    }
}

void DrawColumnHeadings(PrintSurface& s, double L) {
    struct Heading {
        const char* text;
        double x;
        double y;
        double size;
    };
    static constexpr std::array<Heading, 14> kHeadings{{
        {"NS", 9, 302, 10},
        {"Pair", 7, 310, 10},
        {"Numb", 3, 319, 10},
        {"EW", 39, 302, 10},
        {"Pair", 37, 310, 10},
        {"Numb", 33, 319, 10},
        {"Contract", 66, 304, 10},
        {"Declarer", 66, 315, 10},
        {"Tricks", 111, 304, 10},
        {"Made", 113, 315, 10},
        {"NS + ", 147, 311, 12},
        {"NS - ", 199, 311, 12},
        {"Match", 243, 304, 10},
        {"Points", 243, 315, 10},
    }};
    for (const Heading& h : kHeadings) {
        s.SetFontSize(h.size);
        s.Text(L + h.x, h.y, h.text);
    }
}

} // namespace

void PrintScoreCards(PrintSurface& s, BoardSet& set, const PrintRequest& request,
                     const PrintProgress& progress) {
    CheckPrintRequest(set, request);
    const int nsFirst = request.nsFirst > 0 ? request.nsFirst : 0;
    // Two cards side by side: a narrower printable area draws them scaled down rather than cut.
    s.FitWidth(kScoreCardLeftEven + kScoreTableWidth);
    for (int copy = 1; copy <= request.copies; ++copy) {
        s.SetUnit(PrintUnit::Points);
        SetFont(s, kTextFont, 14, false);
        int lastPrinted = 0;
        for (set.currentBoard = static_cast<std::int16_t>(request.from); set.currentBoard <= request.to;
             ++set.currentBoard) {
            const int b = set.currentBoard;
            const Board& board = set[b];
            const double L = b % 2 == 1 ? kScoreCardLeftOdd : kScoreCardLeftEven;
            SetFont(s, kTextFont, 14, false);
            DrawCardHeading(s, board, b, L);
            if (request.printDeal) DrawDeal(s, board, L);
            DrawTable(s, L, nsFirst);
            // The file name runs along the foot of the card; a long path keeps its end, the file's own
            // name, and gives up its front so that it stays on its half of the page.
            SetFont(s, kTextFont, 10, false);
            s.Text(L + 10, 684, ShortenFrontToWidth(s, set.fileName, kScoreTableWidth - 10));
            DrawColumnHeadings(s, L);
            if (b % 2 == 0) s.EndPage();
            lastPrinted = b;
        }
        if (lastPrinted % 2 == 1) s.EndPage();
        if (progress) progress(static_cast<double>(copy) / request.copies * 100);
    }
    s.EndDocument();
}

} // namespace orvenix
