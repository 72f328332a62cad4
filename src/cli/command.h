// The command-line tool's subcommands. Each lives in its own file and registers itself with its options:
//   static const CliRegistrar reg{{"history", "", "list the board sets recorded in the history file",
//                                  RunHistory, {{"--history", "PATH", "the history file to read"}}}};
// The option table is what the subcommand accepts: the tool refuses any other "--name" before the
// subcommand runs, and prints the table for `orvenix-cli help NAME` and `orvenix-cli NAME --help`.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orvenix::cli {

using Args = std::vector<std::string>;

struct CliOption {
    const char* name;      // "--from"
    const char* value;     // the value's placeholder ("N"), or nullptr for a flag
    const char* help;      // one line
    bool required = false; // shown without brackets in the usage
};

struct CliCommand {
    const char* name;
    const char* operands;   // the arguments that are not options ("INPUT OUTPUT"), "" for none
    const char* summary;    // what the subcommand does, one line
    int (*run)(Args& args); // args: everything after the subcommand's name
    std::vector<CliOption> options;
};

std::vector<CliCommand>& Commands();

struct CliRegistrar {
    explicit CliRegistrar(CliCommand c) { Commands().push_back(std::move(c)); }
};

// The registered subcommand of that name, or nullptr.
const CliCommand* FindCommand(const std::string& name);
// "deal INPUT [--machine KIND] [--from N] ...": the name, the operands and every option.
std::string Synopsis(const CliCommand& command);
// The usage, the summary and one line per option, ending in a newline.
std::string CommandHelp(const CliCommand& command);
// Prints "usage: orvenix-cli SYNOPSIS" and where the options are described on stderr; returns status 2.
int UsageError(const std::string& command);

// Removes "--name VALUE" (or "--name=VALUE") from args and returns VALUE; nothing when absent.
// Throws std::runtime_error when the option has no value.
std::optional<std::string> TakeOption(Args& args, const std::string& name);
// Removes a "--name" flag from args; true when it was there.
bool TakeFlag(Args& args, const std::string& name);
// Parses a whole number option; throws std::runtime_error with a clear text when it is not one.
std::optional<long> TakeNumber(Args& args, const std::string& name, long lo, long hi);

} // namespace orvenix::cli
