#include "formats/fixed_records.h"

#include "formats/bri.h"
#include "formats/dge.h"
#include "formats/dup.h"
#include "base/text_encoding.h"
#include "formats/zeta771.h"

namespace orvenix {

std::string ShownBytes(std::string_view bytes) {
    return DecodeFileText(bytes);
}

ReadResult LoadRecords(std::string_view bytes, std::size_t recordLength, const RecordParser& parse,
                       BoardSet& set) {
    set.lastBoard = 0;
    if (bytes.empty() || recordLength == 0) return FormatError{MsgFmtFileEmpty, {}, {}};
    for (std::size_t pos = 0; pos < bytes.size(); pos += recordLength) {
        const std::string_view record = bytes.substr(pos, recordLength);
        Board scratch{};
        if (ReadResult fault = parse(record, scratch)) {
            fault->second = std::to_string(set.lastBoard + 1);
            return fault;
        }
        if (set.lastBoard >= kMaxBoard) return FormatError{MsgFmtTooManyRecords, {}, {}};
        const int n = ++set.lastBoard;
        AnalyseBoard(scratch);
        NumberBoard(scratch, n);
        set[n] = scratch;
    }
    return std::nullopt;
}

ReadResult LoadFixedRecords(std::string_view formatName, std::string_view bytes, BoardSet& set,
                            bool* boardNumbersKept) {
    if (boardNumbersKept != nullptr) *boardNumbersKept = false;
    if (formatName == "BRI") return ReadBri(bytes, set);
    if (formatName == "DGE") return ReadDge(bytes, set);
    if (formatName == "DUP") return ReadDup(bytes, set, boardNumbersKept);
    if (formatName == "ZETA771") return ReadZeta771(bytes, set);
    set.lastBoard = 0;
    return FormatError{MsgUnknownFormatLoad, std::string(formatName), {}};
}

} // namespace orvenix
