// Delete: a board-set file moved to the desktop's trash, after a question.
#include "ui/app/main_window.h"

#include "base/settings.h"
#include "formats/frame.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

namespace orvenix {

void MainWindow::onDeleteTriggered() {
    const std::string title = "Delete";
    SetStatus("Deleting");
    FileDialogRequest request;
    request.title = "Delete Board Set file";
    request.directory = ctx_.settings.Read(keys::kInitDirectory);
    request.filters = LoadFilters();
    request.selectedFilter = LoadFilterIndex(ctx_.settings.Read(keys::kInitFormat));
    const auto chosen = ctx_.dialogs.FileDialog(request);
    if (!chosen || chosen->path.empty()) {
        SetStatus("Ready");
        return;
    }
    const std::string& path = chosen->path;
    if (ctx_.dialogs.Show("Move " + path + " to the trash?", title, Buttons::YesNo, Icon::Question) !=
        Answer::Yes) {
        SetStatus("Ready");
        return;
    }
    if (!QFile::moveToTrash(QString::fromStdString(path))) {
        const std::string refusal = "The file " + path + " could not be moved to the trash.";
        SetStatus(refusal);
        ctx_.dialogs.Show(refusal + "\r\n\r\nNothing was deleted.", title, Buttons::Ok, Icon::Critical);
        return;
    }
    std::string done = "Moved " + path + " to the trash";
    // The set in memory stays; only its file is gone.
    if (path == ctx_.set.fileName) done += " (the board set in memory is kept: save it to keep it)";
    SetStatus(done);
}

} // namespace orvenix
