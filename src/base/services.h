// The services every command reaches, whatever its layer: message boxes and file dialogs, the per-user
// settings, the activity log and the main window's status line.
#pragma once

#include "base/dialogs.h"
#include "base/log.h"
#include "base/settings.h"

#include <functional>
#include <string>

namespace orvenix {

struct Services {
    Dialogs& dialogs;
    Settings& settings;
    ActivityLog& log;
    // Shows one text in the main window's status line.
    std::function<void(const std::string&)> status = [](const std::string&) {};

    void StatusText(const std::string& text) const {
        if (status) status(text);
    }
};

} // namespace orvenix
