// A scripted SI_ layer for tests: every operation's status can be set, reads come from a byte queue (a read
// with too few queued bytes returns what there is, like a time-out), and every call is recorded.
#pragma once

#include "machine/packet.h"
#include "machine/si_layer.h"

#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace orvenix::test {

class FakeSi : public SiLayer {
  public:
    std::uint32_t driverVersion = 0x00030001;
    std::vector<std::string> products{"1234"};
    std::map<std::string, SiStatus> status; // operation name (without SI_) -> status to return
    int systemError = 0;
    std::deque<std::uint8_t> input;
    // Bytes queued as the machine's answer to every later write, in turn (empty: nothing answers).
    std::deque<std::vector<std::uint8_t>> answers;
    std::vector<std::vector<std::uint8_t>> writes;
    std::vector<std::string> calls; // the operation, with the device, time-out or latch value it was given

    SiStatus S(const std::string& op, long argument = -1) {
        calls.push_back(argument < 0 ? op : op + " " + std::to_string(argument));
        return status.contains(op) ? status[op] : kSiSuccess;
    }
    SiStatus SI_GetDriverVersion(std::uint32_t& v, std::uint32_t&) override {
        v = driverVersion;
        return S("GetDriverVersion");
    }
    SiStatus SI_GetNumDevices(std::uint32_t& count) override {
        count = static_cast<std::uint32_t>(products.size());
        return S("GetNumDevices");
    }
    SiStatus SI_GetProductString(std::uint32_t index, char* buffer, std::uint32_t) override {
        std::strncpy(buffer, products.at(index).c_str(), kProductStringBufferSize - 1);
        return S("GetProductString");
    }
    SiStatus SI_Open(std::uint32_t index, SiHandle& handle) override {
        handle = 7;
        return S("Open", index);
    }
    SiStatus SI_SetTimeouts(std::uint32_t r, std::uint32_t) override { return S("SetTimeouts", r); }
    SiStatus SI_SetBaudRate(SiHandle, std::uint32_t) override { return S("SetBaudRate"); }
    SiStatus SI_SetLineControl(SiHandle, std::uint16_t) override { return S("SetLineControl"); }
    SiStatus SI_FlushBuffers(SiHandle, std::uint8_t, std::uint8_t) override {
        input.clear();
        return S("FlushBuffers");
    }
    SiStatus SI_Write(SiHandle, const std::uint8_t* data, std::uint32_t count,
                      std::uint32_t& written) override {
        writes.emplace_back(data, data + count);
        written = count;
        if (!answers.empty()) input.insert(input.end(), answers.front().begin(), answers.front().end());
        if (!answers.empty()) answers.pop_front();
        return S("Write");
    }
    SiStatus SI_Read(SiHandle, std::uint8_t* data, std::uint32_t count, std::uint32_t& got) override {
        for (got = 0; got < count && !input.empty(); input.pop_front())
            data[got++] = input.front();
        return got == count ? kSiSuccess : kSiReadTimedOut;
    }
    SiStatus SI_WriteLatch(SiHandle, std::uint8_t, std::uint8_t v) override { return S("WriteLatch", v); }
    SiStatus SI_Close(SiHandle) override { return S("Close"); }
    [[nodiscard]] int LastSystemError() const override { return systemError; }
};

// The wire bytes of a machine reply: plain packet p (8 or 136 bytes) checksummed and scrambled the way the
// machine does it.
inline std::vector<std::uint8_t> MachineReply(PacketBuffer p) {
    const std::size_t size = PacketSize(p[0]);
    PacketBuffer wire{};
    ScramblePacket(p, size, kReceiveKeyStep, wire);
    return {wire.begin(), wire.begin() + static_cast<std::ptrdiff_t>(size)};
}

} // namespace orvenix::test
