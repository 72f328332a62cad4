// The board-number dialog: after a file without board numbers was loaded as boards 1 to N, lets the user
// choose another first board number for them.
#pragma once

#include "base/dialogs.h"
#include "model/board.h"

#include <QDialog>
#include <QString>

#include <memory>
#include <string>

class QLineEdit;
class QShowEvent;

namespace Ui {
class BoardNumberDialog;
}

namespace orvenix {

class BoardNumberDialog : public QDialog {
    Q_OBJECT

  public:
    // set holds the loaded boards 1..N; formatName is the format's name in messages ("DUP" has its own
    // explanation). Messages go through dialogs.
    BoardNumberDialog(BoardSet& set, const std::string& formatName, Dialogs& dialogs,
                      QWidget* parent = nullptr);
    ~BoardNumberDialog() override;
    BoardNumberDialog(const BoardNumberDialog&) = delete;
    BoardNumberDialog& operator=(const BoardNumberDialog&) = delete;

    // Opens the window modally on the set, as the load command does.
    static void Choose(BoardSet& set, const std::string& formatName, Dialogs& dialogs, QWidget* parent);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void onFirstBoardChanged();
    void onOkClicked();

    BoardSet& set_;
    Dialogs& dialogs_;
    int count_ = 0;          // N, the number of boards loaded
    QString lastValidFirst_; // the last text of the first board box that passed the number filter

    std::unique_ptr<Ui::BoardNumberDialog> ui_;
    QLineEdit* firstBoardBox_ = nullptr;
    QLineEdit* lastBoardBox_ = nullptr;
};

} // namespace orvenix
