// Load: read a board set from a file.
#include "app/file_commands.h"
#include "ui/app/main_window.h"

namespace orvenix {

void MainWindow::onLoadTriggered() {
    LoadCommand(ctx_, FileHooks());
    RefreshSetDisplay();
}

} // namespace orvenix
