// Fuzz target: the PBN reader (tag pairs scanned line by line).
#include "formats/pbn.h"
#include "format_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return orvenix::fuzz::FuzzOneFile(data, size, {orvenix::ReadPbn, orvenix::WritePbn, false});
}
