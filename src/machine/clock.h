// The time base of the emulated machine and its link: real time for the program, virtual time for tests
// (a wait only moves the clock, so a whole dealing step runs instantly and deterministically).
#pragma once

#include <chrono>
#include <cstdint>
#include <thread>

namespace orvenix {

class Clock {
  public:
    virtual ~Clock() = default;
    // Milliseconds since the clock started.
    virtual std::uint64_t NowMs() = 0;
    // Returns once NowMs() has reached t.
    virtual void WaitUntilMs(std::uint64_t t) = 0;
};

class VirtualClock : public Clock {
  public:
    std::uint64_t NowMs() override { return now_; }
    void WaitUntilMs(std::uint64_t t) override {
        if (t > now_) now_ = t;
    }
    void Advance(std::uint64_t ms) { now_ += ms; }

  private:
    std::uint64_t now_ = 0;
};

class SteadyClock : public Clock {
  public:
    std::uint64_t NowMs() override {
        return static_cast<std::uint64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_)
                .count());
    }
    void WaitUntilMs(std::uint64_t t) override {
        std::this_thread::sleep_until(start_ + std::chrono::milliseconds(t));
    }

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

} // namespace orvenix
