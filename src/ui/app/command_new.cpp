// New: generate a new board set.
#include "app/messages.h"
#include "ui/app/main_menu.h"

namespace orvenix {

void MainMenu::menuNew_Click() {
    SetStatus("Generate");
    Answer answer = Answer::No;
    if (ctx_.set.modified) {
        answer = ctx_.dialogs.Show(FormatMessage(MsgSetNotSaved), "Generate New Board Set",
                                   Buttons::YesNoCancel, Icon::Exclamation);
        if (answer == Answer::Yes) menuSave_Click();
    }
    if (answer == Answer::Yes || answer == Answer::No) {
        NotAvailable("Generate New Board Set");
        RefreshSetDisplay();
    }
    SetStatus("Ready");
}

} // namespace orvenix
