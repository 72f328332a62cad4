#include "machine/serial_si.h"

#if !defined(_WIN32)
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#if defined(ORVENIX_HAVE_GPIOD)
#include <gpiod.h>
#endif

namespace orvenix {

namespace fs = std::filesystem;

namespace {

std::string ReadFirstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    if (in) std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

// The USB device (the directory with idVendor and serial) above a tty's sysfs device.
fs::path UsbDeviceOf(const fs::path& sysfsDevice) {
    std::error_code ec;
    for (fs::path dir = sysfsDevice; !dir.empty() && dir != dir.root_path(); dir = dir.parent_path()) {
        if (fs::exists(dir / "idVendor", ec)) return dir;
    }
    return {};
}

SerialDevice Describe(const std::string& name, const std::string& path) {
    SerialDevice d;
    d.path = path;
    std::error_code ec;
    const fs::path link = fs::path("/sys/class/tty") / name / "device";
    if (fs::exists(link, ec)) {
        d.sysfsDevice = fs::canonical(link, ec).string();
        if (ec) d.sysfsDevice.clear();
        const fs::path usb = UsbDeviceOf(d.sysfsDevice);
        if (!usb.empty()) d.serialNumber = ReadFirstLine(usb / "serial");
    }
    return d;
}

int Remaining(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

speed_t SpeedOf(std::uint32_t baud, bool& ok) {
    ok = true;
    switch (baud) {
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    default:
        ok = false;
        return B115200;
    }
}

} // namespace

SerialDevice DescribeSerialDevice(const std::string& path) {
    std::error_code ec;
    fs::path resolved = fs::canonical(path, ec);
    if (ec) resolved = path;
    return Describe(resolved.filename().string(), path);
}

std::vector<SerialDevice> FindSerialDevices() {
    std::vector<SerialDevice> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/sys/class/tty", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("ttyUSB", 0) != 0 && name.rfind("ttyACM", 0) != 0) continue;
        found.push_back(Describe(name, "/dev/" + name));
    }
    if (found.empty()) {
        for (const auto& entry : fs::directory_iterator("/dev/serial/by-id", ec)) {
            found.push_back(DescribeSerialDevice(entry.path().string()));
        }
    }
    std::sort(found.begin(), found.end(),
              [](const SerialDevice& a, const SerialDevice& b) { return a.path < b.path; });
    return found;
}

SerialSi::SerialSi(std::string device) : explicitDevice_(std::move(device)) {}

SerialSi::~SerialSi() {
    if (fd_ >= 0) SI_Close(fd_);
}

SiStatus SerialSi::SystemFailure(const std::string& what) {
    lastErrno_ = errno;
    lastError_ = what + ": " + std::strerror(lastErrno_);
    return kSiSystemError;
}

SiStatus SerialSi::SI_GetDriverVersion(std::uint32_t& version, std::uint32_t& reserved) {
    // The kernel's serial driver carries no version of its own; this layer counts as a current one.
    version = 0x00030001;
    reserved = 0;
    return kSiSuccess;
}

SiStatus SerialSi::SI_GetNumDevices(std::uint32_t& count) {
    if (!explicitDevice_.empty()) {
        devices_ = {DescribeSerialDevice(explicitDevice_)};
    } else {
        devices_ = FindSerialDevices();
    }
    count = static_cast<std::uint32_t>(devices_.size());
    return kSiSuccess;
}

SiStatus SerialSi::SI_GetProductString(std::uint32_t index, char* buffer, std::uint32_t option) {
    if (index >= devices_.size()) return kSiDeviceNotFound;
    if (option != kProductSerialNumber) return kSiInvalidParameter;
    const std::string& text = devices_[index].serialNumber;
    const std::size_t n = std::min<std::size_t>(text.size(), kProductStringBufferSize - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = 0;
    return kSiSuccess;
}

SiStatus SerialSi::SI_Open(std::uint32_t index, SiHandle& handle) {
    if (index >= devices_.size()) return kSiDeviceNotFound;
    if (fd_ >= 0) SI_Close(fd_);
    const std::string& path = devices_[index].path;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENODEV || errno == ENXIO) {
            lastErrno_ = errno;
            lastError_ = path + ": " + std::strerror(errno);
            return kSiDeviceNotFound;
        }
        return SystemFailure(path);
    }
    // One program at a time on the machine.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const SiStatus status = SystemFailure(path + " is in use");
        ::close(fd);
        return status;
    }
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        const SiStatus status = SystemFailure(path + " is not a serial device");
        ::close(fd);
        return status;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::tcsetattr(fd, TCSANOW, &tio);
    fd_ = fd;
    openIndex_ = index;
    handle = fd;
    return kSiSuccess;
}

