#include "ui/app/machine_link.h"

#include "app/context.h"
#include "base/dialogs.h"
#include "machine/open_link.h"

namespace orvenix {

std::unique_ptr<MachineLink> OpenMachineLink(const std::string& machineOption, AppContext& ctx) {
    const std::string spec = ChooseMachineSpec(machineOption, ctx.settings);
    std::string error;
    std::unique_ptr<MachineLink> link = OpenLink(spec, ctx.dialogs, &ctx.log, &error);
    if (!link) {
        ctx.dialogs.Show(error, "Communication Error", Buttons::Ok, Icon::Critical);
        return nullptr;
    }
    link->InitComm(kLinkTimeoutMs);
    if (!link->IsOpen()) {
        // InitComm reports its own failures; a bridge without any machine attached says nothing there.
        if (link->lastStatus == kSiSuccess) {
            ctx.dialogs.Show("No Orvenix machine was found", "Communication Error", Buttons::Ok,
                             Icon::Exclamation);
        }
        return nullptr;
    }
    return link;
}

} // namespace orvenix
