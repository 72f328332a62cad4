// Save: write the board set to a file.
#include "formats/frame.h"
#include "ui/app/main_menu.h"

namespace orvenix {

bool MainMenu::menuSave_Click() {
    FrameHooks hooks;
    hooks.refresh = [this] { RefreshSetDisplay(); };
    const bool saved = SaveCommand(ctx_, hooks);
    ShowSetTexts();
    return saved;
}

} // namespace orvenix
