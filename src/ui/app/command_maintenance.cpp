// Maintenance: opens the machine link and the `Maintenance` window modally; the window closes the link
// when it closes. This command leaves the status line alone.
#include "ui/app/machine_link.h"
#include "ui/app/main_window.h"
#include "ui/maintenance/maintenance_window.h"

namespace orvenix {

void MainWindow::onMaintenanceTriggered() {
    std::optional<MachineConnection> machine = OpenMachineLink(options_.machine, ctx_);
    if (!machine) return;
    MaintenanceWindow window(*machine->link, ctx_.dialogs, ctx_.settings, this);
    window.exec();
}

} // namespace orvenix
