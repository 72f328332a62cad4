#include "print/layouts.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace orvenix {

namespace {

// Round half to even, the printer's own rounding for layout values.
double Round(double v) {
    return std::nearbyint(v);
}

constexpr int kMaxPagesPerCopy = 1000;
// The foot of every page: its number and the event's date, below the last row of boards.
constexpr double kFooterTwips = 260;
constexpr double kFooterFontSize = 8;

// The height of a row of boards on a page of the given height (both in twips).
double RowHeight(double pageHeight, const HandRecordLayout& layout) {
    return Round((pageHeight - 450 - kFooterTwips) / layout.rows - 30);
}

void DrawFooter(PrintSurface& s, double width, double height, int page, int pages, const std::string& date) {
    s.SetFontName(kTextFont);
    s.SetFontSize(kFooterFontSize);
    s.SetBold(false);
    const double y = height - kFooterFontSize * 20 * 1.2;
    s.Text(0, y, "Page " + std::to_string(page) + " of " + std::to_string(pages));
    if (!date.empty()) s.Text(std::max(0.0, width - s.TextWidth(date)), y, date);
}

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
              const Cell& cell, double hx, double hy, bool redSuits) {
    const double left = cell.colW * cell.c + hx;
    const double top = cell.rowH * cell.r;
    // Room between a suit symbol and the first rank after it.
    const double gap = layout.cardFontSize * 20 * 0.15;
    for (int suit = 1; suit <= 4; ++suit) {
        s.SetFontName(kTextFont);
        s.SetFontSize(layout.cardFontSize);
        const double aceWidth = s.TextWidth("A");
        std::vector<std::pair<double, std::string>> ranks;
        for (int rank = 1; rank <= 13; ++rank) {
            const int code = CardCodeOf(suit, rank);
            if (board.cardOwner[static_cast<std::size_t>(code)] != seat) continue;
            const std::string letter(1, CardRankChar[static_cast<std::size_t>(code)]);
            const double x = left + static_cast<double>(ranks.size()) * layout.cardPitch -
                             s.TextWidth(letter) / 2 + aceWidth / 2;
            ranks.emplace_back(x, letter);
        }
        const char* symbol = kSuitSymbolsUtf8[static_cast<std::size_t>(suit - 1)];
        s.SetFontName(kSymbolFont);
        s.SetFontSize(layout.cardFontSize + 2);
        // The symbol stands before the first rank and never touches it, whatever the symbol's width.
        double symbolX = left - layout.cardPitch * 1.2;
        const double firstRank = ranks.empty() ? left : std::min(left, ranks.front().first);
        symbolX = std::min(symbolX, firstRank - gap - s.TextWidth(symbol));
        const bool red = redSuits && (suit == 2 || suit == 3);
        if (red) s.SetColour(InkColour::Red);
        s.Text(symbolX, top + hy - 40, symbol);
        if (red) s.SetColour(InkColour::Black);
        s.SetFontName(kTextFont);
        s.SetFontSize(layout.cardFontSize);
        for (const auto& [x, letter] : ranks)
            s.Text(x, top + hy, letter);
        hy += layout.suitLineStep;
    }
}

// Puts the surface's font back as it was when the keeper goes out of scope.
class FontKeeper {
  public:
    explicit FontKeeper(PrintSurface& s) : s_(s), font_(s.font()) {}
    ~FontKeeper() {
        s_.SetFontName(font_.name);
        s_.SetFontSize(font_.size);
        s_.SetBold(font_.bold);
    }
    FontKeeper(const FontKeeper&) = delete;
    FontKeeper& operator=(const FontKeeper&) = delete;

  private:
    PrintSurface& s_;
    PrintFont font_;
};

// Where the double-dummy table and par go in a cell: the free corner below West's hand and left of
// South's, so nothing of the cell moves. Positions are relative to the cell's column and row origin.
struct DoubleDummyPlace {
    double fontSize = 7;
    double left = 0;
    double top = 0;
    double width = 0; // room for each line
    double lineH = 0;
    double labelW = 0;      // the seat letters' column
    double columnW = 0;     // each strain's column
    bool parBeside = false; // the par lines right of the table instead of below it
};

