// The SI_ operations of a bridge library loaded at run time with dlopen, for machines whose bridge needs
// its maker's library.
#pragma once

#include "machine/si_layer.h"
#include "machine/si_library_abi.h"

#include <string>
#include <vector>

namespace orvenix {

// The names tried when no library path is given.
std::vector<std::string> DefaultBridgeLibraryNames();

class LibrarySi : public SiLayer {
  public:
    // An empty path tries the default names. A library that cannot be loaded, or lacks a function, makes
    // every operation fail with the system-error status.
    explicit LibrarySi(const std::string& path = {});
    ~LibrarySi() override;
    LibrarySi(const LibrarySi&) = delete;
    LibrarySi& operator=(const LibrarySi&) = delete;

    [[nodiscard]] bool Loaded() const { return library_ != nullptr; }
    [[nodiscard]] const std::string& LoadError() const { return loadError_; }

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
    [[nodiscard]] std::string LastErrorText() const override { return loadError_; }

  private:
    static constexpr SiHandle kHandle = 1;
    [[nodiscard]] bool Valid(SiHandle handle) const { return device_ != nullptr && handle == kHandle; }
    static SiStatus Status(std::int32_t s) { return static_cast<SiStatus>(s); }

    void* library_ = nullptr;
    std::string loadError_;
    int lastErrno_ = 0;
    SiLibHandle device_ = nullptr;
    SI_GetDriverVersion_t getDriverVersion_ = nullptr;
    SI_GetNumDevices_t getNumDevices_ = nullptr;
    SI_GetProductString_t getProductString_ = nullptr;
    SI_Open_t open_ = nullptr;
    SI_SetTimeouts_t setTimeouts_ = nullptr;
    SI_SetBaudRate_t setBaudRate_ = nullptr;
    SI_SetLineControl_t setLineControl_ = nullptr;
    SI_FlushBuffers_t flushBuffers_ = nullptr;
    SI_Write_t write_ = nullptr;
    SI_Read_t read_ = nullptr;
    SI_WriteLatch_t writeLatch_ = nullptr;
    SI_Close_t close_ = nullptr;
};

} // namespace orvenix
