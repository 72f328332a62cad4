// Save: write the board set to a file.
#include "app/file_commands.h"
#include "ui/app/main_menu.h"
#include "ui/formats/load_number.h"

namespace orvenix {

FileCommandHooks MainMenu::FileHooks() {
    FileCommandHooks hooks;
    hooks.refresh = [this] { RefreshSetDisplay(); };
    hooks.chooseBoardNumbers = [this](BoardSet& set, const std::string& formatName) {
        Load_number::Choose(set, formatName, ctx_.dialogs, this);
    };
    return hooks;
}

bool MainMenu::menuSave_Click() {
    const bool saved = SaveCommand(ctx_, FileHooks());
    ShowSetTexts();
    return saved;
}

} // namespace orvenix
