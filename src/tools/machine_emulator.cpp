// orvenix-machine-emulator: the emulated machine on a pseudo-terminal. It prints the terminal's device
// path on the first line of its output; the program then opens it like a real machine
// (--machine serial:PATH). It runs until it gets SIGTERM or SIGINT (or, with --exit-on-eof, until its
// standard input ends). Lines on standard input play the operator; standard input is read only when it is
// a terminal or a pipe, so that `orvenix-machine-emulator &` in a script (input from /dev/null) keeps
// running:
//   pedal | box-in | box-out | board N | label CODE | flip open|closed
//   stack C1 C2 ... (card codes of the stack to read, top first) | order C1 C2 ... (dealing order)
//   error CODE AT (machine error at card AT of the next step)
//   misroute AT POCKET (the card at AT of the next step drops into POCKET 1 S, 2 W, 3 E, 4 N, unreported)
//   skip (the next step ends at once without an error and without a card)
//   fault checksum|short|none|overlong|wrong [COUNT [COMMAND]] (COMMAND: only replies to that command code)
//   lost on|off | state | quit
//   download CODE ADDRESS (the download reply to that block address, -1 the start packet, carries CODE)
//   firmware (prints the version and the number of downloads installed)
#include "machine/clock.h"
#include "machine/emulated_machine.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

using namespace orvenix;

[[noreturn]] void Fail(const std::string& what) {
    std::cerr << "orvenix-machine-emulator: " << what << "\n";
    std::exit(1);
}

long Number(const std::string& text, long lo, long hi, const std::string& name) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || *end != 0 || errno != 0 || v < lo || v > hi) {
        Fail(name + " must be a number from " + std::to_string(lo) + " to " + std::to_string(hi));
    }
    return v;
}

void Usage() {
    std::cout
        << "usage: orvenix-machine-emulator [--firmware X.YY] [--options N] [--serial N] [--card-ms N]\n"
           "                                [--board N] [--seed N] [--exit-on-eof]\n";
}

// One operator line; false when the emulator should stop.
bool Command(EmulatedMachine& m, const std::string& line) {
    std::istringstream in(line);
    std::string word;
    if (!(in >> word)) return true;
    std::string rest;
    std::vector<std::string> words;
    while (in >> rest)
        words.push_back(rest);
    auto number = [&](std::size_t i, long lo, long hi) -> std::optional<long> {
        if (i >= words.size()) return std::nullopt;
        char* end = nullptr;
        const long v = std::strtol(words[i].c_str(), &end, 0);
        if (*end != 0 || v < lo || v > hi) return std::nullopt;
        return v;
    };
    auto cards = [&]() {
        std::vector<CardCode> list;
        for (std::size_t i = 0; i < words.size(); ++i) {
            if (auto c = number(i, 0, 255)) list.push_back(static_cast<CardCode>(*c));
        }
        return list;
    };
    if (word == "quit") return false;
    if (word == "pedal")
        m.PressPedal();
    else if (word == "box-in")
        m.InsertBox();
    else if (word == "box-out")
        m.RemoveBox();
    else if (word == "board" && number(0, 0, 640))
        m.InsertBoard(static_cast<int>(*number(0, 0, 640)));
    else if (word == "label" && number(0, 0, 255))
        m.SetBoardLabel(static_cast<std::uint8_t>(*number(0, 0, 255)));
    else if (word == "flip" && !words.empty())
        m.SetFlipPlateOpen(words[0] == "open");
    else if (word == "stack")
        m.PutReadStack(cards());
    else if (word == "order")
        m.SetDealOrder(cards());
    else if (word == "error" && number(0, 1, 255) && number(1, 1, 52)) {
        m.InjectError(static_cast<std::uint8_t>(*number(0, 1, 255)), static_cast<int>(*number(1, 1, 52)));
    } else if (word == "misroute" && number(0, 1, 52) && number(1, 1, 4)) {
        m.InjectMisroute(static_cast<int>(*number(0, 1, 52)), static_cast<PocketCode>(*number(1, 1, 4)));
    } else if (word == "skip") {
        m.InjectIdleStep();
    } else if (word == "fault" && !words.empty()) {
        const int count = static_cast<int>(number(1, 1, 1000).value_or(1));
        const auto command = static_cast<std::uint8_t>(number(2, 0, 255).value_or(0));
        if (words[0] == "checksum")
            m.InjectWireFault(WireFault::BadChecksum, count, command);
        else if (words[0] == "short")
            m.InjectWireFault(WireFault::ShortReply, count, command);
        else if (words[0] == "none")
            m.InjectWireFault(WireFault::NoReply, count, command);
        else if (words[0] == "overlong")
            m.InjectWireFault(WireFault::OverLong, count, command);
        else if (words[0] == "wrong")
            m.InjectWireFault(WireFault::WrongReply, count, command);
        else
            std::cerr << "unknown fault: " << words[0] << "\n";
    } else if (word == "download" && number(0, 0, 255) && number(1, -1, 1023)) {
        m.InjectDownloadResult(static_cast<std::uint8_t>(*number(0, 0, 255)), static_cast<int>(*number(1, -1, 1023)));
    } else if (word == "firmware") {
        std::cout << "firmware " << FirmwareText(m.Config().firmwareMajor, m.Config().firmwareMinor) << " installed "
                  << m.FirmwareInstalled() << std::endl;
    } else if (word == "lost" && !words.empty()) {
        m.SetLinkLost(words[0] == "on");
    } else if (word == "state") {
        const auto& p = m.PocketCounts();
        std::cout << "status " << int{m.StatusByte()} << " pockets S " << p[0] << " W " << p[1] << " E "
                  << p[2] << " N " << p[3] << " boards " << m.BoardsDealt() << " latch "
                  << (m.Latch() ? "on" : "off") << std::endl;
    } else {
        std::cerr << "unknown command: " << line << "\n";
    }
    return true;
}

