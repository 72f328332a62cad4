#include "formats/dge.h"

#include "formats/fixed_records.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace orvenix {
namespace {

// For every byte: 1 to 4 for the suit symbols (spades, hearts, diamonds, clubs), 0 for the others.
constexpr std::array<std::uint8_t, 256> MakeSuitTable() {
    std::array<std::uint8_t, 256> t{};
    for (std::size_t k = 0; k < kSuitSymbols.size(); ++k)
        t[kSuitSymbols[k]] = static_cast<std::uint8_t>(k + 1);
    return t;
}
// For every byte: 1 to 13 for the rank letters "AKQJT98765432", 0 for the others.
constexpr std::array<std::uint8_t, 256> MakeRankTable() {
    std::array<std::uint8_t, 256> t{};
    for (int r = 0; r < 13; ++r)
        t[static_cast<unsigned char>(kRankLetters[r])] = static_cast<std::uint8_t>(r + 1);
    return t;
}
constexpr std::array<std::uint8_t, 256> kSuitOfSymbol = MakeSuitTable();
constexpr std::array<std::uint8_t, 256> kRankOfLetter = MakeRankTable();

FormatError AtPosition(MessageKey key, std::size_t position) {
    return FormatError{key, std::to_string(position), {}};
}

} // namespace

ReadResult ParseDgeRecord(std::string_view text, Board& board, DgeMode mode) {
    for (int code = 1; code <= kCards; ++code)
        board.cardOwner[static_cast<std::size_t>(code)] = 0;
    std::array<int, 5> counts{};

    if (mode == DgeMode::kFileRecord) {
        if (text.size() != kDgeRecordLength) {
            return FormatError{MsgFmtRecordLength, std::to_string(text.size()), {}};
        }
        text = text.substr(0, kDgeHandStringLength);
    }

    int suit = 0;
    int seat = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t position = i + 1;
        const auto c = static_cast<unsigned char>(text[i]);
        if (const int k = kSuitOfSymbol[c]; k != 0) {
            if (!(k == suit + 1 || (suit == 4 && k == 1)))
                return AtPosition(MsgFmtUnexpectedCharacterAtPosition, position);
            suit = k;
            if (k == 1 && ++seat > 4) return AtPosition(MsgFmtUnexpectedCharacterAtPosition, position);
            continue;
        }
        const int rank = kRankOfLetter[c];
        if (rank == 0 || suit == 0) return AtPosition(MsgFmtIllegalCardCode, position);
        const auto code = static_cast<std::size_t>(CardCodeOf(suit, rank));
        if (board.cardOwner[code] != 0) return AtPosition(MsgFmtDuplicateCardAtPosition, position);
        board.cardOwner[code] = static_cast<Seat>(seat);
        ++counts[static_cast<std::size_t>(seat)];
    }

    if (mode != DgeMode::kFileRecord) return std::nullopt;
    if (counts[1] == 13 && counts[2] == 13 && counts[3] == 13 && counts[4] == 13) return std::nullopt;
    return FormatError{MsgFmtHandCardCount,
                       std::to_string(counts[1]) + ", " + std::to_string(counts[2]) + ", " +
                           std::to_string(counts[3]) + ", " + std::to_string(counts[4]),
                       {}};
}

ReadResult ParseDgeFileRecord(std::string_view record, int recordNumber, Board& board) {
    ReadResult result = ParseDgeRecord(record, board, DgeMode::kFileRecord);
    if (result) result->second = std::to_string(recordNumber);
    return result;
}

std::string DgeHandString(const Board& board) {
    std::string out;
    out.reserve(kDgeHandStringLength);
    for (int seat = 1; seat <= 4; ++seat) {
        int suit = 1;
        out += static_cast<char>(kSuitSymbols[0]);
        for (int code = 1; code <= kCards; ++code) {
            if (board.cardOwner[static_cast<std::size_t>(code)] != seat) continue;
            while (suit < SuitOf(code))
                out += static_cast<char>(kSuitSymbols[static_cast<std::size_t>(suit++)]);
            out += CardRankChar[static_cast<std::size_t>(code)];
        }
        while (suit < 4)
            out += static_cast<char>(kSuitSymbols[static_cast<std::size_t>(suit++)]);
    }
    return out;
}

std::string DgeRecord(const Board& board) {
    std::string record = DgeHandString(board);
    record.resize(kDgeRecordLength, '\0');
    return record;
}

ReadResult ReadDge(std::string_view bytes, BoardSet& set) {
    return LoadRecords(
        bytes, kDgeRecordLength,
        [](std::string_view record, Board& board) {
            return ParseDgeRecord(record, board, DgeMode::kFileRecord);
        },
        set);
}

std::string WriteDge(const BoardSet& set) {
    std::string out;
    if (!set.exists() || set.firstBoard < 1 || set.lastBoard > kMaxBoard) return out;
    out.reserve(static_cast<std::size_t>(set.count()) * kDgeRecordLength);
    for (int b = set.firstBoard; b <= set.lastBoard; ++b)
        out += DgeRecord(set[b]);
    return out;
}

} // namespace orvenix
