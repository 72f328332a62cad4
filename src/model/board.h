// The board set: one numbered run of bridge deals, the fixed card tables and the board operations.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orvenix {

using CardCode = std::uint8_t;      // 1..52: spades ace..two, hearts, diamonds, clubs; 0 is no card
using Seat = std::uint8_t;          // 1 = N, 2 = E, 3 = S, 4 = W; 0 = not placed
using Vulnerability = std::uint8_t; // 1 = None, 2 = NS, 3 = EW, 4 = All; 0 = not set

inline constexpr int kMaxBoard = 640;
inline constexpr int kBoardSlots = 641;
inline constexpr int kCards = 52;

enum BoardStatus : std::uint8_t { kBoardEmpty = 0, kBoardPartial = 1, kBoardComplete = 2 };

// One board, the 78-byte record that is always copied as a whole.
struct Board {
    std::int16_t number = 0;
    std::array<std::uint8_t, 53> cardOwner{};
    std::array<std::uint8_t, 5> cardCount{};
    std::array<std::uint8_t, 5> shapeIndex{};
    std::array<std::uint8_t, 5> highCardPoints{};
    std::array<std::uint8_t, 5> distributionPoints{};
    std::uint8_t status = 0;
    std::uint8_t dealer = 0;
    std::uint8_t vulnerability = 0;

    friend bool operator==(const Board&, const Board&) = default;
};
static_assert(sizeof(Board) == 78, "a board is a 78-byte record");

// The one board set of the program. Slot n holds board n; slot 0 holds no board.
struct BoardSet {
    std::array<Board, kBoardSlots> boards{};
    std::int16_t firstBoard = 0;
    std::int16_t lastBoard = 0; // 0: no board set exists
    std::int16_t currentBoard = 1;
    std::int16_t completedCount = 0;
    std::string eventName;
    std::string eventSite;
    std::string eventDate;
    std::string fileName;
    // How BRE and PBN files write the event texts: Latin-1 (the default, and for a file read as Latin-1)
    // or UTF-8 (for a file read as UTF-8 with letters beyond ASCII). A text Latin-1 cannot hold is always
    // written as UTF-8.
    bool eventTextsUtf8 = false;
    bool modified = false;
    std::vector<Board> editStack = std::vector<Board>(9); // entries used from index 1
    std::int16_t editStackCount = 0;

    // Number of boards in the set (0 when no set exists).
    [[nodiscard]] int count() const { return lastBoard >= 1 ? lastBoard - firstBoard + 1 : 0; }
    [[nodiscard]] bool exists() const { return lastBoard >= 1; }
    Board& operator[](int n) { return boards.at(static_cast<std::size_t>(n)); }
    const Board& operator[](int n) const { return boards.at(static_cast<std::size_t>(n)); }

    // Copies the all-zero record into all 640 board slots (done before every load).
    void ClearAllBoards();
    // Every board b from firstBoard to lastBoard gets number b and its standard dealer and vulnerability.
    void Renumber();
    // Start-up state: no set, current board 1, empty event texts, empty stack, not modified.
    void Reset();
};

// ---- Fixed tables ----------------------------------------------------------------------------------
inline constexpr char kRankLetters[] = "AKQJT98765432";
inline constexpr char kSeatLetters[] = "NESW";
// Suit symbols (spades, hearts, diamonds, clubs) in the fixed-pitch display font's character set.
inline constexpr std::array<unsigned char, 4> kSuitSymbols{6, 3, 4, 5};
// The same suits in the Symbol font.
inline constexpr std::array<unsigned char, 4> kSuitSymbolsSymbolFont{0xAA, 0xA9, 0xA8, 0xA7};
// The suits as Unicode characters (UTF-8), for the screen.
inline constexpr std::array<const char*, 4> kSuitSymbolsUtf8{"\u2660", "\u2665", "\u2666", "\u2663"};

struct CardTables {
    std::array<char, 53> rankChar{};
    std::array<std::uint8_t, 53> suit{};
    std::array<std::uint8_t, 53> points{};
};

constexpr CardTables MakeCardTables() {
    CardTables t{};
    int code = 0;
    for (int suit = 1; suit <= 4; ++suit) {
        for (int rank = 1; rank <= 13; ++rank) {
            ++code;
            t.rankChar[code] = kRankLetters[rank - 1];
            t.suit[code] = static_cast<std::uint8_t>(suit);
            t.points[code] = static_cast<std::uint8_t>(rank <= 4 ? 5 - rank : 0);
        }
    }
    return t;
}
inline constexpr CardTables kCardTables = MakeCardTables();
inline constexpr const auto& CardRankChar = kCardTables.rankChar;
inline constexpr const auto& CardSuit = kCardTables.suit;
inline constexpr const auto& CardPoints = kCardTables.points;

constexpr int SuitOf(int code) { return (code + 12) / 13; }
constexpr int RankOf(int code) { return code - 13 * (SuitOf(code) - 1); }
constexpr int CardCodeOf(int suit, int rank) { return (suit - 1) * 13 + rank; }

// ---- Board operations -----------------------------------------------------------------------------
constexpr Seat DealerOf(int n) { return static_cast<Seat>(((n - 1) & 3) + 1); }
constexpr Vulnerability VulnerabilityOf(int n) {
    int x = (n - 1) & 15;
    x = x + x / 4;
    return static_cast<Vulnerability>((x & 3) + 1);
}

// Suit symbol (display font character set) followed by the rank letter.
std::string CardName(int code);
// The same with the Unicode suit symbol, for the screen.
std::string CardNameUtf8(int code);

// Fills the derived fields; returns the number of hands holding exactly 13 cards.
int AnalyseBoard(Board& board);
void ClearBoard(BoardSet& set, int n);
// 0: some card owner differs; 1: owners agree but number, dealer or vulnerability differ; 2: all agree.
int CompareBoards(const Board& a, const Board& b);
Seat EffectiveDealer(const Board& board, int n);
// Makes board board n: its number, and the standard dealer and vulnerability of that number.
void NumberBoard(Board& board, int n);
Vulnerability EffectiveVulnerability(const Board& board, int n);

inline constexpr std::array<const char*, 5> kVulnerabilityNames{"", "None", "NS", "EW", "All"};

} // namespace orvenix
