#include "editor/hand_edit.h"

namespace orvenix {

namespace {

constexpr bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

int RankPosition(char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (int p = 0; p < 13; ++p) {
        if (kRankLetters[p] == c) return p + 1;
    }
    return 0;
}

} // namespace

std::string HandSuitCards(const Board& board, int index) {
    std::string text;
    if (index < 0 || index >= kSuitBoxCount) return text;
    const int seat = SeatOfSuitBox(index);
    const int suit = SuitOfSuitBox(index);
    for (int rank = 1; rank <= 13; ++rank) {
        const int code = CardCodeOf(suit, rank);
        if (board.cardOwner[code] == seat) text += CardRankChar[code];
    }
    return text;
}

std::string SpareCards(const Board& board, int suit) {
    std::string text;
    if (suit < 1 || suit > 4) return text;
    for (int rank = 1; rank <= 13; ++rank) {
        const int code = CardCodeOf(suit, rank);
        if (!CardPlaced(board, code)) text += CardRankChar[code];
    }
    return text;
}

void ParseSuitText(Board& board, int index, std::string_view text) {
    if (index < 0 || index >= kSuitBoxCount) return;
    const auto seat = static_cast<std::uint8_t>(SeatOfSuitBox(index));
    const int suit = SuitOfSuitBox(index);
    for (int rank = 1; rank <= 13; ++rank) {
        auto& owner = board.cardOwner[CardCodeOf(suit, rank)];
        if (owner == seat) owner = 0;
    }
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    for (const char c : text) {
        const int rank = RankPosition(c);
        if (rank > 0) board.cardOwner[CardCodeOf(suit, rank)] = seat;
    }
}

void SwapSeats(Board& board, int a, int b) {
    if (a < 1 || a > 4 || b < 1 || b > 4 || a == b) return;
    for (int code = 1; code <= kCards; ++code) {
        auto& owner = board.cardOwner[code];
        if (owner == a) {
            owner = static_cast<std::uint8_t>(b);
        } else if (owner == b) {
            owner = static_cast<std::uint8_t>(a);
        }
    }
}

void RotateHands(Board& board, int k) {
    k = ((k % 4) + 4) % 4;
    if (k == 0) return;
    for (int code = 1; code <= kCards; ++code) {
        auto& owner = board.cardOwner[code];
        if (owner < 1 || owner > 4) continue;
        int s = owner + k;
        if (s > 4) s -= 4;
        owner = static_cast<std::uint8_t>(s);
    }
}

void SwapButton(Board& board, int index) {
    constexpr int N = 1, E = 2, S = 3, W = 4;
    switch (index) {
    case 0:
        SwapSeats(board, W, N);
        break;
    case 1:
        SwapSeats(board, E, N);
        break;
    case 2:
        SwapSeats(board, S, E);
        break;
    case 3:
        SwapSeats(board, W, S);
        break;
    case 4:
        SwapSeats(board, S, N);
        break;
    case 5:
        SwapSeats(board, W, E);
        break;
    case 6:
        RotateHands(board, 1);
        break;
    case 7:
        RotateHands(board, 3);
        break;
    default:
        break;
    }
}

int CompleteHands(const Board& board) {
    std::array<int, 5> count{};
    for (int code = 1; code <= kCards; ++code) {
        if (CardPlaced(board, code)) ++count[board.cardOwner[code]];
    }
    int complete = 0;
    for (int seat = 1; seat <= 4; ++seat)
        complete += count[seat] == 13 ? 1 : 0;
    return complete;
}

bool FillLastHand(Board& board) {
    std::array<int, 5> count{};
    for (int code = 1; code <= kCards; ++code) {
        if (CardPlaced(board, code)) ++count[board.cardOwner[code]];
    }
    int complete = 0;
    int open = 0;
    for (int seat = 1; seat <= 4; ++seat) {
        if (count[seat] == 13) {
            ++complete;
        } else {
            open = seat;
        }
    }
    if (complete != 3) return false;
    for (int code = 1; code <= kCards; ++code) {
        if (!CardPlaced(board, code)) board.cardOwner[code] = static_cast<std::uint8_t>(open);
    }
    return true;
}

bool CardsDiffer(const Board& a, const Board& b) {
    for (int code = 1; code <= kCards; ++code) {
        if (a.cardOwner[code] != b.cardOwner[code]) return true;
    }
    return false;
}

} // namespace orvenix
