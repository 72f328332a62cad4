// A bridge library for the tests of the run-time loaded link: it exports the SI_ functions over an
// emulated machine in virtual time, with one attached device whose serial number is "4321".
#include "machine/emulated_si.h"
#include "machine/si_library_abi.h"

#include <memory>

namespace {

using namespace orvenix;

EmulatedSi& Bridge() {
    static EmulatedSi bridge(std::make_unique<VirtualClock>(), EmulatorConfig{},
                             EmulatedBridge{.driverVersion = 0x00030004, .products = {"4321"}});
    return bridge;
}
SiHandle H(SiLibHandle h) {
    return h == nullptr ? kNoLink : 1;
}

} // namespace

#define SI_EXPORT extern "C" __attribute__((visibility("default"))) std::int32_t

SI_EXPORT SI_GetDriverVersion(std::uint32_t* v, std::uint32_t* r) {
    return std::int32_t(Bridge().SI_GetDriverVersion(*v, *r));
}
SI_EXPORT SI_GetNumDevices(std::uint32_t* count) {
    return std::int32_t(Bridge().SI_GetNumDevices(*count));
}
SI_EXPORT SI_GetProductString(std::uint32_t index, void* buffer, std::uint32_t option) {
    return std::int32_t(Bridge().SI_GetProductString(index, static_cast<char*>(buffer), option));
}
SI_EXPORT SI_Open(std::uint32_t index, SiLibHandle* handle) {
    SiHandle h = kNoLink;
    const SiStatus s = Bridge().SI_Open(index, h);
    *handle = s == kSiSuccess ? static_cast<void*>(&Bridge()) : nullptr;
    return std::int32_t(s);
}
SI_EXPORT SI_SetTimeouts(std::uint32_t r, std::uint32_t w) {
    return std::int32_t(Bridge().SI_SetTimeouts(r, w));
}
SI_EXPORT SI_SetBaudRate(SiLibHandle h, std::uint32_t baud) {
    return std::int32_t(Bridge().SI_SetBaudRate(H(h), baud));
}
SI_EXPORT SI_SetLineControl(SiLibHandle h, std::uint16_t lc) {
    return std::int32_t(Bridge().SI_SetLineControl(H(h), lc));
}
SI_EXPORT SI_FlushBuffers(SiLibHandle h, std::uint8_t t, std::uint8_t r) {
    return std::int32_t(Bridge().SI_FlushBuffers(H(h), t, r));
}
SI_EXPORT SI_Write(SiLibHandle h, void* buffer, std::uint32_t count, std::uint32_t* written, void*) {
    return std::int32_t(Bridge().SI_Write(H(h), static_cast<const std::uint8_t*>(buffer), count, *written));
}
SI_EXPORT SI_Read(SiLibHandle h, void* buffer, std::uint32_t count, std::uint32_t* got, void*) {
    return std::int32_t(Bridge().SI_Read(H(h), static_cast<std::uint8_t*>(buffer), count, *got));
}
SI_EXPORT SI_WriteLatch(SiLibHandle h, std::uint8_t mask, std::uint8_t v) {
    return std::int32_t(Bridge().SI_WriteLatch(H(h), mask, v));
}
SI_EXPORT SI_Close(SiLibHandle h) {
    return std::int32_t(Bridge().SI_Close(H(h)));
}
