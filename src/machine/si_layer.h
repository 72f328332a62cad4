// The machine's USB bridge as the program sees it: a serial-style bulk interface with the SI_ operations.
// Three implementations sit behind this interface: the emulated machine, a Linux serial device and a
// vendor library loaded at run time. Tests add scripted ones.
#pragma once

#include <cstdint>
#include <string>

namespace orvenix {

using SiStatus = std::uint32_t;
using SiHandle = std::int64_t;

inline constexpr SiHandle kNoLink = -1;

// Statuses of the SI_ operations. Success (0) and the system-error status (12) are what the program
// relies on; the others only serve to tell failures apart in the "status.step" codes.
inline constexpr SiStatus kSiSuccess = 0;
inline constexpr SiStatus kSiInvalidHandle = 1;
inline constexpr SiStatus kSiReadError = 2;
inline constexpr SiStatus kSiWriteError = 4;
inline constexpr SiStatus kSiInvalidParameter = 6;
inline constexpr SiStatus kSiFunctionNotSupported = 10;
inline constexpr SiStatus kSiSystemError = 12;
inline constexpr SiStatus kSiReadTimedOut = 13;
inline constexpr SiStatus kSiWriteTimedOut = 14;
inline constexpr SiStatus kSiDeviceNotFound = 0xFF;

// Size of the product-string buffer handed to SI_GetProductString (indices 0 to 1024).
inline constexpr std::uint32_t kProductStringBufferSize = 1025;
inline constexpr std::uint32_t kProductSerialNumber = 0; // option: return the serial number
inline constexpr std::uint32_t kBaudRate = 115200;
inline constexpr std::uint16_t kLineControl8N1 = 0x0800; // 8 data bits, no parity, one stop bit

class SiLayer {
  public:
    virtual ~SiLayer() = default;

    // version: major in the high 16 bits, minor in the low 16 bits.
    virtual SiStatus SI_GetDriverVersion(std::uint32_t& version, std::uint32_t& reserved) = 0;
    virtual SiStatus SI_GetNumDevices(std::uint32_t& count) = 0;
    // Writes a zero-terminated string into buffer[0 .. kProductStringBufferSize - 1].
    virtual SiStatus SI_GetProductString(std::uint32_t index, char* buffer, std::uint32_t option) = 0;
    virtual SiStatus SI_Open(std::uint32_t index, SiHandle& handle) = 0;
    // Applies to every later read and write.
    virtual SiStatus SI_SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) = 0;
    virtual SiStatus SI_SetBaudRate(SiHandle handle, std::uint32_t baud) = 0;
    virtual SiStatus SI_SetLineControl(SiHandle handle, std::uint16_t lineControl) = 0;
    virtual SiStatus SI_FlushBuffers(SiHandle handle, std::uint8_t transmit, std::uint8_t receive) = 0;
    virtual SiStatus SI_Write(SiHandle handle, const std::uint8_t* data, std::uint32_t count,
                              std::uint32_t& written) = 0;
    // Returns within the read time-out; bytesRead below count tells that the time-out expired first.
    virtual SiStatus SI_Read(SiHandle handle, std::uint8_t* data, std::uint32_t count,
                             std::uint32_t& bytesRead) = 0;
    virtual SiStatus SI_WriteLatch(SiHandle handle, std::uint8_t mask, std::uint8_t latch) = 0;
    virtual SiStatus SI_Close(SiHandle handle) = 0;

    // The operating system's error number behind the last system-error status (12).
    [[nodiscard]] virtual int LastSystemError() const { return 0; }
    // A short description of the last failure for the activity log; empty when there is nothing to add.
    [[nodiscard]] virtual std::string LastErrorText() const { return {}; }
};

} // namespace orvenix
