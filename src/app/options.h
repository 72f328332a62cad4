// Command-line options shared by the desktop program and the command-line tool.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace orvenix {

struct ProgramOptions {
    std::optional<std::filesystem::path> historyPath; // --history PATH
    std::string machine = "serial";                   // --machine emulated|serial[:DEVICE]|library[:PATH]
    std::optional<std::uint64_t> seed;                // --seed N: reproducible generator
};

} // namespace orvenix
