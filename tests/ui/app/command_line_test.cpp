// The desktop program's command line.
#include "ui/app/command_line.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

using Action = CommandLine::Action;

TEST(CommandLine, EveryArgumentListHasItsActionAndOptions) {
    using Options =
        std::tuple<std::optional<std::filesystem::path>, std::string, std::optional<std::uint64_t>>;
    // Options in both spellings, and their defaults, for the lists that run the program. An unknown argument
    // is left for the window system to judge once it has taken its own.
    const std::tuple<std::vector<std::string>, Action, bool, Options> cases[] = {
        {{}, Action::Run, false, {std::nullopt, "serial", std::nullopt}},
        {{"--history", "/a b", "--machine=library:/x", "--seed=42"},
         Action::Run,
         false,
         {"/a b", "library:/x", 42}},
        {{"--history=/h", "--machine", "emulated", "--seed", "7"}, Action::Run, false, {"/h", "emulated", 7}},
        {{"--seed=18446744073709551615"}, Action::Run, false, {std::nullopt, "serial", ~0ULL}},
        {{"--help"}, Action::Help, false, {}},
        {{"-h"}, Action::Help, false, {}},
        {{"--seed", "1", "--version"}, Action::Version, false, {}},
        {{"--seed"}, Action::Error, false, {}},
        {{"--seed", "x"}, Action::Error, false, {}},
        {{"--seed", "12a"}, Action::Error, false, {}},
        {{"--seed", ""}, Action::Error, false, {}},
        {{"--seed", "18446744073709551616"}, Action::Error, false, {}},
        {{"--history"}, Action::Error, false, {}},
        {{"--history="}, Action::Error, false, {}},
        {{"--machine"}, Action::Error, false, {}},
        {{"--machine", "usb"}, Action::Error, false, {}},
        {{"board.pbn"}, Action::Error, true, {}},
        {{"--seed", "4", "-style", "fusion"}, Action::Error, true, {}}};
    for (const auto& [args, action, unknownArgument, options] : cases) {
        const CommandLine c = ParseCommandLine(args);
        EXPECT_EQ(std::tuple(c.action, c.unknownArgument, c.error.empty()),
                  std::tuple(action, unknownArgument, action != Action::Error))
            << c.error;
        if (action == Action::Run) {
            EXPECT_EQ(std::tuple(c.options.historyPath, c.options.machine, c.options.seed), options);
        }
    }
    EXPECT_NE(CommandLineUsage().find("--machine"), std::string::npos);
}

} // namespace
} // namespace orvenix
