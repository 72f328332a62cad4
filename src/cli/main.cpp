// orvenix-cli: the command-line tool on top of the core library.
#include "app/version.h"
#include "cli/command.h"

#include <algorithm>
#include <cstring>
#include <iostream>
#include <stdexcept>

namespace orvenix::cli {

std::vector<CliCommand>& Commands() {
    static std::vector<CliCommand> commands;
    return commands;
}

std::optional<std::string> TakeOption(Args& args, const std::string& name) {
    const std::string flag = "--" + name;
    for (auto it = args.begin(); it != args.end(); ++it) {
        if (*it == flag) {
            if (it + 1 == args.end()) throw std::runtime_error("option " + flag + " needs a value");
            std::string value = *(it + 1);
            args.erase(it, it + 2);
            return value;
        }
        if (it->rfind(flag + "=", 0) == 0) {
            std::string value = it->substr(flag.size() + 1);
            args.erase(it);
            return value;
        }
    }
    return std::nullopt;
}

bool TakeFlag(Args& args, const std::string& name) {
    auto it = std::find(args.begin(), args.end(), "--" + name);
    if (it == args.end()) return false;
    args.erase(it);
    return true;
}

std::optional<long> TakeNumber(Args& args, const std::string& name, long lo, long hi) {
    auto text = TakeOption(args, name);
    if (!text) return std::nullopt;
    std::size_t used = 0;
    long value = 0;
    try {
        value = std::stol(*text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text->size() || value < lo || value > hi) {
        throw std::runtime_error("--" + name + " must be a whole number from " + std::to_string(lo) + " to " +
                                 std::to_string(hi));
    }
    return value;
}

namespace {
void Usage(std::ostream& out) {
    out << "usage: orvenix-cli --version\n";
    auto commands = Commands();
    std::sort(commands.begin(), commands.end(),
              [](const CliCommand& a, const CliCommand& b) { return std::strcmp(a.name, b.name) < 0; });
    for (const CliCommand& c : commands) out << "       orvenix-cli " << c.usage << "\n";
}
} // namespace

} // namespace orvenix::cli

int main(int argc, char** argv) {
    using namespace orvenix::cli;
    Args args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        Usage(args.empty() ? std::cerr : std::cout);
        return args.empty() ? 2 : 0;
    }
    if (args[0] == "--version") {
        std::cout << "orvenix-cli " << orvenix::VersionText() << "\n";
        return 0;
    }
    for (const CliCommand& c : Commands()) {
        if (args[0] == c.name) {
            Args rest(args.begin() + 1, args.end());
            try {
                return c.run(rest);
            } catch (const std::exception& e) {
                std::cerr << "orvenix-cli " << c.name << ": " << e.what() << "\n";
                return 2;
            }
        }
    }
    std::cerr << "orvenix-cli: unknown command '" << args[0] << "'\n";
    Usage(std::cerr);
    return 2;
}
