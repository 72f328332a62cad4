// Maintenance: opens the machine link and the `Maintenance` window modally (with the emulated machine's
// panel beside it on the emulated machine); the window closes the link when it closes. This command
// leaves the status line alone.
#include "ui/app/machine_link.h"
#include "ui/app/main_window.h"
#include "ui/maintenance/maintenance_window.h"

namespace orvenix {

void MainWindow::onMaintenanceTriggered() {
    std::optional<MachineConnection> machine = OpenMachineLink(options_.machine, ctx_);
    if (!machine) return;
    MaintenanceWindow window(*machine->link, ctx_.dialogs, ctx_.settings, this);
    if (machine->emulator != nullptr) window.ShowEmulatorPanel(*machine->emulator);
    window.exec();
}

} // namespace orvenix
