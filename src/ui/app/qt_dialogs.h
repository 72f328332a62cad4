// Message boxes and file dialogs of the desktop program.
#pragma once

#include "base/dialogs.h"

#include <QPointer>
#include <QString>
#include <QStringList>

class QWidget;

namespace orvenix {

class QtDialogs : public Dialogs {
  public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}

    // The window the boxes are centred on and modal to.
    void SetParent(QWidget* parent) { parent_ = parent; }

    Answer Message(const MessageRequest& request) override;
    std::optional<FileDialogResult> FileDialog(const FileDialogRequest& request) override;

  private:
    QPointer<QWidget> parent_;
};

// Message text for a box: CR LF line breaks become plain line breaks.
QString BoxText(const std::string& text);
// A dialog filter entry such as "All files (*.*)" with the patterns this platform understands
// ("*.*" would miss files without an extension).
QString DialogFilter(const std::string& filter);

} // namespace orvenix
