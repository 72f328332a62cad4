// Synthetic firmware image files for tests: two length fields, eight spare bytes, then both sections. By
// the emulator's convention the first two bytes of section 1 are the version the new firmware reports.
#pragma once

#include "support/temp_dir.h"

#include <cstdint>
#include <vector>

namespace orvenix::test {

// A file whose header gives the two lengths (by default the sections' real sizes).
inline std::vector<std::uint8_t> FirmwareFileBytes(const std::vector<std::uint8_t>& section1,
                                                   const std::vector<std::uint8_t>& section2,
                                                   std::int64_t length1 = -1, std::int64_t length2 = -1) {
    std::vector<std::uint8_t> out;
    for (const auto& [length, section] : {std::pair{length1, &section1}, {length2, &section2}}) {
        const auto l = static_cast<std::uint32_t>(length < 0 ? std::int64_t(section->size()) : length);
        for (int shift = 0; shift < 32; shift += 8) // little-endian
            out.push_back(static_cast<std::uint8_t>(l >> shift));
    }
    out.resize(16, 0xEE); // bytes 8 to 15 are read and ignored
    out.insert(out.end(), section1.begin(), section1.end());
    out.insert(out.end(), section2.begin(), section2.end());
    return out;
}

// A section of n bytes that starts with the version 2.51 and goes on with a pattern.
inline std::vector<std::uint8_t> FirmwareSection(std::size_t n) {
    std::vector<std::uint8_t> s(n);
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<std::uint8_t>(i == 0 ? 0x02 : i == 1 ? 0x51 : (i * 31 + 7) & 0xFF);
    return s;
}

} // namespace orvenix::test