volatile std::sig_atomic_t stopRequested = 0;
void RequestStop(int) {
    stopRequested = 1;
}

// Operator lines come from a terminal or a pipe; /dev/null, a regular file or a closed descriptor give
// none.
bool OperatorInput() {
    struct stat st {};
    if (::fstat(STDIN_FILENO, &st) != 0) return false;
    return ::isatty(STDIN_FILENO) == 1 || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode);
}

} // namespace

int main(int argc, char** argv) {
    EmulatorConfig config;
    std::uint32_t seed = 1;
    int board = 1;
    bool exitOnEof = false;
    std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            Usage();
            return 0;
        }
        if (a == "--exit-on-eof") {
            exitOnEof = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            Usage();
            Fail("option " + a + " needs a value");
        }
        const std::string& v = args[++i];
        if (a == "--firmware") {
            const std::size_t dot = v.find('.');
            if (dot == std::string::npos) Fail("--firmware must look like 2.40");
            config.firmwareMajor =
                static_cast<std::uint8_t>(Number("0x" + v.substr(0, dot), 0, 255, "--firmware"));
            config.firmwareMinor =
                static_cast<std::uint8_t>(Number("0x" + v.substr(dot + 1), 0, 255, "--firmware"));
        } else if (a == "--options") {
            config.optionWord = static_cast<std::uint16_t>(Number(v, 0, 0xFFFF, "--options"));
        } else if (a == "--serial") {
            config.serialNumber = static_cast<std::uint16_t>(Number(v, 0, 0xFFFF, "--serial"));
        } else if (a == "--card-ms") {
            config.cardIntervalMs = static_cast<std::uint32_t>(Number(v, 0, 10000, "--card-ms"));
        } else if (a == "--board") {
            board = static_cast<int>(Number(v, 0, 640, "--board"));
        } else if (a == "--seed") {
            seed = static_cast<std::uint32_t>(Number(v, 0, 0x7FFFFFFF, "--seed"));
        } else {
            Usage();
            Fail("unknown option " + a);
        }
    }
    std::signal(SIGPIPE, SIG_IGN);
    struct sigaction stop {};
    stop.sa_handler = RequestStop;
    sigemptyset(&stop.sa_mask);
    ::sigaction(SIGTERM, &stop, nullptr);
    ::sigaction(SIGINT, &stop, nullptr);

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        Fail(std::string("no pseudo-terminal: ") + std::strerror(errno));
    const char* name = ::ptsname(master);
    if (name == nullptr) Fail("no pseudo-terminal name");
    const std::string path = name;
    // Holding the terminal open keeps it alive between program runs; raw mode makes it a clean byte pipe.
    const int hold = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    if (hold < 0) Fail(path + ": " + std::strerror(errno));
    termios tio{};
    ::tcgetattr(hold, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(hold, TCSANOW, &tio);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);

    EmulatedMachine machine(config, seed);
    machine.InsertBoard(board);
    SteadyClock clock;
    std::cout << path << std::endl;

    std::string pending;
    bool running = true;
    bool input = OperatorInput();
    if (!input && exitOnEof) running = false;
    while (running && stopRequested == 0) {
        machine.AdvanceTo(clock.NowMs());
        std::uint8_t out[512];
        while (machine.Available() > 0) {
            const std::size_t n = machine.Take(out, sizeof out);
            std::size_t done = 0;
            while (done < n) {
                const ssize_t w = ::write(master, out + done, n - done);
                if (w <= 0) break; // nobody reads: the bytes are lost, as on a real line
                done += static_cast<std::size_t>(w);
            }
        }
        int timeout = 100;
        if (auto next = machine.NextEventMs()) {
            const std::uint64_t now = clock.NowMs();
            timeout = *next <= now ? 0 : static_cast<int>(std::min<std::uint64_t>(*next - now, 100));
        }
        pollfd fds[2] = {{master, POLLIN, 0}, {input ? STDIN_FILENO : -1, POLLIN, 0}};
        if (::poll(fds, 2, timeout) < 0 && errno != EINTR) Fail(std::string("poll: ") + std::strerror(errno));
        if (fds[0].revents & POLLIN) {
            std::uint8_t in[512];
            const ssize_t n = ::read(master, in, sizeof in);
            if (n > 0) machine.Receive(in, static_cast<std::size_t>(n), clock.NowMs());
        }
        if (fds[1].revents & (POLLIN | POLLHUP)) {
            char buffer[512];
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0) {
                // The end of the operator's input: the machine stays on unless told otherwise.
                input = false;
                if (exitOnEof) break;
                continue;
            }
            pending.append(buffer, static_cast<std::size_t>(n));
            std::size_t eol;
            while (running && (eol = pending.find('\n')) != std::string::npos) {
                running = Command(machine, pending.substr(0, eol));
                pending.erase(0, eol + 1);
            }
        }
    }
    ::close(hold);
    ::close(master);
    return 0;
}
