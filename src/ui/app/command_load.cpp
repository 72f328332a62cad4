// Load: read a board set from a file.
#include "app/file_commands.h"
#include "ui/app/main_menu.h"

namespace orvenix {

void MainMenu::menuLoad_Click() {
    LoadCommand(ctx_, FileHooks());
    RefreshSetDisplay();
}

} // namespace orvenix