constexpr std::array<double, 2> kDoubleDummyFontSizes{7, 6};
// The widest par lines the place must hold.
constexpr const char* kWidestParContract = "Par: 7NTx NS -13";
constexpr const char* kWidestParScore = "EW +7600";

std::optional<DoubleDummyPlace> PlaceDoubleDummy(PrintSurface& s, const HandRecordLayout& layout, double colW,
                                                 double rowH) {
    const double westTop = Round(rowH / 3 + 550);
    const double top = westTop + 3 * layout.suitLineStep + (layout.cardFontSize + 2) * 24 + 40;
    const double bottom = rowH + 510 - 40;
    const double left = 100;
    const double right = Round(colW / 2) - layout.cardPitch * 1.2 - 80;
    const FontKeeper keep(s); // measuring leaves the surface's font as it was
    for (double size : kDoubleDummyFontSizes) {
        s.SetFontSize(size);
        DoubleDummyPlace p;
        p.fontSize = size;
        p.left = left;
        p.top = top;
        p.lineH = size * 24;
        const double gap = size * 20 * 0.5;
        s.SetFontName(kSymbolFont);
        double symbolW = 0;
        for (const char* symbol : kSuitSymbolsUtf8)
            symbolW = std::max(symbolW, s.TextWidth(symbol));
        s.SetFontName(kTextFont);
        p.labelW = s.TextWidth("W") + gap / 2;
        // Numbers and heads are right-aligned; "NT" heads the last column and may reach into the gap.
        p.columnW = std::max({s.TextWidth("13"), symbolW, s.TextWidth("NT") - gap / 2}) + gap;
        const double tableW = p.labelW + 5 * p.columnW;
        const double parW = std::max(s.TextWidth(kWidestParContract), s.TextWidth(kWidestParScore));
        if (7 * p.lineH <= bottom - top && std::max(tableW, parW) <= right - left) {
            p.width = right - left;
            return p;
        }
        if (5 * p.lineH <= bottom - top && tableW + gap + parW <= right - left) {
            p.parBeside = true;
            p.width = right - left - tableW - gap;
            return p;
        }
    }
    return std::nullopt;
}

// True when South's longest suit of the board on the left runs into this cell's analysis corner (a suit
// of twelve or thirteen cards on the narrow cells); that board's neighbour then prints without analysis.
bool SouthReachesNextCell(const Board& left, const HandRecordLayout& layout, double colW, double ddLeft) {
    int longest = 0;
    for (int suit = 1; suit <= 4; ++suit) {
        int k = 0;
        for (int rank = 1; rank <= 13; ++rank)
            if (left.cardOwner[static_cast<std::size_t>(CardCodeOf(suit, rank))] == 3) ++k;
        longest = std::max(longest, k);
    }
    // the last card's right edge, with a card's width to spare
    const double end = Round(colW / 2) + longest * layout.cardPitch;
    return end > colW + ddLeft;
}

