// A board editor working on a random set, with a copy of the set as it was before, and the buttons it
// allows.
#pragma once

#include "editor/board_editor.h"
#include "support/board_set_samples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace orvenix::test {

// '1' or '0' for each button in the order push, pop, accept, delete, first, previous, next, last, add,
// insert, shift left, shift right, fill, exit.
inline std::string ButtonFlags(const EditorButtons& b) {
    std::string flags;
    for (const bool on : {b.push, b.pop, b.accept, b.del, b.first, b.prev, b.next, b.last, b.add, b.insert,
                          b.shiftLeft, b.shiftRight, b.fill, b.exit})
        flags += on ? '1' : '0';
    return flags;
}

class EditorFixture : public ::testing::Test {
  protected:
    void MakeSet(int first, int last, int current = 0) {
        *set = RandomSet(first, last);
        original = std::make_unique<BoardSet>(*set);
        ed.Open();
        set->currentBoard = static_cast<std::int16_t>(std::max(current, first));
        ed.DisplayBoard();
    }

    [[nodiscard]] bool Range(int first, int last, int current) const {
        return set->firstBoard == first && set->lastBoard == last && set->currentBoard == current;
    }

    std::unique_ptr<BoardSet> set = std::make_unique<BoardSet>();
    std::unique_ptr<BoardSet> original;
    BoardEditor ed{*set};
};

} // namespace orvenix::test
