// The user guide in a window of its own: the guide is compiled into the program, so it opens without a
// network or an installed documentation folder.
#pragma once

#include <QWidget>

class QTextBrowser;

namespace orvenix {

class HelpWindow : public QWidget {
    Q_OBJECT

  public:
    explicit HelpWindow(QWidget* parent = nullptr);

    [[nodiscard]] QTextBrowser* browser() const { return browser_; }

  private:
    QTextBrowser* browser_ = nullptr;
};

} // namespace orvenix
