#pragma once

#include <cstdint>

namespace orvenix {

// The generator's two 16-bit packet seed words, computed once at start-up.
struct GeneratorSeeds {
    std::uint16_t first = 1;  // ((mouse x * 256 + mouse y) OR 1) AND 0xFFFF
    std::uint16_t second = 0; // days since 1 January 2008, AND 0xFFFF
};

} // namespace orvenix
