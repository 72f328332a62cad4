// A dealing session on the emulated machine in virtual time.
#pragma once

#include "base/dialogs.h"
#include "base/settings.h"
#include "dealing/session.h"
#include "machine/emulated_si.h"
#include "support/board_set_samples.h"

#include <functional>
#include <memory>
#include <vector>

namespace orvenix::test {

// The session and the emulated machine it drives, and the window as the session sees it: it records what
// would be shown and lets a test act inside a running step (window events) and in the error dialog.
class SessionHarness : public SessionView {
  public:
    // A quick pace: 52 cards in about a second of virtual time.
    explicit SessionHarness(std::uint8_t firmwareMinor = 0x40, std::uint16_t optionWord = 4 | 8) {
        auto si = std::make_unique<EmulatedSi>(
            std::make_unique<VirtualClock>(),
            EmulatorConfig{.firmwareMinor = firmwareMinor, .optionWord = optionWord, .cardIntervalMs = 20});
        emulated = si.get();
        clock = &static_cast<VirtualClock&>(si->GetClock());
        link = std::make_unique<MachineLink>(std::move(si), dialogs);
        link->Open(kLinkTimeoutMs);
    }

    void Refresh(unsigned) override {}
    void SetPollTimer(bool running) override { pollTimer = running; }
    void Wait(int ms) override {
        waitedMs += ms;
        clock->Advance(static_cast<std::uint64_t>(ms));
        ProcessEvents();
    }
    void ProcessEvents() override { onEvents(); }
    void RunErrorDialog(ErrorDialog& dialog) override {
        errorDialogs.push_back(dialog.Content());
        onErrorDialog(dialog);
        if (!dialog.Closed()) dialog.PressCancel();
    }
    void CloseWindow() override { ++closeRequests; }
    void SaveBoardSet() override { ++saves; }

    EmulatedMachine& Machine() { return emulated->Machine(); }

    // Builds the session as the window does and runs Load; StartupExchange follows 2 s later.
    DealingSession& Load(SessionMode mode) {
        session = std::make_unique<DealingSession>(mode, LoadSessionOptions(settings), set, *link, *clock,
                                                   dialogs, *this, &settings);
        session->Load();
        return *session;
    }
    // Opens boards first..last with their standard number, dealer and vulnerability: dealt at random for
    // dealing (or when asked), empty for reading (played boards unless the test stored another read mode).
    DealingSession& Open(SessionMode mode, int first, int last, bool dealt = false) {
        set = RandomSet(first, last, 11);
        for (int n = first; n <= last && !dealt && mode == SessionMode::Read; ++n)
            ClearBoard(set, n);
        set.Renumber();
        if (mode == SessionMode::Read) settings.values.try_emplace(keys::kInitReadMode, "1");
        Load(mode);
        clock->Advance(2000);
        session->StartupExchange();
        return *session;
    }
    bool Enabled(SessionControl c) const { return session->Display().enabled[static_cast<std::size_t>(c)]; }
    // The controls the operator can use, one letter each in the order of SessionControl, '-' for one that
    // is disabled or hidden (Clear, when dealing).
    std::string Controls() const {
        std::string out = "FPNLDXBCERKS";
        for (int c = 0; c < kSessionControlCount; ++c)
            if (!Enabled(SessionControl(c)) || (c == kCmdClear && !session->Display().clearVisible))
                out[c] = '-';
        return out;
    }
    // Timer1 ticks (100 ms each) while the poll timer runs.
    void Poll(int ticks = 1) {
        for (int i = 0; i < ticks && pollTimer; ++i) {
            clock->Advance(100);
            session->PollTick();
        }
    }
    // The deal and read commands the machine received, or those with the given code.
    std::vector<PacketBuffer> Sent(std::uint8_t code = 0) {
        std::vector<PacketBuffer> out;
        for (const auto& [p, size] : Machine().Commands())
            if (code != 0 ? p[0] == code : p[0] == cmd::kDeal || p[0] == cmd::kRead) out.push_back(p);
        return out;
    }

    ScriptedDialogs dialogs;
    MemorySettings settings;
    BoardSet set;
    EmulatedSi* emulated = nullptr;
    VirtualClock* clock = nullptr;
    std::unique_ptr<MachineLink> link;
    bool pollTimer = false;
    int waitedMs = 0;
    int closeRequests = 0;
    int saves = 0;
    std::function<void()> onEvents = [] {};
    std::function<void(ErrorDialog&)> onErrorDialog = [](ErrorDialog&) {};
    std::vector<ErrorDialogContent> errorDialogs;
    std::unique_ptr<DealingSession> session;
};

} // namespace orvenix::test
