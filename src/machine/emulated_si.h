// The SI_ operations over an in-process emulated machine. Reads wait on the given clock: with a virtual
// clock a wait only moves time on, so a test runs whole dealing steps instantly.
#pragma once

#include "machine/clock.h"
#include "machine/emulated_machine.h"
#include "machine/si_layer.h"

#include <memory>
#include <string>
#include <vector>

namespace orvenix {

struct EmulatedBridge {
    std::uint32_t driverVersion = 0x00030002;  // 3.2
    std::vector<std::string> products{"1234"}; // serial-number strings of the attached devices
};

class EmulatedSi : public SiLayer {
  public:
    EmulatedSi(std::unique_ptr<Clock> clock, EmulatorConfig config = {}, EmulatedBridge bridge = {});

    SiStatus SI_GetDriverVersion(std::uint32_t& version, std::uint32_t& reserved) override;
    SiStatus SI_GetNumDevices(std::uint32_t& count) override;
    SiStatus SI_GetProductString(std::uint32_t index, char* buffer, std::uint32_t option) override;
    SiStatus SI_Open(std::uint32_t index, SiHandle& handle) override;
    SiStatus SI_SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override;
    SiStatus SI_SetBaudRate(SiHandle handle, std::uint32_t baud) override;
    SiStatus SI_SetLineControl(SiHandle handle, std::uint16_t lineControl) override;
    SiStatus SI_FlushBuffers(SiHandle handle, std::uint8_t transmit, std::uint8_t receive) override;
    SiStatus SI_Write(SiHandle handle, const std::uint8_t* data, std::uint32_t count,
                      std::uint32_t& written) override;
    SiStatus SI_Read(SiHandle handle, std::uint8_t* data, std::uint32_t count,
                     std::uint32_t& bytesRead) override;
    SiStatus SI_WriteLatch(SiHandle handle, std::uint8_t mask, std::uint8_t latch) override;
    SiStatus SI_Close(SiHandle handle) override;

    EmulatedMachine& Machine() { return machine_; }
    Clock& GetClock() { return *clock_; }
    EmulatedBridge& Bridge() { return bridge_; }
    [[nodiscard]] std::uint32_t ReadTimeoutMs() const { return readTimeout_; }
    [[nodiscard]] bool Opened() const { return open_; }

  private:
    [[nodiscard]] bool Valid(SiHandle handle) const { return open_ && handle == kHandle; }
    static constexpr SiHandle kHandle = 1;

    std::unique_ptr<Clock> clock_;
    EmulatedMachine machine_;
    EmulatedBridge bridge_;
    bool open_ = false;
    std::uint32_t readTimeout_ = 0;
    std::uint32_t writeTimeout_ = 0;
};

} // namespace orvenix
