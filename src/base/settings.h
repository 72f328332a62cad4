// Per-user settings: one text value per key in section "Init_settings" of application "orvenix.exe".
#pragma once

#include <map>
#include <optional>
#include <string>

namespace orvenix {

inline constexpr const char* kSettingsApplication = "orvenix.exe";
inline constexpr const char* kSettingsSection = "Init_settings";

namespace keys {
inline constexpr const char* kInitFormat = "Init_format";
inline constexpr const char* kInitDirectory = "Init_directory";
inline constexpr const char* kPrintPerPage = "PrintPerPage";
inline constexpr const char* kPrintMode = "PrintMode";
inline constexpr const char* kPrintScoreCardMode = "PrintScoreCardMode";
inline constexpr const char* kPrintRedSuits = "PrintRedSuits";
inline constexpr const char* kInitStartFromBox = "Init_start_from_box";
inline constexpr const char* kInitReadMode = "Init_read_mode";
inline constexpr const char* kNational = "National";
inline constexpr const char* kCardType = "CardType";
inline constexpr const char* kThreshold = "Threshold";
inline constexpr const char* kCardIndex = "CardIndex";
inline constexpr const char* kCheckBoard = "CheckBoard";
} // namespace keys

// The default a read returns when the key is missing ("" for keys the program does not know). The default
// directory is the user's home directory: the drive "c:" of the original platform means nothing here.
std::string SettingDefault(const std::string& key);

class Settings {
public:
    virtual ~Settings() = default;
    // The stored text, or nothing when the key is missing or cannot be read.
    virtual std::optional<std::string> Lookup(const std::string& key) = 0;
    // Stores the text; a failed write is not reported.
    virtual void Write(const std::string& key, const std::string& value) = 0;

    std::string Read(const std::string& key, const std::string& defaultValue) {
        return Lookup(key).value_or(defaultValue);
    }
    std::string Read(const std::string& key) { return Read(key, SettingDefault(key)); }
    // A whole number from a setting; the default when the stored text is not a number within [lo, hi].
    int ReadInt(const std::string& key, int defaultValue, int lo, int hi);
};

class MemorySettings : public Settings {
public:
    std::optional<std::string> Lookup(const std::string& key) override;
    void Write(const std::string& key, const std::string& value) override { values[key] = value; }
    std::map<std::string, std::string> values;
};

// The user's home directory ("/" when unknown).
std::string HomeDirectory();
// The directory part of a path, without the file name; "/", "\\" and ":" all end a directory.
std::string DirectoryOf(const std::string& path);
// The file name part of a path.
std::string FileNameOf(const std::string& path);

} // namespace orvenix
