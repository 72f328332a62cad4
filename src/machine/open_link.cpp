#include "machine/open_link.h"

#include "base/settings.h"
#include "machine/emulated_si.h"
#include "machine/library_si.h"
#include "machine/serial_si.h"

namespace orvenix {

std::optional<MachineChoice> ParseMachineChoice(const std::string& spec, std::string* error) {
    const std::size_t colon = spec.find(':');
    const std::string kind = spec.substr(0, colon);
    const std::string argument = colon == std::string::npos ? std::string() : spec.substr(colon + 1);
    MachineChoice choice;
    choice.argument = argument;
    if (kind == "emulated" && colon == std::string::npos) {
        choice.kind = MachineChoice::Kind::Emulated;
    } else if (kind == "serial") {
        choice.kind = MachineChoice::Kind::Serial;
    } else if (kind == "library") {
        choice.kind = MachineChoice::Kind::Library;
    } else {
        if (error != nullptr) {
            *error = "unknown machine '" + spec + "' (use emulated, serial[:DEVICE] or library[:PATH])";
        }
        return std::nullopt;
    }
    if (colon != std::string::npos && argument.empty()) {
        if (error != nullptr) *error = "machine '" + spec + "' names no device or library after the colon";
        return std::nullopt;
    }
    return choice;
}

std::string ChooseMachineSpec(const std::string& commandLine, Settings& settings) {
    if (!commandLine.empty() && commandLine != kDefaultMachine) return commandLine;
    std::string stored = settings.Read(kMachineSettingKey, "");
    if (!stored.empty() && ParseMachineChoice(stored)) return stored;
    return kDefaultMachine;
}

Clock& SteadyTime() {
    static SteadyClock clock;
    return clock;
}

MachineConnection ConnectMachine(const MachineChoice& choice, Dialogs& dialogs, ActivityLog* log,
                                 bool virtualTime) {
    if (choice.kind == MachineChoice::Kind::Emulated) {
        std::unique_ptr<Clock> clock;
        if (virtualTime)
            clock = std::make_unique<VirtualClock>();
        else
            clock = std::make_unique<SteadyClock>();
        auto si = std::make_unique<EmulatedSi>(std::move(clock));
        EmulatedMachine& machine = si->Machine();
        Clock& time = si->GetClock();
        return {std::make_unique<MachineLink>(std::move(si), dialogs, log), time, &machine};
    }
    std::unique_ptr<SiLayer> si;
    if (choice.kind == MachineChoice::Kind::Serial)
        si = std::make_unique<SerialSi>(choice.argument);
    else
        si = std::make_unique<LibrarySi>(choice.argument);
    return {std::make_unique<MachineLink>(std::move(si), dialogs, log), SteadyTime(), nullptr};
}

std::optional<MachineConnection> OpenLink(const std::string& spec, Dialogs& dialogs, ActivityLog* log,
                                          std::string* error, bool virtualTime) {
    auto choice = ParseMachineChoice(spec, error);
    if (!choice) return std::nullopt;
    return ConnectMachine(*choice, dialogs, log, virtualTime);
}

} // namespace orvenix
