// BRE: a text file with the event name, site and date on its first three lines, then one line per board
// in the DGE hand string notation, board k on data line k. It keeps event texts and incomplete boards but
// no board numbers, dealers or vulnerabilities.
#pragma once

#include "formats/format.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace orvenix {

inline constexpr std::size_t kBreHeaderLines = 3;
inline constexpr std::size_t kBreDateMaxChars = 40;

// Loads a BRE file into a cleared set as boards 1 to n, with the standard dealer and vulnerability of each
// number, and the event texts of its header. Empty lines between the header and the first board, and
// between boards, are skipped. Errors carry the 1-based file line number (header included) in "###".
ReadResult ReadBre(std::string_view bytes, BoardSet& set);

// The file of the set: the three header lines (Latin-1), then one line for every slot from 1 to lastBoard.
// Slots before firstBoard lie outside the set and are written as empty boards, so that board k stays on
// data line k. Lines end with CR LF.
std::string WriteBre(const BoardSet& set);

} // namespace orvenix
