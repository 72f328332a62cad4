// Fuzz target: the DGE reader (fixed 128-byte records of hand strings).
#include "formats/dge.h"
#include "format_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return orvenix::fuzz::FuzzOneFile(data, size, {orvenix::ReadDge, orvenix::WriteDge, true});
}
