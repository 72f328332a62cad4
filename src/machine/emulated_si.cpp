#include "machine/emulated_si.h"

#include <algorithm>
#include <cstring>

namespace orvenix {

EmulatedSi::EmulatedSi(std::unique_ptr<Clock> clock, EmulatorConfig config, EmulatedBridge bridge)
    : clock_(std::move(clock)), machine_(config), bridge_(std::move(bridge)) {}

SiStatus EmulatedSi::SI_GetDriverVersion(std::uint32_t& version, std::uint32_t& reserved) {
    version = bridge_.driverVersion;
    reserved = 0;
    return kSiSuccess;
}

SiStatus EmulatedSi::SI_GetNumDevices(std::uint32_t& count) {
    count = static_cast<std::uint32_t>(bridge_.products.size());
    return kSiSuccess;
}

SiStatus EmulatedSi::SI_GetProductString(std::uint32_t index, char* buffer, std::uint32_t option) {
    if (index >= bridge_.products.size()) return kSiDeviceNotFound;
    if (option != kProductSerialNumber) return kSiInvalidParameter;
    const std::string& text = bridge_.products[index];
    const std::size_t n = std::min<std::size_t>(text.size(), kProductStringBufferSize - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = 0;
    return kSiSuccess;
}

SiStatus EmulatedSi::SI_Open(std::uint32_t index, SiHandle& handle) {
    if (index >= bridge_.products.size()) return kSiDeviceNotFound;
    open_ = true;
    handle = kHandle;
    return kSiSuccess;
}

SiStatus EmulatedSi::SI_SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) {
    readTimeout_ = readMs;
    writeTimeout_ = writeMs;
    return kSiSuccess;
}

SiStatus EmulatedSi::SI_SetBaudRate(SiHandle handle, std::uint32_t baud) {
    if (!Valid(handle)) return kSiInvalidHandle;
    return baud == kBaudRate ? kSiSuccess : kSiInvalidParameter;
}

SiStatus EmulatedSi::SI_SetLineControl(SiHandle handle, std::uint16_t lineControl) {
    if (!Valid(handle)) return kSiInvalidHandle;
    return lineControl == kLineControl8N1 ? kSiSuccess : kSiInvalidParameter;
}

SiStatus EmulatedSi::SI_FlushBuffers(SiHandle handle, std::uint8_t, std::uint8_t receive) {
    if (!Valid(handle)) return kSiInvalidHandle;
    machine_.AdvanceTo(clock_->NowMs());
    if (receive) machine_.DiscardOutput();
    return kSiSuccess;
}

SiStatus EmulatedSi::SI_Write(SiHandle handle, const std::uint8_t* data, std::uint32_t count,
                              std::uint32_t& written) {
    written = 0;
    if (!Valid(handle)) return kSiInvalidHandle;
    machine_.Receive(data, count, clock_->NowMs());
    written = count;
    return kSiSuccess;
}

SiStatus EmulatedSi::SI_Read(SiHandle handle, std::uint8_t* data, std::uint32_t count,
                             std::uint32_t& bytesRead) {
    bytesRead = 0;
    if (!Valid(handle)) return kSiInvalidHandle;
    const std::uint64_t deadline = clock_->NowMs() + readTimeout_;
    for (;;) {
        const std::uint64_t now = clock_->NowMs();
        machine_.AdvanceTo(now);
        bytesRead += static_cast<std::uint32_t>(machine_.Take(data + bytesRead, count - bytesRead));
        if (bytesRead == count) return kSiSuccess;
        if (now >= deadline) return kSiReadTimedOut;
        std::uint64_t next = deadline;
        if (auto event = machine_.NextEventMs()) next = std::min(next, std::max(*event, now + 1));
        clock_->WaitUntilMs(next);
    }
}

SiStatus EmulatedSi::SI_WriteLatch(SiHandle handle, std::uint8_t mask, std::uint8_t latch) {
    if (!Valid(handle)) return kSiInvalidHandle;
    if (mask & 1) machine_.SetLatch((latch & 1) != 0);
    return kSiSuccess;
}

SiStatus EmulatedSi::SI_Close(SiHandle handle) {
    if (!Valid(handle)) return kSiInvalidHandle;
    open_ = false;
    return kSiSuccess;
}

} // namespace orvenix
