#include "machine/library_si.h"

#include <cerrno>
#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace orvenix {

namespace {
#if defined(_WIN32)
void* OpenLibrary(const std::string& name, std::string& error, int& code) {
    HMODULE module = ::LoadLibraryA(name.c_str());
    if (module == nullptr) {
        code = static_cast<int>(::GetLastError());
        error = name + ": cannot be loaded (error " + std::to_string(code) + ")";
    }
    return reinterpret_cast<void*>(module);
}
void* FindSymbol(void* library, const char* symbol) {
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(library), symbol));
}
void CloseLibrary(void* library) {
    ::FreeLibrary(static_cast<HMODULE>(library));
}
#else
void* OpenLibrary(const std::string& name, std::string& error, int& code) {
    errno = 0;
    void* library = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* why = ::dlerror();
        code = errno != 0 ? errno : ENOENT;
        error = why != nullptr ? why : name + ": cannot be loaded";
    }
    return library;
}
void* FindSymbol(void* library, const char* symbol) {
    return ::dlsym(library, symbol);
}
void CloseLibrary(void* library) {
    ::dlclose(library);
}
#endif
} // namespace

std::vector<std::string> DefaultBridgeLibraryNames() {
#if defined(_WIN32)
    return {"ovxusb31.dll"};
#else
    return {"libovxusb31.so", "libovxusb31.so.1", "ovxusb31.so"};
#endif
}

LibrarySi::LibrarySi(const std::string& path) {
    const std::vector<std::string> names =
        path.empty() ? DefaultBridgeLibraryNames() : std::vector<std::string>{path};
    for (const std::string& name : names) {
        library_ = OpenLibrary(name, loadError_, lastErrno_);
        if (library_ != nullptr) break;
    }
    if (library_ == nullptr) return;
    loadError_.clear();
    lastErrno_ = 0;
    bool complete = true;
    auto bind = [&](auto& fn, const char* symbol) {
        void* address = FindSymbol(library_, symbol);
        if (address == nullptr) {
            complete = false;
            loadError_ += std::string(loadError_.empty() ? "" : "; ") + "missing " + symbol;
        }
        fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(address);
    };
    bind(getDriverVersion_, "SI_GetDriverVersion");
    bind(getNumDevices_, "SI_GetNumDevices");
    bind(getProductString_, "SI_GetProductString");
    bind(open_, "SI_Open");
    bind(setTimeouts_, "SI_SetTimeouts");
    bind(setBaudRate_, "SI_SetBaudRate");
    bind(setLineControl_, "SI_SetLineControl");
    bind(flushBuffers_, "SI_FlushBuffers");
    bind(write_, "SI_Write");
    bind(read_, "SI_Read");
    bind(writeLatch_, "SI_WriteLatch");
    bind(close_, "SI_Close");
    if (!complete) {
        CloseLibrary(library_);
        library_ = nullptr;
        lastErrno_ = ENOSYS;
    }
}

LibrarySi::~LibrarySi() {
    if (device_ != nullptr && close_ != nullptr) close_(device_);
    if (library_ != nullptr) CloseLibrary(library_);
}

SiStatus LibrarySi::SI_GetDriverVersion(std::uint32_t& version, std::uint32_t& reserved) {
    if (!Loaded()) return kSiSystemError;
    return Status(getDriverVersion_(&version, &reserved));
}

SiStatus LibrarySi::SI_GetNumDevices(std::uint32_t& count) {
    if (!Loaded()) return kSiSystemError;
    return Status(getNumDevices_(&count));
}

SiStatus LibrarySi::SI_GetProductString(std::uint32_t index, char* buffer, std::uint32_t option) {
    if (!Loaded()) return kSiSystemError;
    const SiStatus status = Status(getProductString_(index, buffer, option));
    buffer[kProductStringBufferSize - 1] = 0; // whatever the library wrote, the string ends in the buffer
    return status;
}

SiStatus LibrarySi::SI_Open(std::uint32_t index, SiHandle& handle) {
    if (!Loaded()) return kSiSystemError;
    SiLibHandle device = nullptr;
    const SiStatus status = Status(open_(index, &device));
    if (status == kSiSuccess) {
        device_ = device;
        handle = kHandle;
    }
    return status;
}

SiStatus LibrarySi::SI_SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) {
    if (!Loaded()) return kSiSystemError;
    return Status(setTimeouts_(readMs, writeMs));
}

SiStatus LibrarySi::SI_SetBaudRate(SiHandle handle, std::uint32_t baud) {
    if (!Valid(handle)) return kSiInvalidHandle;
    return Status(setBaudRate_(device_, baud));
}

SiStatus LibrarySi::SI_SetLineControl(SiHandle handle, std::uint16_t lineControl) {
    if (!Valid(handle)) return kSiInvalidHandle;
    return Status(setLineControl_(device_, lineControl));
}

SiStatus LibrarySi::SI_FlushBuffers(SiHandle handle, std::uint8_t transmit, std::uint8_t receive) {
    if (!Valid(handle)) return kSiInvalidHandle;
    return Status(flushBuffers_(device_, transmit, receive));
}

SiStatus LibrarySi::SI_Write(SiHandle handle, const std::uint8_t* data, std::uint32_t count,
                             std::uint32_t& written) {
    written = 0;
    if (!Valid(handle)) return kSiInvalidHandle;
    return Status(write_(device_, const_cast<std::uint8_t*>(data), count, &written, nullptr));
}

SiStatus LibrarySi::SI_Read(SiHandle handle, std::uint8_t* data, std::uint32_t count,
                            std::uint32_t& bytesRead) {
    bytesRead = 0;
    if (!Valid(handle)) return kSiInvalidHandle;
    const SiStatus status = Status(read_(device_, data, count, &bytesRead, nullptr));
    if (bytesRead > count) bytesRead = count; // never trust a count beyond the request
    return status;
}

SiStatus LibrarySi::SI_WriteLatch(SiHandle handle, std::uint8_t mask, std::uint8_t latch) {
    if (!Valid(handle)) return kSiInvalidHandle;
    return Status(writeLatch_(device_, mask, latch));
}

SiStatus LibrarySi::SI_Close(SiHandle handle) {
    if (!Valid(handle)) return kSiInvalidHandle;
    const SiStatus status = Status(close_(device_));
    device_ = nullptr;
    return status;
}

} // namespace orvenix
