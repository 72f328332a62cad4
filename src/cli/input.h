// Loading the board-set file a subcommand works on.
#pragma once

#include "formats/frame.h"
#include "model/board.h"

#include <memory>
#include <string>

namespace orvenix::cli {

// Loads the file into a new set. On failure prints the message's lines on stderr and returns null.
std::unique_ptr<BoardSet> LoadInput(const std::string& path, FileOutcome& outcome);

} // namespace orvenix::cli
