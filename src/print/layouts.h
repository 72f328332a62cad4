// Hand records (several boards per page with all four hands) and score cards (one half-page form per
// board), laid out on a PrintSurface.
#pragma once

#include "analysis/double_dummy.h"
#include "base/messages.h"
#include "model/board.h"
#include "print/surface.h"

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace orvenix {

// One hand-record layout; lengths in twips.
struct HandRecordLayout {
    int boardsPerPage;
    int columns;
    int rows;
    int cardFontSize;
    int cardPitch;
    int suitLineStep;
};

// The five layouts of the boards-per-page options 8, 10, 12, 16 and 18 (setting "PrintPerPage" 0 to 4).
inline constexpr std::array<HandRecordLayout, 5> kHandRecordLayouts{{
    {8, 2, 4, 12, 170, 250},
    {10, 2, 5, 10, 150, 250},
    {12, 2, 6, 10, 130, 200},
    {16, 4, 4, 10, 130, 200},
    {18, 3, 6, 10, 130, 200},
}};

// The layout index (0 to 4) of a boards-per-page count, or nothing for a count without a layout.
std::optional<int> LayoutIndexOf(int boardsPerPage);

inline constexpr std::array<const char*, 5> kSeatNames{"", "North", "East", "South", "West"};

// Score-card geometry, in points.
inline constexpr int kScoreCardLeftOdd = 15;
inline constexpr int kScoreCardLeftEven = 300;
inline constexpr int kScoreTableTop = 300;
inline constexpr int kScoreTableWidth = 274;
inline constexpr std::array<int, 7> kScoreTableColumns{30, 60, 108, 138, 188, 238, 272};

struct PrintRequest {
    int from = 1;
    int to = 1;
    int copies = 1;
    int layout = 0;        // hand records: index into kHandRecordLayouts
    std::string eventName; // hand records: the heading of every page (UTF-8)
    bool printDeal = true; // score cards: print the deal on the card
    int nsFirst = 0;       // score cards: first NS pair number; 0 prints no pair numbers
    bool redSuits = false; // hand records: the heart and diamond symbols in red
    std::string eventDate; // hand records: the date in the footer of every page
    // Hand records: the double-dummy table and par to add to each board's cell, by board number. Boards
    // without an entry, and every board of a layout without room for it, print without analysis.
    std::map<int, DoubleDummyResult> doubleDummy;
};

// Called after each copy with copy / copies x 100.
using PrintProgress = std::function<void(double percent)>;

// The first fault of a board range to print: from outside the set, to outside the set, to below from.
std::optional<MessageKey> CheckPrintRange(const BoardSet& set, int from, int to);

// Throws std::invalid_argument when the request cannot be printed from the set: no set, a range that
// CheckPrintRange refuses (with the text of its message), or fewer than one copy.
void CheckPrintRequest(const BoardSet& set, const PrintRequest& request);

// True when the cells of the hand-record layout (index into kHandRecordLayouts) have room for the
// double-dummy table and par line on the surface's page, below West's hand and left of South's.
bool DoubleDummyHasRoom(PrintSurface& surface, int layout);

// Prints the hand records of the request: all copies in one document (one print job). Throws
// std::invalid_argument for a request that CheckPrintRange refuses or a layout or copy count out of range,
// before anything is printed; a failing surface's PrintFailure passes through.
void PrintHandRecords(PrintSurface& surface, const BoardSet& set, const PrintRequest& request,
                      const PrintProgress& progress = {});

// Prints the score cards of the request: odd boards on the left half of a page, even boards on the right,
// all copies in one document. Leaves the set's currentBoard at the board after the last one printed.
// Throws like PrintHandRecords.
void PrintScoreCards(PrintSurface& surface, BoardSet& set, const PrintRequest& request,
                     const PrintProgress& progress = {});

// The event name cut at the end to the printable width at the heading font ("Times New Roman" 20 bold).
// Leaves the surface's unit and font as it found them.
std::string ShortenEventName(PrintSurface& surface, const std::string& eventName);

} // namespace orvenix
