// The loader shared by the fixed-record formats (BRI, DGE, DUP and ZETA771): the file is a run of records
// of one length without separators, record r being board r of the set.
#pragma once

#include "formats/format.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace orvenix {

// Fills the card owners of a cleared scratch board from one record. The error, if any, has its main value
// filled and its second value ("###", the record number) left for the loader.
using RecordParser = std::function<ReadResult(std::string_view record, Board& board)>;

// Cuts bytes into records of recordLength (the last one may be shorter), parses each into a scratch board
// and stores it as board 1, 2, ... with its standard dealer and vulnerability, analysed. Stops at the first
// faulty record, whose number goes into the error. An empty file, or a 641st good record, is refused too.
// On success set.lastBoard is the number of records; firstBoard is left as it was (1 in a cleared set).
ReadResult LoadRecords(std::string_view bytes, std::size_t recordLength, const RecordParser& parse,
                       BoardSet& set);

// The fixed-record reader chosen by its format name: "BRI", "DGE", "DUP" or "ZETA771". For DUP,
// boardNumbersKept (when given) tells whether the file's own board numbers placed the boards; the other
// formats never keep them. An unknown name loads nothing and reports the name as an unknown format.
ReadResult LoadFixedRecords(std::string_view formatName, std::string_view bytes, BoardSet& set,
                            bool* boardNumbersKept = nullptr);

// Bytes of a file as they may be shown in a message: valid UTF-8 unchanged, other bytes as Latin-1.
std::string ShownBytes(std::string_view bytes);

} // namespace orvenix
