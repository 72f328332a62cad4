// New: generate a new board set.
#include "base/messages.h"
#include "ui/app/main_menu.h"
#include "ui/generate/generate_window.h"

namespace orvenix {

void MainMenu::menuNew_Click() {
    SetStatus("Generate");
    if (OfferToSave(ctx_, FileHooks(), "Generate New Board Set")) {
        {
            Generate window(ctx_, this);
            window.exec();
        }
        RefreshSetDisplay();
    }
    SetStatus("Ready");
}

} // namespace orvenix
