#include "formats/dup.h"

#include "formats/bri.h"
#include "formats/dge.h"
#include "formats/fixed_records.h"

namespace orvenix {
namespace {
constexpr std::size_t kDgePartOffset = 78;
constexpr std::size_t kFirstNumberOffset = 148; // bytes 149 to 151
constexpr std::size_t kLastNumberOffset = 153;  // bytes 154 to 156
constexpr std::size_t kNumberWidth = 3;

// The value of the leading digits of the 3 bytes at offset, 0 when there are none (or the record ends).
int LeadingNumber(std::string_view record, std::size_t offset) {
    if (offset >= record.size()) return 0;
    const std::string_view field = record.substr(offset, kNumberWidth);
    int value = 0;
    for (char c : field) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
    }
    return value;
}

// The number and two blanks, cut to 3 characters.
std::string NumberField(int n) {
    return (std::to_string(n) + "  ").substr(0, kNumberWidth);
}
} // namespace

ReadResult ParseDupRecord(std::string_view record, Board& board, DupNumbers& numbers) {
    ReadResult result = ParseBriRecord(record.substr(0, kBriNotationLength), board, 1);
    if (!result) {
        Board dge{};
        const std::string_view second = record.size() > kDgePartOffset
                                            ? record.substr(kDgePartOffset, kDgeHandStringLength)
                                            : std::string_view{};
        result = ParseDgeRecord(second, dge, DgeMode::kDupPart);
        if (!result) {
            for (int code = 1; code <= kCards; ++code) {
                if (board.cardOwner[code] != dge.cardOwner[code]) {
                    result = FormatError{MsgFmtDupBoardMismatch, {}, {}};
                    break;
                }
            }
        }
    }
    numbers.first = LeadingNumber(record, kFirstNumberOffset);
    numbers.last = LeadingNumber(record, kLastNumberOffset);
    return result;
}

ReadResult ReadDup(std::string_view bytes, BoardSet& set, bool* boardNumbersKept) {
    if (boardNumbersKept != nullptr) *boardNumbersKept = false;
    int first = 0;
    int last = 0;
    auto parse = [&first, &last](std::string_view record, Board& board) {
        DupNumbers numbers;
        ReadResult result = ParseDupRecord(record, board, numbers);
        if (first == 0) first = numbers.first;
        if (last == 0) last = numbers.last;
        return result;
    };
    if (ReadResult fault = LoadRecords(bytes, kDupRecordLength, parse, set)) return fault;

    const int n = set.lastBoard;
    if (first != 0 && last != 0 && last - first + 1 == n && first < last && last <= kMaxBoard) {
        for (int k = n; k >= 1; --k)
            set[first + k - 1] = set[k];
        // The slots below the first board held the records before they moved; they are outside the set.
        for (int k = 1; k < first; ++k)
            set[k] = Board{};
        set.firstBoard = static_cast<std::int16_t>(first);
        set.lastBoard = static_cast<std::int16_t>(first + n - 1);
        set.Renumber();
        if (boardNumbersKept != nullptr) *boardNumbersKept = true;
    }
    return std::nullopt;
}

std::string WriteDup(const BoardSet& set) {
    std::string out;
    if (!set.exists() || set.firstBoard < 1 || set.lastBoard > kMaxBoard) return out;
    out.reserve(static_cast<std::size_t>(set.count()) * kDupRecordLength);
    const std::string tail = "YN" + NumberField(set.firstBoard) + "1 " + NumberField(set.lastBoard);
    for (int b = set.firstBoard; b <= set.lastBoard; ++b) {
        std::string record = BriNotation(set[b]);
        record.resize(kBriNotationLength, ' ');
        std::string hands = DgeHandString(set[b]);
        hands.resize(kDgeHandStringLength, ' ');
        record += hands;
        record += tail;
        out += record;
    }
    return out;
}

} // namespace orvenix
