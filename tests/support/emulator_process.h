// Starts orvenix-machine-emulator as a child process with a pipe on its standard input and output and
// reads the pseudo-terminal path it prints. Closing the input ends the emulator.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace orvenix::test {

class EmulatorProcess {
  public:
    explicit EmulatorProcess(const std::vector<std::string>& options = {}) {
        int in[2];
        int out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        const std::string program = std::string(ORVENIX_BIN_DIR) + "/orvenix-machine-emulator";
        std::vector<std::string> args{program, "--exit-on-eof"};
        args.insert(args.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        input_ = in[1];
        output_ = out[0];
        path_ = ReadLine(std::chrono::seconds(10));
    }
    ~EmulatorProcess() {
        if (!CloseAndWait() && pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status_, 0);
        }
        if (output_ >= 0) ::close(output_);
    }
    EmulatorProcess(const EmulatorProcess&) = delete;
    EmulatorProcess& operator=(const EmulatorProcess&) = delete;

    [[nodiscard]] const std::string& Path() const { return path_; }
    void Send(const std::string& line) {
        const std::string text = line + "\n";
        [[maybe_unused]] const ssize_t n = ::write(input_, text.data(), text.size());
    }
    // One line of the emulator's output; empty after the time-out.
    std::string ReadLine(std::chrono::milliseconds timeout) {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{output_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            char c = 0;
            if (::read(output_, &c, 1) != 1) break;
            if (c == '\n') return line;
            line += c;
        }
        return line;
    }
    // Closes the input and waits up to five seconds for the exit; true when the emulator ended by itself
    // with status 0.
    bool CloseAndWait() {
        if (input_ >= 0) ::close(input_);
        input_ = -1;
        for (int i = 0; i < 250 && pid_ > 0; ++i, ::usleep(20000)) {
            if (::waitpid(pid_, &status_, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status_) && WEXITSTATUS(status_) == 0;
            }
        }
        return false;
    }

  private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    int status_ = 0;
    std::string path_;
};

} // namespace orvenix::test
