#include "formats/zeta771.h"

#include "formats/fixed_records.h"

namespace orvenix {

ReadResult ParseZeta771Record(std::string_view record, Board& board) {
    for (int code = 1; code <= kCards; ++code)
        board.cardOwner[code] = 0;
    if (record.size() != kZeta771RecordLength) {
        return FormatError{MsgFmtRecordLength, std::to_string(record.size()), {}};
    }
    for (std::size_t k = 0; k < static_cast<std::size_t>(kCards); ++k) {
        const char c = record[k];
        if (c < '0' || c > '3')
            return FormatError{MsgFmtInvalidCharacter, ShownBytes(record.substr(k, 2)), {}};
        board.cardOwner[k + 1] = static_cast<Seat>(c - '0' + 1);
    }
    return std::nullopt;
}

ReadResult ReadZeta771(std::string_view bytes, BoardSet& set) {
    // A file whose first line ends in a bare line feed (written or copied by a tool that uses LF line
    // ends) gets its carriage returns back, so that its records are 54 bytes again.
    constexpr std::size_t kDigits = kCards;
    if (bytes.size() > kDigits && bytes[kDigits] == '\n') {
        std::string records;
        records.reserve(bytes.size() + bytes.size() / kDigits + 1);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) records += '\r';
            records += bytes[i];
        }
        return LoadRecords(records, kZeta771RecordLength, ParseZeta771Record, set);
    }
    return LoadRecords(bytes, kZeta771RecordLength, ParseZeta771Record, set);
}

std::string WriteZeta771(const BoardSet& set) {
    std::string out;
    if (!set.exists() || set.firstBoard < 1 || set.lastBoard > kMaxBoard) return out;
    out.reserve(static_cast<std::size_t>(set.count()) * kZeta771RecordLength);
    for (int b = set.firstBoard; b <= set.lastBoard; ++b) {
        const Board& board = set[b];
        for (int code = 1; code <= kCards; ++code) {
            const int owner = board.cardOwner[code];
            // Complete boards only reach here; an unplaced card would be West's, as in BRI.
            out += static_cast<char>('0' + (owner >= 1 && owner <= 4 ? owner - 1 : 3));
        }
        out += "\r\n";
    }
    return out;
}

} // namespace orvenix
