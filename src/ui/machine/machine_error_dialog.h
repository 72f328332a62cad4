// `MachineErrorDialog`: the machine error dialog of a dealing or reading step. It shows the warning icon, the
// error's text and code, what the foot pedal does here and the buttons that make sense for the error, polls
// the machine every 100 ms (`pollTimer`) so that the foot pedal can answer it and a lost link is noticed,
// and leaves the operator's choice in the ErrorDialog it was given.
#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;
class QPushButton;

namespace orvenix {

class ErrorDialog;

class MachineErrorDialog : public QDialog {
    Q_OBJECT

  public:
    MachineErrorDialog(ErrorDialog& dialog, QWidget* parent = nullptr);
    ~MachineErrorDialog() override;
    MachineErrorDialog(const MachineErrorDialog&) = delete;
    MachineErrorDialog& operator=(const MachineErrorDialog&) = delete;

    // One tick of `pollTimer` (tests call it directly).
    void onPollTimer();

    QTimer pollTimer;

  public slots:
    // Closing by the close box or Escape cancels, like the Cancel button.
    void reject() override;

  private:
    // Closes the window once the dialog has an answer.
    void CloseWhenAnswered();

    ErrorDialog& dialog_;
    QLabel* Error_label = nullptr;
    QLabel* Error_code = nullptr;
    QLabel* Error_icon = nullptr;
    QLabel* Pedal_hint = nullptr;
    QPushButton* Continue_button = nullptr;
    QPushButton* Cancel_button = nullptr;
    QPushButton* Cancel2 = nullptr;
};

} // namespace orvenix
