// Maintenance: opens the machine link and the `Maintenance` window modally; the window closes the link
// when it closes. This command leaves the status line alone.
#include "app/dialogs.h"
#include "machine/open_link.h"
#include "ui/app/main_menu.h"
#include "ui/maintenance/maintenance_window.h"

namespace orvenix {

void MainMenu::cmdMaintenance_Click() {
    const std::string spec = ChooseMachineSpec(options_.machine, ctx_.settings);
    std::string error;
    std::unique_ptr<MachineLink> link = OpenLink(spec, ctx_.dialogs, &ctx_.log, &error);
    if (!link) {
        ctx_.dialogs.Show(error, "Communication Error", Buttons::Ok, Icon::Critical);
        return;
    }
    link->InitComm(kLinkTimeoutMs);
    if (!link->IsOpen()) {
        // InitComm reports its own failures; a bridge without any machine attached says nothing there.
        if (link->lastStatus == kSiSuccess) {
            ctx_.dialogs.Show("No Orvenix machine was found", "Communication Error", Buttons::Ok,
                              Icon::Exclamation);
        }
        return;
    }
    Maintenance window(*link, ctx_.dialogs, ctx_.settings, this);
    window.exec();
}

} // namespace orvenix
