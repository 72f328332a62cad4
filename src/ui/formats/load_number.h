// Load_number: after a file without board numbers was loaded as boards 1 to N, lets the user choose
// another first board number for them.
#pragma once

#include "base/dialogs.h"
#include "model/board.h"

#include <QDialog>
#include <QString>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QShowEvent;

namespace orvenix {

class Load_number : public QDialog {
    Q_OBJECT

  public:
    // set holds the loaded boards 1..N; formatName is the format's name in messages ("DUP" has its own
    // explanation). Messages go through dialogs.
    Load_number(BoardSet& set, const std::string& formatName, Dialogs& dialogs, QWidget* parent = nullptr);

    // Opens the window modally on the set, as the load command does.
    static void Choose(BoardSet& set, const std::string& formatName, Dialogs& dialogs, QWidget* parent);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void txtFirstBoard_Change();
    void Command1_Click();

    BoardSet& set_;
    Dialogs& dialogs_;
    int count_ = 0;          // N, the number of boards loaded
    QString lastValidFirst_; // the last text of txtFirstBoard that passed the number filter

    QLabel* lblBoardLoaded = nullptr;
    QLabel* lblFormat = nullptr;
    QLabel* lblFirstBoard = nullptr;
    QLabel* lblLastBoard = nullptr;
    QLabel* lblChangeBoards = nullptr;
    QLineEdit* txtFirstBoard = nullptr;
    QLineEdit* txtLastBoard = nullptr;
    QPushButton* Command1 = nullptr;
};

} // namespace orvenix
