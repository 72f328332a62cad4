// A board editor working on a random set, with a copy of the set as it was before.
#pragma once

#include "editor/board_editor.h"
#include "support/board_set_samples.h"

#include <gtest/gtest.h>

#include <memory>

namespace orvenix::test {

class EditorFixture : public ::testing::Test {
  protected:
    void MakeSet(int first, int last, int current = 0) {
        *set = RandomSet(first, last);
        original = std::make_unique<BoardSet>(*set);
        ed.Open();
        while (set->currentBoard < current && ed.Next()) {
        }
    }

    std::unique_ptr<BoardSet> set = std::make_unique<BoardSet>();
    std::unique_ptr<BoardSet> original;
    BoardEditor ed{*set};
};

} // namespace orvenix::test
