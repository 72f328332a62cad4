#include "model/shapes.h"

#include <utility>

namespace orvenix {

int FindShape(const HandShape& shape) {
    // Four-character compare from the rarest shape up, as the sentinel search does.
    for (int i = kShapeCount; i >= 1; --i) {
        const char* t = kShapeTable[static_cast<std::size_t>(i)].text;
        if (t[0] == shape[0] && t[1] == shape[1] && t[2] == shape[2] && t[3] == shape[3]) return i;
    }
    return 0;
}

int FindShape(std::string_view shape) {
    for (int i = kShapeCount; i >= 1; --i) {
        if (shape == kShapeTable[static_cast<std::size_t>(i)].text) return i;
    }
    return 0;
}

HandShape GetHandShape(const Board& board, int seat) {
    std::array<int, 5> length{};
    for (int code = 1; code <= kCards; ++code) {
        if (board.cardOwner[code] == seat) ++length[static_cast<std::size_t>((code - 1) / 13 + 1)];
    }
    // Gnome sort, descending.
    std::size_t i = 1;
    while (i < 4) {
        if (length[i] < length[i + 1]) {
            std::swap(length[i], length[i + 1]);
            if (i > 1) --i;
        } else {
            ++i;
        }
    }
    HandShape shape{};
    for (std::size_t k = 0; k < 4; ++k) shape[k] = kShapeDigits[length[k + 1]];
    return shape;
}

} // namespace orvenix
