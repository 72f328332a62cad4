#include "ui/app/command_line.h"

#include "machine/open_link.h"

#include <charconv>

namespace orvenix {

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

} // namespace

bool ValidMachineSpec(const std::string& spec) {
    return ParseMachineChoice(spec).has_value();
}

std::string CommandLineUsage() {
    return "usage: orvenix [--history PATH] [--machine emulated|serial[:DEVICE]|library[:PATH]] [--seed N]\n"
           "       orvenix --help | --version\n"
           "\n"
           "  --history PATH  history file of earlier board sets\n"
           "                  (default: ~/.local/share/orvenix/history.dat)\n"
           "  --machine KIND  how the dealing machine is reached (default: serial)\n"
           "  --seed N        reproducible random deals\n";
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine result;
    auto fail = [&result](std::string message) {
        result.action = CommandLine::Action::Error;
        result.error = std::move(message);
        return result;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            result.action = CommandLine::Action::Help;
            return result;
        }
        if (arg == "--version") {
            result.action = CommandLine::Action::Version;
            return result;
        }
        std::string name;
        std::string value;
        bool hasValue = false;
        for (const char* option : {"--history", "--machine", "--seed"}) {
            const std::string flag = option;
            if (arg == flag) {
                if (i + 1 >= args.size()) return fail("option " + flag + " needs a value");
                name = flag;
                value = args[++i];
                hasValue = true;
            } else if (StartsWith(arg, flag + "=")) {
                name = flag;
                value = arg.substr(flag.size() + 1);
                hasValue = true;
            }
            if (hasValue) break;
        }
        if (!hasValue) {
            result.unknownArgument = true;
            return fail("unknown argument: " + arg);
        }
        if (name == "--history") {
            if (value.empty()) return fail("--history needs a file path");
            result.options.historyPath = value;
        } else if (name == "--machine") {
            if (!ValidMachineSpec(value)) {
                return fail("--machine must be emulated, serial[:DEVICE] or library[:PATH], not \"" + value +
                            "\"");
            }
            result.options.machine = value;
        } else {
            std::uint64_t seed = 0;
            const char* first = value.data();
            const char* last = value.data() + value.size();
            const auto [ptr, ec] = std::from_chars(first, last, seed);
            if (value.empty() || ec != std::errc{} || ptr != last) {
                return fail("--seed must be a whole number from 0 to 18446744073709551615");
            }
            result.options.seed = seed;
        }
    }
    return result;
}

} // namespace orvenix
