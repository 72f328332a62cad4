// Load: read a board set from a file.
#include "ui/app/main_menu.h"

namespace orvenix {

void MainMenu::menuLoad_Click() {
    SetStatus("Loading");
    NotAvailable("Load Board Set");
    RefreshSetDisplay();
    SetStatus("Ready");
}

} // namespace orvenix
