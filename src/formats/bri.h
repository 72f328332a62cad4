// BRI: 128-byte records listing the card codes of North, East and South as two-digit numbers; West holds
// the rest. No board numbers, dealers, vulnerabilities or event texts.
#pragma once

#include "formats/format.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace orvenix {

inline constexpr std::size_t kBriRecordLength = 128;
inline constexpr std::size_t kBriNotationLength = 78; // the three seats N, E, S

// Fills the card owners of board from one record. mode 0: a BRI file record (128 bytes; bytes 79 to 104
// may list West too); mode 1: the first part of a DUP record (78 bytes). Cards not listed go to West.
ReadResult ParseBriRecord(std::string_view record, Board& board, int mode);

// The card codes of N, then E, then S, each seat's in ascending order, two digits each (78 characters for
// a complete board).
std::string BriNotation(const Board& board);

ReadResult ReadBri(std::string_view bytes, BoardSet& set);
// The records of boards firstBoard to lastBoard. Boards are expected complete (the frame refuses others).
std::string WriteBri(const BoardSet& set);

} // namespace orvenix
