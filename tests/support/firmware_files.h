// Synthetic firmware image files for tests: two length fields, eight spare bytes, then both sections. By
// the emulator's convention the first two bytes of section 1 are the version the new firmware reports.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace orvenix::test {

inline void PutLittleEndian32(std::vector<std::uint8_t>& out, std::int64_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(u >> shift));
}

// A file whose header gives the two lengths (by default the sections' real sizes).
inline std::vector<std::uint8_t> FirmwareFileBytes(const std::vector<std::uint8_t>& section1,
                                                   const std::vector<std::uint8_t>& section2,
                                                   std::int64_t length1 = -1, std::int64_t length2 = -1) {
    std::vector<std::uint8_t> out;
    PutLittleEndian32(out, length1 < 0 ? static_cast<std::int64_t>(section1.size()) : length1);
    PutLittleEndian32(out, length2 < 0 ? static_cast<std::int64_t>(section2.size()) : length2);
    for (int i = 0; i < 8; ++i)
        out.push_back(0xEE); // read and ignored
    out.insert(out.end(), section1.begin(), section1.end());
    out.insert(out.end(), section2.begin(), section2.end());
    return out;
}

// A section of n bytes that starts with the version (major, minor) and goes on with a pattern.
inline std::vector<std::uint8_t> FirmwareSection(std::size_t n, std::uint8_t major = 0x02,
                                                 std::uint8_t minor = 0x51, std::uint8_t seed = 7) {
    std::vector<std::uint8_t> s(n);
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<std::uint8_t>((i * 31 + seed) & 0xFF);
    if (n > 0) s[0] = major;
    if (n > 1) s[1] = minor;
    return s;
}

inline void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace orvenix::test
