// Fuzz target: the ZETA771 reader (fixed 54-byte records).
#include "formats/zeta771.h"
#include "format_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return orvenix::fuzz::FuzzOneFile(data, size, {orvenix::ReadZeta771, orvenix::WriteZeta771, true});
}
