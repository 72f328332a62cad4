#include "print/layouts.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace orvenix {

namespace {

// Round half to even, the printer's own rounding for layout values.
double Round(double v) {
    return std::nearbyint(v);
}

constexpr int kMaxPagesPerCopy = 1000;

void DrawHeading(PrintSurface& s, double width, const std::string& eventName) {
    s.Line(0, 10, width, 10);
    s.Line(0, 34, width, 34);
    s.SetFontName(kTextFont);
    s.SetFontSize(20);
    s.SetBold(true);
    const double x = std::max(0.0, width / 2 - s.TextWidth(eventName) / 2);
    s.Text(x, 50, eventName);
    s.Line(0, 480, width, 480);
    s.Line(0, 504, width, 504);
}

struct Cell {
    double colW;
    double rowH;
    int c;
    int r;
};

void DrawHand(PrintSurface& s, const Board& board, Seat seat, const HandRecordLayout& layout,
              const Cell& cell, double hx, double hy) {
    const double left = cell.colW * cell.c + hx;
    const double top = cell.rowH * cell.r;
    for (int suit = 1; suit <= 4; ++suit) {
        s.SetFontName(kSymbolFont);
        s.SetFontSize(layout.cardFontSize + 2);
        s.Text(left - layout.cardPitch * 1.2, top + hy - 40,
               kSuitSymbolsUtf8[static_cast<std::size_t>(suit - 1)]);
        s.SetFontName(kTextFont);
        s.SetFontSize(layout.cardFontSize);
        const double aceWidth = s.TextWidth("A");
        int k = 0;
        for (int rank = 1; rank <= 13; ++rank) {
            const int code = CardCodeOf(suit, rank);
            if (board.cardOwner[static_cast<std::size_t>(code)] != seat) continue;
            ++k;
            const std::string letter(1, CardRankChar[static_cast<std::size_t>(code)]);
            const double x = left + (k - 1) * layout.cardPitch - s.TextWidth(letter) / 2 + aceWidth / 2;
            s.Text(x, top + hy, letter);
        }
        hy += layout.suitLineStep;
    }
}

void DrawBoard(PrintSurface& s, const BoardSet& set, int n, const HandRecordLayout& layout,
               const Cell& cell) {
    const Board& board = set[n];
    const double x0 = cell.colW * cell.c + 100;
    const double y0 = cell.rowH * cell.r + 590;
    s.SetFontName(kTextFont);
    s.SetFontSize(12);
    s.SetBold(false);
    s.Text(x0, y0 + 20, "Board: " + PrintedNumber(n));
    const std::string dealer = kSeatNames[EffectiveDealer(board, n)];
    s.Text(x0, y0 + 280, "Dealer: " + dealer.substr(0, 1));
    s.Text(x0, y0 + 540, std::string(kVulnerabilityNames[EffectiveVulnerability(board, n)]) + " Vul");

    const double colW = cell.colW;
    const double rowH = cell.rowH;
    struct Anchor {
        Seat seat;
        double x;
        double y;
    };
    const std::array<Anchor, 4> anchors{{
        {1, Round(colW / 2), 630},
        {2, Round(colW / 4 * 2.6), Round(rowH / 3 + 550)},
        {3, Round(colW / 2), Round(rowH / 3 * 2 - layout.cardPitch + 640)},
        {4, Round(colW / 4), Round(rowH / 3 + 550)},
    }};
    for (const Anchor& a : anchors)
        DrawHand(s, board, a.seat, layout, cell, a.x, a.y);
}

} // namespace

std::optional<int> LayoutIndexOf(int boardsPerPage) {
    for (std::size_t i = 0; i < kHandRecordLayouts.size(); ++i) {
        if (kHandRecordLayouts[i].boardsPerPage == boardsPerPage) return static_cast<int>(i);
    }
    return std::nullopt;
}

std::optional<MessageKey> CheckPrintRange(const BoardSet& set, int from, int to) {
    if (from < set.firstBoard || from > set.lastBoard) return MsgFromBoardIncorrect;
    if (to < set.firstBoard || to > set.lastBoard) return MsgToBoardIncorrect;
    if (to < from) return MsgToBelowFrom;
    return std::nullopt;
}

void CheckPrintRequest(const BoardSet& set, const PrintRequest& request) {
    if (!set.exists() || set.firstBoard < 1 || set.lastBoard > kMaxBoard)
        throw std::invalid_argument("no board set to print");
    if (auto fault = CheckPrintRange(set, request.from, request.to))
        throw std::invalid_argument(PlainMessage(FormatMessage(*fault)));
    if (request.copies < 1) throw std::invalid_argument("the number of copies must be at least 1");
}

void PrintHandRecords(PrintSurface& s, const BoardSet& set, const PrintRequest& request,
                      const PrintProgress& progress) {
    CheckPrintRequest(set, request);
    if (request.layout < 0 || request.layout >= static_cast<int>(kHandRecordLayouts.size()))
        throw std::invalid_argument("unknown hand-record layout");
    const HandRecordLayout& layout = kHandRecordLayouts[static_cast<std::size_t>(request.layout)];
    const int to = request.to;

    s.SetUnit(PrintUnit::Twips);
    for (int copy = 1; copy <= request.copies; ++copy) {
        int board = std::max(request.from - 1, 0);
        const double height = std::floor(s.PageHeight());
        const double width = std::floor(s.PageWidth());
        const double colW = Round(width / layout.columns);
        const double rowH = Round((height - 450) / layout.rows - 30);

        bool remaining = true;
        for (int page = 0; remaining && page < kMaxPagesPerCopy; ++page) {
            DrawHeading(s, width, request.eventName);
            bool full = true;
            for (int r = 0; r < layout.rows; ++r) {
                for (int c = 0; c < layout.columns && full; ++c) {
                    ++board;
                    if (board > to || board > set.lastBoard) {
                        full = false;
                        break;
                    }
                    DrawBoard(s, set, board, layout, Cell{colW, rowH, c, r});
                }
                s.Line(0, rowH * r + 510, width, rowH * r + 510);
                s.Line(0, rowH * (r + 1) + 510, width, rowH * (r + 1) + 510);
            }
            s.EndPage();
            if (board >= to || board >= set.lastBoard) remaining = false;
        }
        if (progress) progress(static_cast<double>(copy) / request.copies * 100);
    }
    s.EndDocument();
}

std::string ShortenEventName(PrintSurface& s, const std::string& eventName) {
    const PrintUnit unit = s.unit();
    const PrintFont font = s.font();
    s.SetUnit(PrintUnit::Twips);
    s.SetFontName(kTextFont);
    s.SetFontSize(20);
    s.SetBold(true);
    std::string shortened = ShortenToWidth(s, eventName, s.PageWidth());
    s.SetUnit(unit);
    s.SetFontName(font.name);
    s.SetFontSize(font.size);
    s.SetBold(font.bold);
    return shortened;
}

} // namespace orvenix
