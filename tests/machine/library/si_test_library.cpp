// A bridge library for the tests of the run-time loaded link: it exports the SI_ functions over an
// emulated machine in virtual time, with one attached device whose serial number is "4321".
#include "machine/emulated_si.h"
#include "machine/si_library_abi.h"

#include <memory>

namespace {

using namespace orvenix;

EmulatedSi bridge(std::make_unique<VirtualClock>(), EmulatorConfig{}, EmulatedBridge{.products = {"4321"}});
// The library's handle is the bridge's address; the bridge's own handle is 1.
const auto H = [](SiLibHandle h) { return h == nullptr ? kNoLink : SiHandle{1}; };
using U8 = std::uint8_t;
using U32 = std::uint32_t;

} // namespace

// Each SI_ function of the library calls the emulated bridge with the library's handle made its own.
#define FORWARD(name, parameters, ...)                                                                       \
    extern "C" __attribute__((visibility("default"))) std::int32_t name parameters {                         \
        return static_cast<std::int32_t>(bridge.name(__VA_ARGS__));                                          \
    }

FORWARD(SI_GetDriverVersion, (U32 * v, U32* r), *v, *r)
FORWARD(SI_GetNumDevices, (U32 * count), *count)
FORWARD(SI_GetProductString, (U32 index, void* buffer, U32 option), index, static_cast<char*>(buffer), option)
FORWARD(SI_SetTimeouts, (U32 r, U32 w), r, w)
FORWARD(SI_SetBaudRate, (SiLibHandle h, U32 baud), H(h), baud)
FORWARD(SI_SetLineControl, (SiLibHandle h, std::uint16_t lineControl), H(h), lineControl)
FORWARD(SI_FlushBuffers, (SiLibHandle h, U8 t, U8 r), H(h), t, r)
FORWARD(SI_Write, (SiLibHandle h, void* buffer, U32 count, U32* written, void*), H(h),
        static_cast<const U8*>(buffer), count, *written)
FORWARD(SI_Read, (SiLibHandle h, void* buffer, U32 count, U32* got, void*), H(h), static_cast<U8*>(buffer),
        count, *got)
FORWARD(SI_WriteLatch, (SiLibHandle h, U8 mask, U8 v), H(h), mask, v)
FORWARD(SI_Close, (SiLibHandle h), H(h))

extern "C" __attribute__((visibility("default"))) std::int32_t SI_Open(U32 index, SiLibHandle* handle) {
    SiHandle h = kNoLink;
    const SiStatus s = bridge.SI_Open(index, h);
    *handle = s == kSiSuccess ? static_cast<void*>(&bridge) : nullptr;
    return static_cast<std::int32_t>(s);
}
