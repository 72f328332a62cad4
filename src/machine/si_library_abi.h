// The C interface a bridge library loaded at run time exports. Every function returns a status, 0 for
// success; handles are the library's own. SI_CheckRXQueue is declared for completeness and never called.
#pragma once

#include <cstdint>

extern "C" {
using SiLibHandle = void*;
using SI_GetDriverVersion_t = std::int32_t (*)(std::uint32_t* version, std::uint32_t* reserved);
using SI_GetNumDevices_t = std::int32_t (*)(std::uint32_t* count);
using SI_GetProductString_t = std::int32_t (*)(std::uint32_t index, void* buffer, std::uint32_t option);
using SI_Open_t = std::int32_t (*)(std::uint32_t index, SiLibHandle* handle);
using SI_SetTimeouts_t = std::int32_t (*)(std::uint32_t readMs, std::uint32_t writeMs);
using SI_SetBaudRate_t = std::int32_t (*)(SiLibHandle handle, std::uint32_t baud);
using SI_SetLineControl_t = std::int32_t (*)(SiLibHandle handle, std::uint16_t lineControl);
using SI_FlushBuffers_t = std::int32_t (*)(SiLibHandle handle, std::uint8_t transmit, std::uint8_t receive);
using SI_Write_t = std::int32_t (*)(SiLibHandle handle, void* buffer, std::uint32_t count,
                                    std::uint32_t* written, void* overlapped);
using SI_Read_t = std::int32_t (*)(SiLibHandle handle, void* buffer, std::uint32_t count,
                                   std::uint32_t* bytesRead, void* overlapped);
using SI_WriteLatch_t = std::int32_t (*)(SiLibHandle handle, std::uint8_t mask, std::uint8_t latch);
using SI_Close_t = std::int32_t (*)(SiLibHandle handle);
using SI_CheckRXQueue_t = std::int32_t (*)(SiLibHandle handle, std::uint32_t* queued, std::uint32_t* status);
}
