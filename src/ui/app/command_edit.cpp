// Edit: the board editor.
#include "ui/app/main_menu.h"
#include "ui/editor/edit_window.h"

namespace orvenix {

void MainMenu::menuEdit_Click() {
    SetStatus("Edit Board");
    {
        Edit window(ctx_, this);
        window.exec();
    }
    RefreshSetDisplay();
    SetStatus("Ready");
}

} // namespace orvenix
