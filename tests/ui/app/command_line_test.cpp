// The desktop program's command line.
#include "ui/app/command_line.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

using Action = CommandLine::Action;

TEST(CommandLine, NothingGivenRunsWithTheDefaults) {
    const CommandLine c = ParseCommandLine({});
    EXPECT_EQ(c.action, Action::Run);
    EXPECT_EQ(c.options.machine, "serial");
    EXPECT_FALSE(c.options.historyPath.has_value());
    EXPECT_FALSE(c.options.seed.has_value());
}

TEST(CommandLine, OptionsInBothSpellings) {
    CommandLine c = ParseCommandLine({"--history", "/tmp/h.dat", "--machine=emulated", "--seed", "42"});
    ASSERT_EQ(c.action, Action::Run) << c.error;
    EXPECT_EQ(c.options.historyPath, std::filesystem::path("/tmp/h.dat"));
    EXPECT_EQ(c.options.machine, "emulated");
    EXPECT_EQ(c.options.seed, 42U);
    c = ParseCommandLine(
        {"--history=/a b/h.dat", "--machine", "serial:/dev/ttyUSB0", "--seed=18446744073709551615"});
    ASSERT_EQ(c.action, Action::Run) << c.error;
    EXPECT_EQ(c.options.historyPath, std::filesystem::path("/a b/h.dat"));
    EXPECT_EQ(c.options.machine, "serial:/dev/ttyUSB0");
    EXPECT_EQ(c.options.seed, 18446744073709551615ULL);
}

TEST(CommandLine, HelpAndVersion) {
    EXPECT_EQ(ParseCommandLine({"--help"}).action, Action::Help);
    EXPECT_EQ(ParseCommandLine({"-h"}).action, Action::Help);
    EXPECT_EQ(ParseCommandLine({"--seed", "1", "--version"}).action, Action::Version);
    EXPECT_NE(CommandLineUsage().find("--machine"), std::string::npos);
}

TEST(CommandLine, MachineKinds) {
    for (const char* ok : {"emulated", "serial", "serial:/dev/ttyACM0", "library", "library:/opt/lib/x.so"}) {
        EXPECT_TRUE(ValidMachineSpec(ok)) << ok;
    }
    for (const char* bad : {"", "Emulated", "serial:", "library:", "usb", "emulated:x", " serial"}) {
        EXPECT_FALSE(ValidMachineSpec(bad)) << bad;
        EXPECT_EQ(ParseCommandLine({"--machine", bad}).action, Action::Error) << bad;
    }
}

TEST(CommandLine, BadArgumentsAreErrorsWithAReason) {
    const std::vector<std::vector<std::string>> bad = {
        {"--seed"},        {"--seed", "x"}, {"--seed", "-1"},
        {"--seed", "12a"}, {"--seed", ""},  {"--seed", "18446744073709551616"},
        {"--history"},     {"--history="},  {"--machine"},
        {"board.pbn"},     {"--verbose"},
    };
    for (const auto& args : bad) {
        const CommandLine c = ParseCommandLine(args);
        EXPECT_EQ(c.action, Action::Error) << args.front();
        EXPECT_FALSE(c.error.empty()) << args.front();
    }
}

TEST(CommandLine, OnlyForeignArgumentsAreLeftForTheWindowSystem) {
    // "-style fusion" may be Qt's own: the program judges it again once Qt has taken its arguments.
    EXPECT_TRUE(ParseCommandLine({"-style", "fusion"}).unknownArgument);
    EXPECT_TRUE(ParseCommandLine({"--seed", "4", "extra"}).unknownArgument);
    // A bad value of one of the program's own options is never Qt's.
    EXPECT_FALSE(ParseCommandLine({"--seed", "x"}).unknownArgument);
    EXPECT_FALSE(ParseCommandLine({"--machine", "usb"}).unknownArgument);
    EXPECT_FALSE(ParseCommandLine({"--history"}).unknownArgument);
}

} // namespace
} // namespace orvenix
