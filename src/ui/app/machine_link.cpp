#include "ui/app/machine_link.h"

#include "app/context.h"
#include "base/dialogs.h"

namespace orvenix {

std::optional<MachineConnection> OpenMachineLink(const std::string& machineOption, AppContext& ctx) {
    const std::string spec = ChooseMachineSpec(machineOption, ctx.settings);
    std::string error;
    std::optional<MachineConnection> machine = OpenLink(spec, ctx.dialogs, &ctx.log, &error);
    if (!machine) {
        ctx.dialogs.Show(error, "Communication Error", Buttons::Ok, Icon::Critical);
        return std::nullopt;
    }
    MachineLink* link = machine->link.get();
    link->Open(kLinkTimeoutMs);
    if (!link->IsOpen()) {
        // Open reports its own failures; a bridge without any machine attached says nothing there.
        if (link->LastStatus() == kSiSuccess) {
            ctx.dialogs.Show("No Orvenix machine was found", "Communication Error", Buttons::Ok,
                             Icon::Exclamation);
        }
        return std::nullopt;
    }
    return machine;
}

} // namespace orvenix
