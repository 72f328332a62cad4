// Print: hand records and score cards.
#include "ui/app/main_menu.h"
#include "ui/print/hand_record.h"
#include "ui/print/printer_setup.h"

namespace orvenix {

void MainMenu::menuPrint_Click() {
    if (!RefuseWithoutSet("Printing Error")) {
        SetStatus("Printing");
        HandRecord window(ctx_, ProgramPrinter(), this);
        window.exec();
        RefreshSetDisplay();
    }
    SetStatus("Ready");
}

} // namespace orvenix
