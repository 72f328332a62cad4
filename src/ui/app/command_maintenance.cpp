// Maintenance: the machine's maintenance window. This command leaves the status line alone.
#include "ui/app/main_menu.h"

namespace orvenix {

void MainMenu::cmdMaintenance_Click() {
    NotAvailable("Maintenance");
}

} // namespace orvenix
