// Fuzz target: the DUP reader (156-byte records holding each deal twice, with the set's board numbers).
#include "formats/dup.h"
#include "format_fuzz.h"

namespace {
orvenix::ReadResult ReadDupFile(std::string_view bytes, orvenix::BoardSet& set) {
    return orvenix::ReadDup(bytes, set, nullptr);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return orvenix::fuzz::FuzzOneFile(data, size, {ReadDupFile, orvenix::WriteDup, true});
}
