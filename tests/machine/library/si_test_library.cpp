// A bridge library for the tests of the run-time loaded link: it exports the SI_ functions over an
// emulated machine in virtual time. The attached devices' serial numbers come from the environment
// variable ORVENIX_SI_TEST_DEVICES (comma-separated; default one device "4321"; empty: none).
#include "machine/emulated_si.h"
#include "machine/si_library_abi.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>

namespace {

using namespace orvenix;

EmulatedSi& Bridge() {
    static std::unique_ptr<EmulatedSi> bridge = [] {
        EmulatedBridge b;
        b.driverVersion = 0x00030004;
        b.products = {"4321"};
        if (const char* env = std::getenv("ORVENIX_SI_TEST_DEVICES")) {
            b.products.clear();
            std::istringstream in(env);
            std::string item;
            while (std::getline(in, item, ',')) {
                if (!item.empty()) b.products.push_back(item);
            }
        }
        return std::make_unique<EmulatedSi>(std::make_unique<VirtualClock>(), EmulatorConfig{}, b);
    }();
    return *bridge;
}

SiHandle H(SiLibHandle h) {
    return h == nullptr ? kNoLink : 1;
}
std::int32_t R(SiStatus s) {
    return static_cast<std::int32_t>(s);
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) std::int32_t SI_GetDriverVersion(std::uint32_t* v, std::uint32_t* r) {
    return R(Bridge().SI_GetDriverVersion(*v, *r));
}
__attribute__((visibility("default"))) std::int32_t SI_GetNumDevices(std::uint32_t* count) {
    return R(Bridge().SI_GetNumDevices(*count));
}
__attribute__((visibility("default"))) std::int32_t SI_GetProductString(std::uint32_t index, void* buffer,
                                                                        std::uint32_t option) {
    return R(Bridge().SI_GetProductString(index, static_cast<char*>(buffer), option));
}
__attribute__((visibility("default"))) std::int32_t SI_Open(std::uint32_t index, SiLibHandle* handle) {
    SiHandle h = kNoLink;
    const SiStatus s = Bridge().SI_Open(index, h);
    *handle = s == kSiSuccess ? static_cast<void*>(&Bridge()) : nullptr;
    return R(s);
}
__attribute__((visibility("default"))) std::int32_t SI_SetTimeouts(std::uint32_t r, std::uint32_t w) {
    return R(Bridge().SI_SetTimeouts(r, w));
}
__attribute__((visibility("default"))) std::int32_t SI_SetBaudRate(SiLibHandle h, std::uint32_t baud) {
    return R(Bridge().SI_SetBaudRate(H(h), baud));
}
__attribute__((visibility("default"))) std::int32_t SI_SetLineControl(SiLibHandle h, std::uint16_t lc) {
    return R(Bridge().SI_SetLineControl(H(h), lc));
}
__attribute__((visibility("default"))) std::int32_t SI_FlushBuffers(SiLibHandle h, std::uint8_t t,
                                                                    std::uint8_t r) {
    return R(Bridge().SI_FlushBuffers(H(h), t, r));
}
__attribute__((visibility("default"))) std::int32_t SI_Write(SiLibHandle h, void* buffer, std::uint32_t count,
                                                             std::uint32_t* written, void*) {
    return R(Bridge().SI_Write(H(h), static_cast<const std::uint8_t*>(buffer), count, *written));
}
__attribute__((visibility("default"))) std::int32_t SI_Read(SiLibHandle h, void* buffer, std::uint32_t count,
                                                            std::uint32_t* got, void*) {
    return R(Bridge().SI_Read(H(h), static_cast<std::uint8_t*>(buffer), count, *got));
}
__attribute__((visibility("default"))) std::int32_t SI_WriteLatch(SiLibHandle h, std::uint8_t mask,
                                                                  std::uint8_t v) {
    return R(Bridge().SI_WriteLatch(H(h), mask, v));
}
__attribute__((visibility("default"))) std::int32_t SI_Close(SiLibHandle h) {
    return R(Bridge().SI_Close(H(h)));
}
__attribute__((visibility("default"))) std::int32_t SI_CheckRXQueue(SiLibHandle, std::uint32_t* queued,
                                                                    std::uint32_t* status) {
    *queued = static_cast<std::uint32_t>(Bridge().Machine().Available());
    *status = 0;
    return 0;
}
}
