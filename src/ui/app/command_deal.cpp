// Deal and Read: the machine session, dealing the set or reading boards back.
#include "ui/app/main_menu.h"

namespace orvenix {

void MainMenu::menuDeal_Click() {
    RunSession(SessionMode::Dealing);
}

void MainMenu::menuRead_Click() {
    RunSession(SessionMode::Reading);
}

void MainMenu::RunSession(SessionMode mode) {
    sessionMode_ = mode;
    const bool reading = mode == SessionMode::Reading;
    SetStatus(reading ? "Reading" : "Dealing");
    if (!RefuseWithoutSet(reading ? "Reading Error" : "Dealing Error")) {
        NotAvailable(reading ? "Read" : "Deal");
        RefreshSetDisplay();
    }
    SetStatus("Ready");
}

} // namespace orvenix
