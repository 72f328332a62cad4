// The desktop program's command line: --history PATH, --machine KIND, --seed N, --help, --version.
#pragma once

#include "app/options.h"

#include <string>
#include <vector>

namespace orvenix {

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    ProgramOptions options;
    std::string error;            // what was wrong, for Action::Error
    bool unknownArgument = false; // the error is an argument that is none of ours (it may be Qt's own)
};

// Parses the arguments after the program's name ("--name VALUE" and "--name=VALUE" both work).
CommandLine ParseCommandLine(const std::vector<std::string>& args);
// Whether a --machine value names a machine link: "emulated", "serial", "serial:DEVICE", "library" or
// "library:PATH" (as the link opener reads it).
bool ValidMachineSpec(const std::string& spec);
// The text of --help.
std::string CommandLineUsage();

} // namespace orvenix
