// ZETA771 (extension ".all"): 54-byte records, one digit per card code giving its seat ("0" North to "3"
// West), then carriage return and line feed. No board numbers, dealers, vulnerabilities or event texts.
#pragma once

#include "formats/format.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace orvenix {

inline constexpr std::size_t kZeta771RecordLength = 54;

// Fills the card owners of board from one record; bytes 53 and 54 are not examined and seats are not
// counted.
ReadResult ParseZeta771Record(std::string_view record, Board& board);

ReadResult ReadZeta771(std::string_view bytes, BoardSet& set);
// The records of boards firstBoard to lastBoard. Boards are expected complete (the frame refuses others).
std::string WriteZeta771(const BoardSet& set);

} // namespace orvenix
