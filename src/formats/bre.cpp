#include "formats/bre.h"

#include "formats/dge.h"
#include "formats/event_text.h"
#include "base/text_encoding.h"
#include "formats/text_lines.h"

namespace orvenix {

ReadResult ReadBre(std::string_view bytes, BoardSet& set) {
    set.lastBoard = 0;
    // A valid UTF-8 file is read in place; any other is taken as Latin-1 and converted.
    std::string decoded;
    std::string_view text = bytes;
    if (!IsValidUtf8(bytes)) {
        decoded = DecodeFileText(bytes);
        text = decoded;
    } else {
        set.eventTextsUtf8 = HasNonAscii(bytes);
    }
    const std::vector<std::string_view> lines = SplitLines(text);

    // A header line is taken only when more lines follow it.
    if (lines.size() > 1) StoreEventText(set.eventName, lines[0]);
    if (lines.size() > 2) StoreEventText(set.eventSite, lines[1]);
    if (lines.size() > 3) StoreEventText(set.eventDate, lines[2], kBreDateMaxChars);
    if (lines.size() <= kBreHeaderLines) return FormatError{MsgFmtFileEmpty, {}, {}};

    for (std::size_t index = kBreHeaderLines; index < lines.size(); ++index) {
        std::string_view line = lines[index];
        // Only a truly empty line is skipped. A line of blanks is a board without cards that keeps its
        // place, so that every later board keeps its number.
        if (line.empty()) continue;
        while (!line.empty() && line.back() == ' ')
            line.remove_suffix(1);
        Board board;
        if (ReadResult fault = ParseDgeRecord(line, board, DgeMode::kBreLine)) {
            fault->second = std::to_string(index + 1);
            fault->inLine = true;
            return fault;
        }
        if (set.lastBoard >= kMaxBoard) return FormatError{MsgFmtTooManyRecords, {}, {}};
        const int n = ++set.lastBoard;
        AnalyseBoard(board);
        NumberBoard(board, n);
        set[n] = board;
    }
    // Nothing but truly empty lines after the header.
    if (set.lastBoard == 0) return FormatError{MsgFmtFileEmpty, {}, {}};
    set.firstBoard = 1;
    return std::nullopt;
}

std::string WriteBre(const BoardSet& set) {
    std::string out;
    const bool utf8 = EventTextsAsUtf8(set);
    out += EventTextForFile(set.eventName, utf8) + "\r\n";
    out += EventTextForFile(set.eventSite, utf8) + "\r\n";
    out += EventTextForFile(set.eventDate, utf8) + "\r\n";
    if (!set.exists() || set.lastBoard > kMaxBoard) return out;
    out.reserve(out.size() + static_cast<std::size_t>(set.lastBoard) * (kDgeHandStringLength + 2));
    const Board empty;
    for (int b = 1; b <= set.lastBoard; ++b) {
        out += DgeHandString(b < set.firstBoard ? empty : set[b]);
        out += "\r\n";
    }
    return out;
}

} // namespace orvenix
