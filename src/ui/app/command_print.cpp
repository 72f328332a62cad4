// Print: hand records and score cards.
#include "ui/app/main_window.h"
#include "ui/print/print_window.h"
#include "ui/print/printer_setup.h"

namespace orvenix {

void MainWindow::onPrintTriggered() {
    if (!RefuseWithoutSet("Printing Error")) {
        SetStatus("Printing");
        PrintWindow window(ctx_, ProgramPrinter(), this);
        window.exec();
        RefreshSetDisplay();
    }
    SetStatus("Ready");
}

} // namespace orvenix