SiStatus SerialSi::SI_SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) {
    readTimeout_ = readMs;
    writeTimeout_ = writeMs;
    return kSiSuccess;
}

SiStatus SerialSi::SI_SetBaudRate(SiHandle handle, std::uint32_t baud) {
    if (!Valid(handle)) return kSiInvalidHandle;
    bool ok = false;
    const speed_t speed = SpeedOf(baud, ok);
    if (!ok) return kSiInvalidParameter;
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) return SystemFailure(devices_[openIndex_].path);
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) return SystemFailure(devices_[openIndex_].path);
    return kSiSuccess;
}

SiStatus SerialSi::SI_SetLineControl(SiHandle handle, std::uint16_t lineControl) {
    if (!Valid(handle)) return kSiInvalidHandle;
    // Bits 8-11: data bits; bits 4-7: parity (0 none, 1 odd, 2 even); bits 0-3: stop bits (0 one, 2 two).
    const unsigned dataBits = (lineControl >> 8) & 0xF;
    const unsigned parity = (lineControl >> 4) & 0xF;
    const unsigned stop = lineControl & 0xF;
    if (dataBits < 5 || dataBits > 8 || parity > 2 || (stop != 0 && stop != 2)) return kSiInvalidParameter;
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) return SystemFailure(devices_[openIndex_].path);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB);
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag |= kSizes[dataBits - 5];
    if (parity != 0) tio.c_cflag |= PARENB | (parity == 1 ? PARODD : 0);
    if (stop == 2) tio.c_cflag |= CSTOPB;
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) return SystemFailure(devices_[openIndex_].path);
    return kSiSuccess;
}

SiStatus SerialSi::SI_FlushBuffers(SiHandle handle, std::uint8_t transmit, std::uint8_t receive) {
    if (!Valid(handle)) return kSiInvalidHandle;
    int which = -1;
    if (transmit && receive)
        which = TCIOFLUSH;
    else if (transmit)
        which = TCOFLUSH;
    else if (receive)
        which = TCIFLUSH;
    if (which >= 0 && ::tcflush(fd_, which) != 0) return SystemFailure(devices_[openIndex_].path);
    return kSiSuccess;
}

