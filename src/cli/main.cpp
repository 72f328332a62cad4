// orvenix-cli: the command-line tool on top of the core library.
#include "base/version.h"
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

const CliCommand* FindCommand(const std::string& name) {
    for (const CliCommand& c : Commands()) {
        if (name == c.name) return &c;
    }
    return nullptr;
}

namespace {

constexpr std::size_t kLineWidth = 100;

std::string OptionText(const CliOption& option) {
    return option.value != nullptr ? std::string(option.name) + " " + option.value : std::string(option.name);
}

// The words of a synopsis joined with spaces, wrapped before kLineWidth; continuation lines start at
// indent.
std::string Wrap(const std::vector<std::string>& words, std::size_t first, std::size_t indent) {
    std::string text;
    std::size_t column = first;
    for (const std::string& word : words) {
        if (!text.empty()) {
            if (column + 1 + word.size() > kLineWidth) {
                text += "\n" + std::string(indent, ' ');
                column = indent;
            } else {
                text += ' ';
                ++column;
            }
        }
        text += word;
        column += word.size();
    }
    return text;
}

std::vector<std::string> SynopsisWords(const CliCommand& command) {
    std::vector<std::string> words{command.name};
    if (*command.operands != '\0') words.emplace_back(command.operands);
    for (const CliOption& option : command.options) {
        words.push_back(option.required ? OptionText(option) : "[" + OptionText(option) + "]");
    }
    return words;
}

const char* const kUsagePrefix = "usage: orvenix-cli ";

std::string UsageLine(const CliCommand& command) {
    const std::size_t prefix = std::strlen(kUsagePrefix);
    return kUsagePrefix + Wrap(SynopsisWords(command), prefix, prefix + std::strlen(command.name) + 1) + "\n";
}

std::vector<const CliCommand*> SortedCommands() {
    std::vector<const CliCommand*> sorted;
    for (const CliCommand& c : Commands())
        sorted.push_back(&c);
    std::sort(sorted.begin(), sorted.end(),
              [](const CliCommand* a, const CliCommand* b) { return std::strcmp(a->name, b->name) < 0; });
    return sorted;
}

std::string GeneralUsage() {
    std::string text = "usage: orvenix-cli COMMAND [ARGUMENTS] [OPTIONS]\n"
                       "       orvenix-cli help [COMMAND]\n"
                       "       orvenix-cli --help | --version\n"
                       "\n"
                       "Commands:\n";
    const std::vector<const CliCommand*> commands = SortedCommands();
    std::size_t width = 0;
    for (const CliCommand* c : commands)
        width = std::max(width, std::strlen(c->name) + 1 + std::strlen(c->operands));
    for (const CliCommand* c : commands) {
        std::string head = std::string(c->name) + " " + c->operands;
        head.resize(width, ' ');
        text += "  " + head + "  " + c->summary + "\n";
    }
    text += "\nRun 'orvenix-cli help COMMAND' for the options of a command.\n";
    return text;
}

// What the arguments of a subcommand ask for before it runs: its help, or nothing; an option that is
// not in its table is an error. The value of an option is skipped, so that "--event --x" is the event
// text "--x".
enum class Scan { Run, Help, Error };

Scan ScanOptions(const CliCommand& command, const Args& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") return Scan::Help;
        if (arg.rfind("--", 0) != 0) continue;
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const auto option = std::find_if(command.options.begin(), command.options.end(),
                                         [&](const CliOption& o) { return name == o.name; });
        if (option == command.options.end()) {
            std::cerr << "orvenix-cli " << command.name << ": unknown option " << name << "\n";
            return Scan::Error;
        }
        if (option->value == nullptr && equals != std::string::npos) {
            std::cerr << "orvenix-cli " << command.name << ": option " << name << " takes no value\n";
            return Scan::Error;
        }
        if (option->value != nullptr && equals == std::string::npos) ++i;
    }
    return Scan::Run;
}

void TryHelp(const std::string& command) {
    std::cerr << "Try 'orvenix-cli help " << command << "' for more information.\n";
}

} // namespace

std::string Synopsis(const CliCommand& command) {
    std::string text;
    for (const std::string& word : SynopsisWords(command))
        text += (text.empty() ? "" : " ") + word;
    return text;
}

std::string CommandHelp(const CliCommand& command) {
    std::string text = UsageLine(command) + "\n" + command.summary + "\n\nOptions:\n";
    std::vector<std::pair<std::string, std::string>> rows;
    for (const CliOption& option : command.options)
        rows.emplace_back(OptionText(option), option.help);
    rows.emplace_back("-h, --help", "show this help and exit");
    std::size_t width = 0;
    for (const auto& row : rows)
        width = std::max(width, row.first.size());
    for (auto& [head, help] : rows) {
        head.resize(width, ' ');
        text += "  " + head + "  " + help + "\n";
    }
    return text;
}

int UsageError(const std::string& command) {
    if (const CliCommand* c = FindCommand(command)) std::cerr << UsageLine(*c);
    TryHelp(command);
    return 2;
}

} // namespace orvenix::cli

int main(int argc, char** argv) {
    using namespace orvenix::cli;
    Args args(argv + 1, argv + argc);
    if (args.empty()) {
        std::cerr << GeneralUsage();
        return 2;
    }
    if (args[0] == "--help" || args[0] == "-h") {
        std::cout << GeneralUsage();
        return 0;
    }
    if (args[0] == "--version") {
        std::cout << "orvenix-cli " << orvenix::VersionText() << "\n";
        return 0;
    }
    if (args[0] == "help") {
        if (args.size() == 1 || args[1] == "help") {
            std::cout << GeneralUsage();
            return 0;
        }
        if (const CliCommand* c = FindCommand(args[1]); c != nullptr && args.size() == 2) {
            std::cout << CommandHelp(*c);
            return 0;
        }
        std::cerr << "orvenix-cli help: "
                  << (args.size() == 2 ? "unknown command '" + args[1] + "'" : "one command at a time")
                  << "\n";
        std::cerr << GeneralUsage();
        return 2;
    }
    const CliCommand* c = FindCommand(args[0]);
    if (c == nullptr) {
        std::cerr << "orvenix-cli: unknown command '" << args[0] << "'\n" << GeneralUsage();
        return 2;
    }
    Args rest(args.begin() + 1, args.end());
    switch (ScanOptions(*c, rest)) {
    case Scan::Help:
        std::cout << CommandHelp(*c);
        return 0;
    case Scan::Error:
        TryHelp(c->name);
        return 2;
    case Scan::Run:
        break;
    }
    try {
        return c->run(rest);
    } catch (const std::exception& e) {
        std::cerr << "orvenix-cli " << c->name << ": " << e.what() << "\n";
        return 2;
    }
}
