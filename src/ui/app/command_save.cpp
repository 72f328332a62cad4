// Save: write the board set to a file.
#include "app/file_commands.h"
#include "ui/app/main_window.h"
#include "ui/formats/board_number_dialog.h"

namespace orvenix {

FileCommandHooks MainWindow::FileHooks() {
    FileCommandHooks hooks;
    hooks.refresh = [this] { RefreshSetDisplay(); };
    hooks.chooseBoardNumbers = [this](BoardSet& set, const std::string& formatName) {
        BoardNumberDialog::Choose(set, formatName, ctx_.dialogs, this);
    };
    return hooks;
}

bool MainWindow::onSaveTriggered() {
    const bool saved = SaveCommand(ctx_, FileHooks());
    ShowSetTexts();
    return saved;
}

} // namespace orvenix
