// Edit: the board editor window.
#include "ui/app/main_window.h"
#include "ui/editor/editor_window.h"

namespace orvenix {

void MainWindow::onEditTriggered() {
    SetStatus("Edit Board");
    {
        EditorWindow window(ctx_, this);
        window.exec();
    }
    RefreshSetDisplay();
    SetStatus("Ready");
}

} // namespace orvenix
