// orvenix-cli history [--history PATH]: the sets recorded in the history file, oldest first.
#include "cli/command.h"
#include "history/history.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <system_error>

namespace orvenix::cli {
namespace {

// Control characters of a name read from the file are shown as "?" so that they cannot disturb the
// terminal.
std::string Printable(const std::string& name) {
    std::string out = name;
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    }
    return out;
}

int RunHistory(Args& args) {
    const auto option = TakeOption(args, "history");
    if (!args.empty()) {
        std::cerr << "orvenix-cli history: unexpected argument '" << args.front() << "'\n";
        return UsageError("history");
    }
    const std::filesystem::path path = option ? std::filesystem::path(*option) : History::DefaultPath();

    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        std::cerr << "orvenix-cli history: cannot read " << path.string() << ": it is a folder\n";
        return 1;
    }
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const int error = errno;
        std::cerr << "orvenix-cli history: cannot read " << path.string() << ": "
                  << (error != 0 ? std::error_code(error, std::generic_category()).message()
                                 : std::string("the file cannot be opened"))
                  << "\n";
        return 1;
    }
    // Only the ring's 10000 records are read; the length of the rest is enough to say what is ignored.
    const std::size_t limit = static_cast<std::size_t>(kHistorySlots) * kHistoryRecordSize;
    std::vector<std::uint8_t> bytes(limit);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(limit));
    if (in.bad()) {
        std::cerr << "orvenix-cli history: cannot read " << path.string() << "\n";
        return 1;
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    std::uint64_t total = bytes.size();
    if (bytes.size() == limit) {
        const auto size = std::filesystem::file_size(path, ec);
        if (!ec) total = std::max<std::uint64_t>(size, total);
    }

    History history;
    const HistoryLoadReport report = history.Load(bytes.data(), bytes.size(), total);
    if (!report.Clean()) std::cerr << "orvenix-cli history: " << path.string() << ":\n" << report.Describe();

    for (const HistorySetInfo& set : history.SetsInRingOrder()) {
        char line[32];
        std::snprintf(line, sizeof line, "%5d %4d  ", set.slot, set.boardCount);
        std::cout << line << Printable(set.name) << "\n";
    }
    std::cout << "History records: " << history.BoardRecordCount() << "\n";
    return 0;
}

const CliRegistrar reg{
    {"history",
     "",
     "list the board sets recorded in the history file, oldest first",
     RunHistory,
     {{"--history", "PATH", "the history file (default: ~/.local/share/orvenix/history.dat)"}}}};

} // namespace
} // namespace orvenix::cli
