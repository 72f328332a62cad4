// `Error_disp`: the machine error dialog of a dealing or reading step. It shows the error's text and code
// and the buttons that make sense for it, polls the machine every 100 ms (`Error_Timer1`) so that the
// foot pedal can answer it and a lost link is noticed, and leaves the operator's choice in the
// ErrorDialog it was given.
#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;
class QPushButton;

namespace orvenix {

class ErrorDialog;

class Error_disp : public QDialog {
    Q_OBJECT

  public:
    Error_disp(ErrorDialog& dialog, QWidget* parent = nullptr);
    ~Error_disp() override;
    Error_disp(const Error_disp&) = delete;
    Error_disp& operator=(const Error_disp&) = delete;

    // One tick of `Error_Timer1` (tests call it directly).
    void Error_Timer1_Timer();

    QTimer Error_Timer1;

  public slots:
    // Closing by the close box or Escape cancels, like the Cancel button.
    void reject() override;

  private:
    // Closes the window once the dialog has an answer.
    void CloseWhenAnswered();

    ErrorDialog& dialog_;
    QLabel* Error_label = nullptr;
    QLabel* Error_code = nullptr;
    QPushButton* Continue_button = nullptr;
    QPushButton* Cancel_button = nullptr;
    QPushButton* Cancel2 = nullptr;
};

} // namespace orvenix