void DrawDoubleDummy(PrintSurface& s, const DoubleDummyPlace& p, const Cell& cell,
                     const DoubleDummyResult& dd) {
    const FontKeeper keep(s);
    const double x0 = cell.colW * cell.c + p.left;
    const double y0 = cell.rowH * cell.r + p.top;
    // Columns clubs, diamonds, hearts, spades, notrump; the suits by their symbols.
    constexpr std::array<int, 4> kSymbolIndex{3, 2, 1, 0};
    for (int strain = 0; strain < kStrains; ++strain) {
        const bool suit = strain < 4;
        s.SetFontName(suit ? kSymbolFont : kTextFont);
        s.SetFontSize(p.fontSize);
        const std::string head =
            suit ? kSuitSymbolsUtf8[static_cast<std::size_t>(kSymbolIndex[static_cast<std::size_t>(strain)])]
                 : "NT";
        const double right = x0 + p.labelW + (strain + 1) * p.columnW;
        s.Text(right - s.TextWidth(head), y0, head);
    }
    s.SetFontName(kTextFont);
    s.SetFontSize(p.fontSize);
    for (int seat = 0; seat < 4; ++seat) {
        const double y = y0 + (seat + 1) * p.lineH;
        s.Text(x0, y, std::string(1, kSeatLetters[seat]));
        for (int strain = 0; strain < kStrains; ++strain) {
            const std::string n =
                std::to_string(dd.tricks[static_cast<std::size_t>(seat)][static_cast<std::size_t>(strain)]);
            const double right = x0 + p.labelW + (strain + 1) * p.columnW;
            s.Text(right - s.TextWidth(n), y, n);
        }
    }
    std::string contracts;
    for (const std::string& c : dd.par.contracts)
        contracts += (contracts.empty() ? "" : "; ") + c;
    const bool passedOut = contracts.empty() || dd.par.scoreNS == 0;
    const std::string first = passedOut ? "Par: 0" : "Par: " + contracts;
    const std::string second =
        passedOut ? "" : (dd.par.scoreNS > 0 ? "NS +" : "EW +") + std::to_string(std::abs(dd.par.scoreNS));
    const double px = p.parBeside ? x0 + p.labelW + 5 * p.columnW + p.fontSize * 20 * 0.5 : x0;
    const double py = p.parBeside ? y0 + p.lineH : y0 + 5 * p.lineH;
    s.Text(px, py, ShortenToWidth(s, first, p.width));
    if (!second.empty()) s.Text(px, py + p.lineH, second);
}

void DrawBoard(PrintSurface& s, const BoardSet& set, int n, const HandRecordLayout& layout, const Cell& cell,
               bool redSuits) {
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
        DrawHand(s, board, a.seat, layout, cell, a.x, a.y, redSuits);
}

} // namespace

std::optional<int> LayoutIndexOf(int boardsPerPage) {
    for (std::size_t i = 0; i < kHandRecordLayouts.size(); ++i) {
        if (kHandRecordLayouts[i].boardsPerPage == boardsPerPage) return static_cast<int>(i);
    }
    return std::nullopt;
}

bool DoubleDummyHasRoom(PrintSurface& s, int layoutIndex) {
    if (layoutIndex < 0 || layoutIndex >= static_cast<int>(kHandRecordLayouts.size())) return false;
    const HandRecordLayout& layout = kHandRecordLayouts[static_cast<std::size_t>(layoutIndex)];
    const PrintUnit unit = s.unit();
    const PrintFont font = s.font();
    s.SetUnit(PrintUnit::Twips);
    const double height = std::floor(s.PageHeight());
    const double width = std::floor(s.PageWidth());
    const bool room =
        PlaceDoubleDummy(s, layout, Round(width / layout.columns), RowHeight(height, layout)).has_value();
    s.SetUnit(unit);
    s.SetFontName(font.name);
    s.SetFontSize(font.size);
    s.SetBold(font.bold);
    return room;
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
    std::optional<DoubleDummyPlace> ddPlace;

    s.SetUnit(PrintUnit::Twips);
    for (int copy = 1; copy <= request.copies; ++copy) {
        int board = std::max(request.from - 1, 0);
        const double height = std::floor(s.PageHeight());
        const double width = std::floor(s.PageWidth());
        const double colW = Round(width / layout.columns);
        const double rowH = RowHeight(height, layout);
        if (!request.doubleDummy.empty()) ddPlace = PlaceDoubleDummy(s, layout, colW, rowH);
        const int last = std::min<int>(to, set.lastBoard);
        const int perPage = layout.rows * layout.columns;
        const int pages = std::max(1, (last - request.from + perPage) / perPage);

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
                    DrawBoard(s, set, board, layout, Cell{colW, rowH, c, r}, request.redSuits);
                    if (ddPlace &&
                        !(c > 0 && SouthReachesNextCell(set[board - 1], layout, colW, ddPlace->left))) {
                        auto dd = request.doubleDummy.find(board);
                        if (dd != request.doubleDummy.end())
                            DrawDoubleDummy(s, *ddPlace, Cell{colW, rowH, c, r}, dd->second);
                    }
                }
                s.Line(0, rowH * r + 510, width, rowH * r + 510);
                s.Line(0, rowH * (r + 1) + 510, width, rowH * (r + 1) + 510);
            }
            DrawFooter(s, width, height, page + 1, pages, request.eventDate);
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
