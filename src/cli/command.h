// The command-line tool's subcommands. Each lives in its own file and registers itself:
//   static const CliRegistrar reg{{"history", "history [--history PATH]", RunHistory}};
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orvenix::cli {

using Args = std::vector<std::string>;

struct CliCommand {
    const char* name;
    const char* usage;
    int (*run)(Args& args); // args: everything after the subcommand's name
};

std::vector<CliCommand>& Commands();

struct CliRegistrar {
    explicit CliRegistrar(CliCommand c) { Commands().push_back(c); }
};

// Removes "--name VALUE" (or "--name=VALUE") from args and returns VALUE; nothing when absent.
// Throws std::runtime_error when the option has no value.
std::optional<std::string> TakeOption(Args& args, const std::string& name);
// Removes a "--name" flag from args; true when it was there.
bool TakeFlag(Args& args, const std::string& name);
// Parses a whole number option; throws std::runtime_error with a clear text when it is not one.
std::optional<long> TakeNumber(Args& args, const std::string& name, long lo, long hi);

} // namespace orvenix::cli
