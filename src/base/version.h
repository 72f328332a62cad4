#pragma once

#include <string>

namespace orvenix {

inline constexpr int kVersionMajor = ORVENIX_VERSION_MAJOR;
inline constexpr int kVersionMinor = ORVENIX_VERSION_MINOR;
inline constexpr int kVersionPatch = ORVENIX_VERSION_PATCH;

// "Orvenix Ver 1.0": the main window's caption.
inline std::string MainCaption() {
    return "Orvenix Ver " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
}
// "1.0.0"
inline std::string VersionText() {
    return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
           std::to_string(kVersionPatch);
}

} // namespace orvenix
