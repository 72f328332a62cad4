// The SI_ operations over a Linux serial device: the machine's USB bridge shows up as /dev/ttyUSB* (or
// /dev/ttyACM*). Devices are found through sysfs (or /dev/serial/by-id), the serial-number string is the
// USB device's "serial" attribute, reads are bounded by poll() and the latch line is the bridge's GPIO line
// 0 through the kernel's GPIO character device, where the bridge offers one.
#pragma once

#include "machine/si_layer.h"

#include <string>
#include <vector>

namespace orvenix {

struct SerialDevice {
    std::string path;         // /dev/ttyUSB0
    std::string serialNumber; // the USB device's serial-number string; empty when unknown
    std::string sysfsDevice;  // /sys/class/tty/ttyUSB0/device resolved; empty when not in sysfs
};

// The machine bridges attached now, in name order.
std::vector<SerialDevice> FindSerialDevices();
// One device given by its path (a tty, a pseudo-terminal or a /dev/serial/by-id link).
SerialDevice DescribeSerialDevice(const std::string& path);

class SerialSi : public SiLayer {
  public:
    // An empty device means: find the attached bridges.
    explicit SerialSi(std::string device = {});
    ~SerialSi() override;
    SerialSi(const SerialSi&) = delete;
    SerialSi& operator=(const SerialSi&) = delete;

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
    [[nodiscard]] int LastSystemError() const override { return lastErrno_; }
    [[nodiscard]] std::string LastErrorText() const override { return lastError_; }

  private:
    [[nodiscard]] bool Valid(SiHandle handle) const { return fd_ >= 0 && handle == fd_; }
    SiStatus SystemFailure(const std::string& what);
    void ReleaseLatch();

    std::string explicitDevice_;
    std::vector<SerialDevice> devices_;
    int fd_ = -1;
    std::size_t openIndex_ = 0;
    std::uint32_t readTimeout_ = 200;
    std::uint32_t writeTimeout_ = 200;
    int lastErrno_ = 0;
    std::string lastError_;
    void* gpioChip_ = nullptr; // gpiod_chip*
    void* gpioLine_ = nullptr; // gpiod_line*
};

} // namespace orvenix
