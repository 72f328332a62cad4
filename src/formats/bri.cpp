#include "formats/bri.h"

#include "formats/fixed_records.h"

namespace orvenix {
namespace {
constexpr std::size_t kBriCardFields = 104; // room for four seats of 13 two-digit fields
constexpr std::size_t kBriBlanks = 32;
constexpr std::size_t kBriZeros = 18;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

ReadResult ParseBriRecord(std::string_view record, Board& board, int mode) {
    for (int code = 1; code <= kCards; ++code)
        board.cardOwner[code] = 0;
    ReadResult result;
    const bool lengthOk = (mode == 0 && record.size() == kBriRecordLength) ||
                          (mode == 1 && record.size() == kBriNotationLength);
    if (!lengthOk) {
        result = FormatError{MsgFmtRecordLength, std::to_string(record.size()), {}};
    } else {
        std::string_view text = record;
        if (mode == 0) {
            text = text.substr(0, kBriCardFields);
            while (!text.empty() && text.back() == ' ')
                text.remove_suffix(1);
            if (text.size() != kBriNotationLength && text.size() != kBriCardFields) {
                result = FormatError{MsgFmtRecordLength, std::to_string(text.size()), {}};
            }
        }
        // Field k (0-based) starts at offset 2k; its seat follows from its position: 13 fields per seat.
        for (std::size_t p = 0; !result && p + 1 < text.size(); p += 2) {
            const std::string_view field = text.substr(p, 2);
            if (!IsDigit(field[0]) || !IsDigit(field[1])) {
                result = FormatError{MsgFmtInvalidCharacter, ShownBytes(field), {}};
                break;
            }
            const int c = (field[0] - '0') * 10 + (field[1] - '0');
            if (c < 1 || c > kCards) {
                result = FormatError{MsgFmtCardValue, std::string(field), {}};
                break;
            }
            if (board.cardOwner[c] != 0) {
                result = FormatError{MsgFmtDuplicateCardValue, std::string(field), {}};
                break;
            }
            board.cardOwner[c] = static_cast<Seat>((p + 1 + 25) / 26);
        }
    }
    for (int code = 1; code <= kCards; ++code) {
        if (board.cardOwner[code] == 0) board.cardOwner[code] = 4;
    }
    return result;
}

std::string BriNotation(const Board& board) {
    std::string out;
    out.reserve(kBriNotationLength);
    for (int seat = 1; seat <= 3; ++seat) {
        for (int code = 1; code <= kCards; ++code) {
            if (board.cardOwner[code] != seat) continue;
            out += static_cast<char>('0' + code / 10);
            out += static_cast<char>('0' + code % 10);
        }
    }
    return out;
}

ReadResult ReadBri(std::string_view bytes, BoardSet& set) {
    return LoadRecords(
        bytes, kBriRecordLength,
        [](std::string_view record, Board& board) { return ParseBriRecord(record, board, 0); }, set);
}

std::string WriteBri(const BoardSet& set) {
    std::string out;
    if (!set.exists() || set.firstBoard < 1 || set.lastBoard > kMaxBoard) return out;
    out.reserve(static_cast<std::size_t>(set.count()) * kBriRecordLength);
    for (int b = set.firstBoard; b <= set.lastBoard; ++b) {
        std::string record = BriNotation(set[b]);
        // A complete board fills exactly 78 digits; the record keeps its length whatever the board holds.
        record.resize(kBriNotationLength, ' ');
        record.append(kBriBlanks, ' ');
        record.append(kBriZeros, '\0');
        out += record;
    }
    return out;
}

} // namespace orvenix
