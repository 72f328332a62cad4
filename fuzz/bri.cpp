// Fuzz target: the BRI reader (fixed 128-byte records of card numbers).
#include "formats/bri.h"
#include "format_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return orvenix::fuzz::FuzzOneFile(data, size, {orvenix::ReadBri, orvenix::WriteBri, true});
}