SiStatus SerialSi::SI_Write(SiHandle handle, const std::uint8_t* data, std::uint32_t count,
                            std::uint32_t& written) {
    written = 0;
    if (!Valid(handle)) return kSiInvalidHandle;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(writeTimeout_);
    while (written < count) {
        const ssize_t n = ::write(fd_, data + written, count - written);
        if (n > 0) {
            written += static_cast<std::uint32_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return kSiWriteError;
        const int left = Remaining(deadline);
        if (left == 0) return kSiWriteTimedOut;
        pollfd p{fd_, POLLOUT, 0};
        if (::poll(&p, 1, left) < 0 && errno != EINTR) return kSiWriteError;
    }
    return kSiSuccess;
}

SiStatus SerialSi::SI_Read(SiHandle handle, std::uint8_t* data, std::uint32_t count,
                           std::uint32_t& bytesRead) {
    bytesRead = 0;
    if (!Valid(handle)) return kSiInvalidHandle;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(readTimeout_);
    while (bytesRead < count) {
        const ssize_t n = ::read(fd_, data + bytesRead, count - bytesRead);
        if (n > 0) {
            bytesRead += static_cast<std::uint32_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return kSiReadError;
        const int left = Remaining(deadline);
        if (left == 0) return kSiReadTimedOut;
        pollfd p{fd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, left);
        if (ready < 0 && errno != EINTR) return kSiReadError;
        // A bridge that went away: report what arrived instead of spinning until the deadline.
        if (ready > 0 && (p.revents & (POLLERR | POLLNVAL))) return kSiReadError;
        if (ready > 0 && (p.revents & POLLHUP) && !(p.revents & POLLIN)) return kSiReadError;
    }
    return kSiSuccess;
}

SiStatus SerialSi::SI_WriteLatch(SiHandle handle, std::uint8_t mask, std::uint8_t latch) {
    if (!Valid(handle)) return kSiInvalidHandle;
    if (!(mask & 1)) return kSiSuccess;
#if defined(ORVENIX_HAVE_GPIOD)
    if (gpioLine_ == nullptr) {
        const std::string sysfs = devices_[openIndex_].sysfsDevice;
        if (sysfs.empty()) return kSiFunctionNotSupported;
        // The bridge's GPIO chip hangs below the tty's port device or the USB interface above it.
        std::string chipName;
        std::error_code ec;
        for (const fs::path& dir : {fs::path(sysfs), fs::path(sysfs).parent_path()}) {
            for (const auto& entry : fs::directory_iterator(dir, ec)) {
                const std::string name = entry.path().filename().string();
                if (name.rfind("gpiochip", 0) == 0) chipName = name;
            }
            if (!chipName.empty()) break;
        }
        if (chipName.empty()) return kSiFunctionNotSupported;
        gpiod_chip* chip = gpiod_chip_open(("/dev/" + chipName).c_str());
        if (chip == nullptr) return SystemFailure("/dev/" + chipName);
        gpiod_line* line = gpiod_chip_get_line(chip, 0);
        if (line == nullptr || gpiod_line_request_output(line, "orvenix", latch & 1) != 0) {
            const SiStatus status = SystemFailure("/dev/" + chipName + " line 0");
            gpiod_chip_close(chip);
            return status;
        }
        gpioChip_ = chip;
        gpioLine_ = line;
        return kSiSuccess;
    }
    if (gpiod_line_set_value(static_cast<gpiod_line*>(gpioLine_), latch & 1) != 0) {
        return SystemFailure("latch line");
    }
    return kSiSuccess;
#else
    (void)latch;
    return kSiFunctionNotSupported;
#endif
}

void SerialSi::ReleaseLatch() {
#if defined(ORVENIX_HAVE_GPIOD)
    if (gpioLine_ != nullptr) gpiod_line_release(static_cast<gpiod_line*>(gpioLine_));
    if (gpioChip_ != nullptr) gpiod_chip_close(static_cast<gpiod_chip*>(gpioChip_));
#endif
    gpioLine_ = nullptr;
    gpioChip_ = nullptr;
}

SiStatus SerialSi::SI_Close(SiHandle handle) {
    if (!Valid(handle)) return kSiInvalidHandle;
    ReleaseLatch();
    ::close(fd_);
    fd_ = -1;
    return kSiSuccess;
}

} // namespace orvenix

#else
// Serial devices here are a Linux matter; elsewhere the machine is reached through its bridge library.
namespace orvenix {

std::vector<SerialDevice> FindSerialDevices() {
    return {};
}
SerialDevice DescribeSerialDevice(const std::string& path) {
    return SerialDevice{path, {}, {}};
}
SerialSi::SerialSi(std::string device) : explicitDevice_(std::move(device)) {}
SerialSi::~SerialSi() = default;
SiStatus SerialSi::SystemFailure(const std::string&) {
    return kSiFunctionNotSupported;
}
void SerialSi::ReleaseLatch() {}
SiStatus SerialSi::SI_GetDriverVersion(std::uint32_t& version, std::uint32_t& reserved) {
    version = 0x00030001;
    reserved = 0;
    return kSiSuccess;
}
SiStatus SerialSi::SI_GetNumDevices(std::uint32_t& count) {
    count = 0;
    return kSiSuccess;
}
SiStatus SerialSi::SI_GetProductString(std::uint32_t, char*, std::uint32_t) {
    return kSiDeviceNotFound;
}
SiStatus SerialSi::SI_Open(std::uint32_t, SiHandle&) {
    return kSiDeviceNotFound;
}
SiStatus SerialSi::SI_SetTimeouts(std::uint32_t, std::uint32_t) {
    return kSiSuccess;
}
SiStatus SerialSi::SI_SetBaudRate(SiHandle, std::uint32_t) {
    return kSiInvalidHandle;
}
SiStatus SerialSi::SI_SetLineControl(SiHandle, std::uint16_t) {
    return kSiInvalidHandle;
}
SiStatus SerialSi::SI_FlushBuffers(SiHandle, std::uint8_t, std::uint8_t) {
    return kSiInvalidHandle;
}
SiStatus SerialSi::SI_Write(SiHandle, const std::uint8_t*, std::uint32_t, std::uint32_t& written) {
    written = 0;
    return kSiInvalidHandle;
}
SiStatus SerialSi::SI_Read(SiHandle, std::uint8_t*, std::uint32_t, std::uint32_t& bytesRead) {
    bytesRead = 0;
    return kSiInvalidHandle;
}
SiStatus SerialSi::SI_WriteLatch(SiHandle, std::uint8_t, std::uint8_t) {
    return kSiInvalidHandle;
}
SiStatus SerialSi::SI_Close(SiHandle) {
    return kSiInvalidHandle;
}

} // namespace orvenix
#endif
