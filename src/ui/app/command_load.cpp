// Load: read a board set from a file.
#include "formats/frame.h"
#include "ui/app/main_menu.h"
#include "ui/formats/load_number.h"

namespace orvenix {

void MainMenu::menuLoad_Click() {
    FrameHooks hooks;
    hooks.refresh = [this] { RefreshSetDisplay(); };
    hooks.chooseBoardNumbers = [this](BoardSet& set, const std::string& formatName) {
        Load_number::Choose(set, formatName, ctx_.dialogs, this);
    };
    LoadCommand(ctx_, hooks);
    RefreshSetDisplay();
}

} // namespace orvenix
