// New: generate a new board set.
#include "base/messages.h"
#include "ui/app/main_window.h"
#include "ui/generate/generator_window.h"

namespace orvenix {

void MainWindow::onNewTriggered() {
    SetStatus("Generate");
    if (OfferToSave(ctx_, FileHooks(), "Generate New Board Set")) {
        {
            GeneratorWindow window(ctx_, this);
            window.exec();
        }
        RefreshSetDisplay();
    }
    SetStatus("Ready");
}

} // namespace orvenix
