// Print: hand records and score cards.
#include "ui/app/main_menu.h"

namespace orvenix {

void MainMenu::menuPrint_Click() {
    if (!RefuseWithoutSet("Printing Error")) {
        SetStatus("Printing");
        NotAvailable("Print");
        RefreshSetDisplay();
    }
    SetStatus("Ready");
}

} // namespace orvenix
