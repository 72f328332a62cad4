// Per-user settings of the desktop program: an INI file in the user's configuration folder
// (organisation "orvenix", application "orvenix.exe", group "Init_settings").
#pragma once

#include "base/settings.h"

#include <QString>

#include <memory>

class QSettings;

namespace orvenix {

inline constexpr const char* kSettingsOrganisation = "orvenix";

class QtSettings : public Settings {
  public:
    // The user's settings file.
    QtSettings();
    // A settings file at the given path (for tools and tests).
    explicit QtSettings(const QString& iniPath);
    ~QtSettings() override;
    QtSettings(const QtSettings&) = delete;
    QtSettings& operator=(const QtSettings&) = delete;

    std::optional<std::string> Lookup(const std::string& key) override;
    void Write(const std::string& key, const std::string& value) override;

    [[nodiscard]] QString FileName() const;

  private:
    std::unique_ptr<QSettings> store_;
};

} // namespace orvenix
