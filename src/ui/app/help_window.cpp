#include "ui/app/help_window.h"

#include "ui/app/program_resources.h"

#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

namespace orvenix {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("HelpWindow");
    setWindowTitle("Orvenix Desk - User Guide");
    browser_ = new QTextBrowser(this);
    browser_->setObjectName("helpText");
    // Links to other sites open in the desktop's browser; the guide's own links stay here.
    browser_->setOpenExternalLinks(true);
    browser_->setSource(QUrl(kUserGuideUrl), QTextDocument::MarkdownResource);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(900, 660); // the guide's pictures are as wide as the main window
}

} // namespace orvenix
