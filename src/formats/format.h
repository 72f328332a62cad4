// What every board-set file format unit offers the load and save frame.
//
// Readers are pure: they take the file's bytes and fill a board set that the frame has already cleared
// (all 640 slots empty, firstBoard = 1, lastBoard = 0, currentBoard = 1). They run AnalyseBoard on every
// board they store. On failure they return the message of the first fault; the frame shows it, clears the
// set again and writes nothing anywhere else. Writers are pure too: they return the bytes of the file;
// the frame runs the checks before saving, asks the questions and writes the file safely.
#pragma once

#include "base/messages.h"
#include "model/board.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace orvenix {

struct FormatError {
    MessageKey key;
    std::string main;   // fills "***"
    std::string second; // fills "###"
    // The fault was found in a text line, not a fixed record: "record" in the message reads "line".
    bool inLine = false;

    [[nodiscard]] std::string Text() const {
        std::string text = FormatMessage(key, main, second);
        return inLine ? ReplaceAll(std::move(text), "record", "line") : text;
    }
};

// Empty when the set was loaded.
using ReadResult = std::optional<FormatError>;

} // namespace orvenix
