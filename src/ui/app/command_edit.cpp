// Edit: the board editor.
#include "ui/app/main_menu.h"

namespace orvenix {

void MainMenu::menuEdit_Click() {
    SetStatus("Edit Board");
    NotAvailable("Edit Board");
    RefreshSetDisplay();
    SetStatus("Ready");
}

} // namespace orvenix
