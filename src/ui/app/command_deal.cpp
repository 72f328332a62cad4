// Deal and Read: the machine session, dealing the set or reading boards back. The main window opens the
// machine link, shows the dealing window modally on it, and the link closes with the window.
#include "ui/app/machine_link.h"
#include "ui/app/main_window.h"
#include "ui/machine/dealing_window.h"

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
        if (std::optional<MachineConnection> machine = OpenMachineLink(options_.machine, ctx_)) {
            DealingWindow window(
                mode, ctx_.set, *machine->link, machine->clock, ctx_.settings, ctx_.dialogs,
                [this] { onSaveTriggered(); }, this);
            if (machine->emulator != nullptr) window.ShowEmulatorPanel(*machine->emulator);
            window.exec();
        }
        RefreshSetDisplay();
    }
    SetStatus("Ready");
}

} // namespace orvenix
