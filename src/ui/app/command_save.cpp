// Save: write the board set to a file.
#include "ui/app/main_menu.h"

namespace orvenix {

bool MainMenu::menuSave_Click() {
    SetStatus("Saving");
    NotAvailable("Save Board Set");
    SetStatus("Ready");
    return false;
}

} // namespace orvenix
