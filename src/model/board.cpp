#include "model/board.h"

#include "model/shapes.h"

#include <algorithm>
#include <functional>

namespace orvenix {

void BoardSet::ClearAllBoards() {
    for (int n = 1; n <= kMaxBoard; ++n) boards[static_cast<std::size_t>(n)] = Board{};
}

void BoardSet::Renumber() {
    if (firstBoard < 1 || lastBoard > kMaxBoard) return;
    for (int b = firstBoard; b <= lastBoard; ++b)
        NumberBoard((*this)[b], b);
}

void NumberBoard(Board& board, int n) {
    board.number = static_cast<std::int16_t>(n);
    board.dealer = DealerOf(n);
    board.vulnerability = VulnerabilityOf(n);
}

void BoardSet::Reset() {
    *this = BoardSet{};
}

std::string CardName(int code) {
    if (code < 1 || code > kCards) return {};
    std::string s;
    s += static_cast<char>(kSuitSymbols[CardSuit[code] - 1]);
    s += CardRankChar[code];
    return s;
}

std::string CardNameUtf8(int code) {
    if (code < 1 || code > kCards) return {};
    std::string s = kSuitSymbolsUtf8[CardSuit[code] - 1];
    s += CardRankChar[code];
    return s;
}

int AnalyseBoard(Board& board) {
    std::array<int, 5> cards{};
    std::array<std::array<int, 5>, 5> suitLength{};
    std::array<int, 5> points{};
    for (int code = 1; code <= kCards; ++code) {
        const int s = board.cardOwner[code];
        if (s < 1) {
            ++cards[0];
        } else if (s <= 4) {
            ++cards[s];
            ++suitLength[s][SuitOf(code)];
            points[s] += CardPoints[code];
        }
    }
    int complete = 0;
    for (int seat = 1; seat <= 4; ++seat) {
        board.highCardPoints[seat] = static_cast<std::uint8_t>(points[seat]);
        board.cardCount[seat] = static_cast<std::uint8_t>(cards[seat]);
        board.distributionPoints[seat] = 0;
        board.shapeIndex[seat] = 0;
        if (cards[seat] != 13) continue;
        ++complete;
        std::array<int, 4> lengths{suitLength[seat][1], suitLength[seat][2], suitLength[seat][3],
                                   suitLength[seat][4]};
        std::sort(lengths.begin(), lengths.end(), std::greater<>());
        HandShape shape;
        int dp = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            shape[i] = kShapeDigits[lengths[i]];
            if (lengths[i] < 3) dp += 3 - lengths[i];
        }
        board.distributionPoints[seat] = static_cast<std::uint8_t>(dp);
        board.shapeIndex[seat] = static_cast<std::uint8_t>(FindShape(shape));
    }
    if (complete == 4) {
        board.status = kBoardComplete;
    } else if (cards[0] == kCards) {
        board.status = kBoardEmpty;
    } else {
        board.status = kBoardPartial;
    }
    return complete;
}

void ClearBoard(BoardSet& set, int n) {
    set[n] = Board{};
}

int CompareBoards(const Board& a, const Board& b) {
    for (int code = 1; code <= kCards; ++code) {
        if (a.cardOwner[code] != b.cardOwner[code]) return 0;
    }
    if (a.number != b.number || a.dealer != b.dealer || a.vulnerability != b.vulnerability) return 1;
    return 2;
}

Seat EffectiveDealer(const Board& board, int n) {
    return board.dealer != 0 ? board.dealer : DealerOf(n);
}

Vulnerability EffectiveVulnerability(const Board& board, int n) {
    return board.vulnerability > 0 ? board.vulnerability : VulnerabilityOf(n);
}

} // namespace orvenix
