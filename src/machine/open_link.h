// Choosing and opening the machine link: "emulated", "serial[:DEVICE]" or "library[:PATH]", from the
// command line (--machine) or the per-user setting "Machine"; the default is "serial".
#pragma once

#include "machine/link.h"

#include <memory>
#include <optional>
#include <string>

namespace orvenix {

class Settings;

inline constexpr const char* kMachineSettingKey = "Machine";
inline constexpr const char* kDefaultMachine = "serial";

struct MachineChoice {
    enum class Kind { Emulated, Serial, Library };
    Kind kind = Kind::Serial;
    std::string argument; // serial: the device path; library: the library path; empty: the default
};

// Nothing, with a reason in error, for a text that names no link.
std::optional<MachineChoice> ParseMachineChoice(const std::string& spec, std::string* error = nullptr);

// The link to use: the command line's choice when it differs from the default, else the setting, else the
// default.
std::string ChooseMachineSpec(const std::string& commandLine, Settings& settings);

// The SI_ layer of a choice. The emulated machine runs on real time unless virtualTime is set.
std::unique_ptr<SiLayer> MakeSiLayer(const MachineChoice& choice, bool virtualTime = false);

// The program's one link object for a choice, not yet opened (the windows call InitComm). Nothing, with a
// reason in error, when the text names no link.
std::unique_ptr<MachineLink> OpenLink(const std::string& spec, Dialogs& dialogs, ActivityLog* log = nullptr,
                                      std::string* error = nullptr);

} // namespace orvenix
