// New: generate a new board set.
#include "app/messages.h"
#include "ui/app/main_menu.h"
#include "ui/generate/generate_window.h"

namespace orvenix {

void MainMenu::menuNew_Click() {
    SetStatus("Generate");
    Answer answer = Answer::No;
    if (ctx_.set.modified) {
        answer = ctx_.dialogs.Show(FormatMessage(MsgSetNotSaved), "Generate New Board Set",
                                   Buttons::YesNoCancel, Icon::Exclamation);
        // A set that was to be saved but was not (the save was cancelled or failed) is not given up.
        if (answer == Answer::Yes && !menuSave_Click()) answer = Answer::Cancel;
    }
    if (answer == Answer::Yes || answer == Answer::No) {
        {
            Generate window(ctx_, this);
            window.exec();
        }
        RefreshSetDisplay();
    }
    SetStatus("Ready");
}

} // namespace orvenix
