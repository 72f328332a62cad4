#include "base/settings.h"

#include <charconv>
#include <cstdlib>

namespace orvenix {

std::string HomeDirectory() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') return home;
#ifdef _WIN32
    const char* profile = std::getenv("USERPROFILE");
    if (profile != nullptr && *profile != '\0') return profile;
#endif
    return "/";
}

std::string SettingDefault(const std::string& key) {
    if (key == keys::kInitFormat) return "BRI";
    if (key == keys::kInitDirectory) return HomeDirectory();
    if (key == keys::kPrintScoreCardMode) return "2";
    if (key == keys::kPrintRedSuits) return "1";
    if (key == keys::kPrintPerPage || key == keys::kPrintMode || key == keys::kInitStartFromBox ||
        key == keys::kInitReadMode || key == keys::kNational || key == keys::kCardType ||
        key == keys::kThreshold || key == keys::kCardIndex || key == keys::kCheckBoard) {
        return "0";
    }
    return "";
}

int Settings::ReadInt(const std::string& key, int defaultValue, int lo, int hi) {
    const std::string text = Read(key, std::to_string(defaultValue));
    int value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    while (first < last && *first == ' ') ++first;
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc{} || ptr != last || value < lo || value > hi) return defaultValue;
    return value;
}

std::optional<std::string> MemorySettings::Lookup(const std::string& key) {
    auto it = values.find(key);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t pos = path.find_last_of("/\\:");
    if (pos == std::string::npos) return {};
    if (pos == 0) return path.substr(0, 1); // "/file" lives in "/"
    return path.substr(0, pos);
}

std::string FileNameOf(const std::string& path) {
    const std::size_t pos = path.find_last_of("/\\:");
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

} // namespace orvenix
