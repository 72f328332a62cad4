// DUP: 156-byte records holding each deal twice, in BRI notation (N, E, S) and as a DGE hand string,
// followed by "YN", the set's first board number, "1 " and the set's last board number. The reader checks
// that both notations agree and, when the stored numbers fit the records, places the boards at them.
#pragma once

#include "formats/format.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace orvenix {

inline constexpr std::size_t kDupRecordLength = 156;

// The first and last board numbers a record carries (0 when its bytes hold no leading digits).
struct DupNumbers {
    int first = 0;
    int last = 0;
};

// Fills the card owners of board from one record and reads its board numbers, whether or not the deal
// is faulty.
ReadResult ParseDupRecord(std::string_view record, Board& board, DupNumbers& numbers);

// Loads a DUP file into a cleared set. When the first nonzero first and last numbers met in the file span
// exactly the records read (and fit in 1..640, first below last), the boards are moved to those numbers
// and boardNumbersKept (when given) is set; otherwise the boards stay at 1..n for the user to place.
ReadResult ReadDup(std::string_view bytes, BoardSet& set, bool* boardNumbersKept = nullptr);

// The records of boards firstBoard to lastBoard, each carrying firstBoard and lastBoard. Boards are
// expected complete (the frame refuses others).
std::string WriteDup(const BoardSet& set);

} // namespace orvenix
