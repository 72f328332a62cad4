// The desktop program's command line.
#include "ui/app/command_line.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

using Action = CommandLine::Action;

TEST(CommandLine, OptionsInBothSpellingsAndTheirDefaults) {
    CommandLine c = ParseCommandLine({});
    EXPECT_EQ(c.action, Action::Run);
    EXPECT_EQ(c.options.machine, "serial");
    EXPECT_FALSE(c.options.historyPath.has_value() || c.options.seed.has_value());
    c = ParseCommandLine(
        {"--history", "/a b/h.dat", "--machine=library:/opt/x.so", "--seed=18446744073709551615"});
    ASSERT_EQ(c.action, Action::Run) << c.error;
    EXPECT_EQ(c.options.historyPath, std::filesystem::path("/a b/h.dat"));
    EXPECT_EQ(c.options.machine, "library:/opt/x.so");
    EXPECT_EQ(c.options.seed, 18446744073709551615ULL);
    c = ParseCommandLine({"--history=/h.dat", "--machine", "emulated", "--seed", "42"});
    EXPECT_TRUE(c.options.historyPath == "/h.dat" && c.options.machine == "emulated" &&
                c.options.seed == 42U);
}

TEST(CommandLine, EveryArgumentListHasItsAction) {
    const struct {
        std::vector<std::string> args;
        Action action;
        bool unknownArgument; // left for the window system to judge once it has taken its own
    } cases[] = {{{"--help"}, Action::Help, false},
                 {{"-h"}, Action::Help, false},
                 {{"--seed", "1", "--version"}, Action::Version, false},
                 {{"--seed"}, Action::Error, false},
                 {{"--seed", "x"}, Action::Error, false},
                 {{"--seed", "12a"}, Action::Error, false},
                 {{"--seed", ""}, Action::Error, false},
                 {{"--seed", "18446744073709551616"}, Action::Error, false},
                 {{"--history"}, Action::Error, false},
                 {{"--history="}, Action::Error, false},
                 {{"--machine"}, Action::Error, false},
                 {{"--machine", "usb"}, Action::Error, false},
                 {{"board.pbn"}, Action::Error, true},
                 {{"--seed", "4", "-style", "fusion"}, Action::Error, true}};
    for (const auto& c : cases) {
        const CommandLine parsed = ParseCommandLine(c.args);
        EXPECT_EQ(parsed.action, c.action) << c.args.back();
        EXPECT_EQ(parsed.unknownArgument, c.unknownArgument) << c.args.back();
        EXPECT_EQ(parsed.error.empty(), c.action != Action::Error) << c.args.back();
    }
    EXPECT_NE(CommandLineUsage().find("--machine"), std::string::npos);
}

} // namespace
} // namespace orvenix
