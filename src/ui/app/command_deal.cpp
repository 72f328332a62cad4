// Deal and Read: the machine session, dealing the set or reading boards back. The main window opens the
// machine link, shows the dealing window modally on it, and the link closes with the window.
#include "machine/clock.h"
#include "ui/app/machine_link.h"
#include "ui/app/main_window.h"
#include "ui/machine/dealin_prog.h"

namespace orvenix {

void MainWindow::onDealTriggered() {
    RunSession(SessionMode::Deal);
}

void MainWindow::onReadTriggered() {
    RunSession(SessionMode::Read);
}

void MainWindow::RunSession(SessionMode mode) {
    sessionMode_ = mode;
    const bool reading = mode == SessionMode::Read;
    SetStatus(reading ? "Reading" : "Dealing");
    if (!RefuseWithoutSet(reading ? "Reading Error" : "Dealing Error")) {
        if (std::unique_ptr<MachineLink> link = OpenMachineLink(options_.machine, ctx_)) {
            SteadyClock clock;
            DealinProg window(
                mode, ctx_.set, *link, clock, ctx_.settings, ctx_.dialogs, [this] { onSaveTriggered(); },
                this);
            window.ShowEmulatorPanel();
            window.exec();
        }
        RefreshSetDisplay();
    }
    SetStatus("Ready");
}

} // namespace orvenix
