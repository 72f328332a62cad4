// Print: hand records and score cards.
#include "ui/app/main_window.h"
#include "ui/print/print_window.h"
#include "ui/print/printer_setup.h"

namespace orvenix {

void MainWindow::onPrintTriggered() {
    std::string finished = "Ready";
    if (!RefuseWithoutSet("Printing Error")) {
        SetStatus("Printing");
        PrintWindow window(ctx_, ProgramPrinter(), this);
        window.exec();
        // Where the pages went stays in view after the window closes.
        if (!window.lastDestination().empty()) finished = window.lastDestination();
        RefreshSetDisplay();
    }
    SetStatus(finished);
}

} // namespace orvenix
