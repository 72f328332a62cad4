// Fuzzes the reply reader: arbitrary bytes from the machine are read, checked and decoded into the shared
// machine state and the current board, reply after reply, until they run out.
#include "base/dialogs.h"
#include "machine/link.h"
#include "model/board.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

using namespace orvenix;

// A bridge whose machine sends the fuzzer's bytes; a read past them times out.
class BytesSi : public SiLayer {
  public:
    BytesSi(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    SiStatus SI_GetDriverVersion(std::uint32_t& v, std::uint32_t& r) override {
        v = 0x00030001;
        r = 0;
        return kSiSuccess;
    }
    SiStatus SI_GetNumDevices(std::uint32_t& count) override {
        count = 1;
        return kSiSuccess;
    }
    SiStatus SI_GetProductString(std::uint32_t, char* buffer, std::uint32_t) override {
        buffer[0] = 0;
        return kSiSuccess;
    }
    SiStatus SI_Open(std::uint32_t, SiHandle& handle) override {
        handle = 1;
        return kSiSuccess;
    }
    SiStatus SI_SetTimeouts(std::uint32_t, std::uint32_t) override { return kSiSuccess; }
    SiStatus SI_SetBaudRate(SiHandle, std::uint32_t) override { return kSiSuccess; }
    SiStatus SI_SetLineControl(SiHandle, std::uint16_t) override { return kSiSuccess; }
    SiStatus SI_FlushBuffers(SiHandle, std::uint8_t, std::uint8_t) override { return kSiSuccess; }
    SiStatus SI_Write(SiHandle, const std::uint8_t*, std::uint32_t count, std::uint32_t& written) override {
        written = count;
        return kSiSuccess;
    }
    SiStatus SI_Read(SiHandle, std::uint8_t* out, std::uint32_t count, std::uint32_t& got) override {
        got = 0;
        while (got < count && pos_ < size_)
            out[got++] = data_[pos_++];
        return got == count ? kSiSuccess : kSiReadTimedOut;
    }
    SiStatus SI_WriteLatch(SiHandle, std::uint8_t, std::uint8_t) override { return kSiSuccess; }
    SiStatus SI_Close(SiHandle) override { return kSiSuccess; }
    [[nodiscard]] bool Done() const { return pos_ >= size_; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Board board;
    ScriptedDialogs dialogs;
    auto owned = std::make_unique<BytesSi>(data, size);
    BytesSi* si = owned.get();
    MachineLink link(std::move(owned), dialogs);
    link.Open(kLinkTimeoutMs);
    link.SetReadTarget(&board);
    link.Events().pocketCounts = [](const std::array<std::int16_t, 4>& c) {
        for (auto n : c) {
            if (n < 0 || n > 63) std::abort();
        }
    };
    while (!si->Done()) {
        link.ReceiveReply();
        const SharedMachineState& st = link.State();
        if (st.replyStatus > kReplyShort) std::abort();
        if (st.MachineState < kStateUndefine || st.MachineState > kStateError) std::abort();
        if (st.readBoardNumber > 70) std::abort();
    }
    for (std::size_t c = 1; c <= 52; ++c) {
        if (board.cardOwner[c] > 4) std::abort();
    }
    return 0;
}
