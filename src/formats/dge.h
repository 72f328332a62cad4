// DGE: fixed 128-byte records, one board per record, each written hand by hand with suit symbol bytes and
// rank letters (the DGE hand string). The same hand string is the board line of BRE and the second part
// of a DUP record, so its parser has three modes.
//
// A DGE file goes through the fixed-record loader (LoadRecords) in records of 128 bytes, each parsed by
// ParseDgeRecord in file-record mode; ReadDge is that load.
#pragma once

#include "formats/format.h"
#include "model/board.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace orvenix {

inline constexpr std::size_t kDgeRecordLength = 128;
// A complete board: 52 rank letters and 16 suit symbols.
inline constexpr std::size_t kDgeHandStringLength = 68;

enum class DgeMode : int {
    kFileRecord = 0, // a DGE file record: exactly 128 bytes, the first 68 parsed, 13 cards per hand
    kBreLine = 1,    // a BRE board line: the whole text, no card count check
    kDupPart = 2,    // the second part of a DUP record: the whole text, no card count check
};

// Fills the cardOwner entries 1 to 52 of board from a hand string (other fields are left alone; the
// entries of cards the text does not name are 0). On a fault, returns its message key with "***"
// filled in; "###" (the record or line number) is left for the caller. Positions in messages are
// 1-based positions within text.
ReadResult ParseDgeRecord(std::string_view text, Board& board, DgeMode mode);

// One record of a DGE file: ParseDgeRecord in file-record mode with "###" set to recordNumber.
ReadResult ParseDgeFileRecord(std::string_view record, int recordNumber, Board& board);

// The DGE hand string of a board: for N, E, S, W the four suit symbols, each followed by the seat's
// cards of that suit from ace down. Unplaced cards are left out (16 symbols alone for an empty board).
std::string DgeHandString(const Board& board);

// The 128-byte record of a board: its hand string followed by zero bytes.
std::string DgeRecord(const Board& board);

// Loads a DGE file into a cleared set as boards 1 to n (n records), with the standard dealer and
// vulnerability of each number. Errors carry the record number in "###"; firstBoard is left as it was.
ReadResult ReadDge(std::string_view bytes, BoardSet& set);

// The file of boards firstBoard to lastBoard, one record each. The frame refuses incomplete boards
// beforehand; an incomplete board would be written with its unplaced cards left out.
std::string WriteDge(const BoardSet& set);

} // namespace orvenix
