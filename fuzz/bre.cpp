// Fuzz target: the BRE reader (event header and hand-string lines).
#include "formats/bre.h"
#include "format_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return orvenix::fuzz::FuzzOneFile(data, size, {orvenix::ReadBre, orvenix::WriteBre, false});
}
