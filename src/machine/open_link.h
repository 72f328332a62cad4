// Choosing and opening the machine link: "emulated", "serial[:DEVICE]" or "library[:PATH]", from the
// command line (--machine) or the per-user setting "Machine"; the default is "serial".
#pragma once

#include "machine/clock.h"
#include "machine/link.h"

#include <memory>
#include <optional>
#include <string>

namespace orvenix {

class EmulatedMachine;
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

// The program's machine: the link, the time base its waits run on, and, for the emulated machine, the
// operator's side of it (the pedal, the card box, the boards and cards put in). A real machine has no
// emulator; its time is the steady clock of the program.
struct MachineConnection {
    std::unique_ptr<MachineLink> link;
    Clock& clock;
    EmulatedMachine* emulator = nullptr; // none for a real machine
};

// The steady clock that real machines and the program share.
Clock& SteadyTime();

// The connection for a choice, the link not yet opened (the windows call Open). The emulated machine
// runs on real time unless virtualTime is set.
MachineConnection ConnectMachine(const MachineChoice& choice, Dialogs& dialogs, ActivityLog* log = nullptr,
                                 bool virtualTime = false);

// As ConnectMachine for a text. Nothing, with a reason in error, when the text names no link.
std::optional<MachineConnection> OpenLink(const std::string& spec, Dialogs& dialogs,
                                          ActivityLog* log = nullptr, std::string* error = nullptr,
                                          bool virtualTime = false);

} // namespace orvenix
