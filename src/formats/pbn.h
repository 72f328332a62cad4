// PBN: the line-oriented Portable Bridge Notation. The subset read and written is what a board set holds:
// event name, site and date, board numbers, dealers, vulnerabilities and deals (also incomplete ones).
#pragma once

#include "formats/format.h"

#include <string>
#include <string_view>

namespace orvenix {

// The state of the PBN reader between two tag pairs.
struct PbnReadState {
    int currentBoard = 0; // the board the tags apply to; 0 before the first Board tag
    int state = 0;        // 5 after a Board tag, 0 after its Deal tag
};

// Interprets one tag pair of a PBN file. tagName is "Event", "Site", "Date", "Board", "Dealer", "Vul"
// or "Deal"; value is the text between the quotes (UTF-8). Returns the first fault with its "***"
// filled; "###" (the line number) is left for the caller.
ReadResult ApplyPbnTag(std::string_view tagName, std::string_view value, PbnReadState& state, BoardSet& set);

// Loads a PBN file into a cleared set. Tag pairs are found by scanning each line for "[" and a tag name;
// only whole tag names count, other tags and other lines are skipped. firstBoard and lastBoard become the
// lowest and highest board numbers found. Errors carry the 1-based line number in "###".
ReadResult ReadPbn(std::string_view bytes, BoardSet& set);

// Nonzero (true) when text holds one of [ ] { } % ; or a double quote, which PBN event texts may not hold.
bool HasPbnForbiddenCharacters(std::string_view text);

// The file of boards firstBoard to lastBoard: a header comment line, then per board the Event, Site,
// Date, Board, Dealer, Vulnerable and Deal tag pairs and an empty line. Lines end with CR LF; event texts
// are written in Latin-1.
std::string WritePbn(const BoardSet& set);

// The Deal tag value of a board, starting with the given seat (1 to 4); a hand without cards is "-".
std::string PbnDealValue(const Board& board, int firstSeat);

} // namespace orvenix
