// The program's printer and its set-up dialog.
#pragma once

#include <QDialog>

class QComboBox;
class QPrinter;
class QRadioButton;
class QWidget;

namespace orvenix {

// The printer all printing goes to, kept for the whole run (its choices are not stored between runs).
// It starts as the system's default printer; on a computer without any printer it writes PDF files.
QPrinter& ProgramPrinter();

// The printer and page set-up: the printer (or a PDF file), the paper, the orientation and two-sided
// printing. The number of copies is the printing window's; printing itself starts there too.
class PrinterSetupDialog : public QDialog {
    Q_OBJECT

  public:
    // Shows the printer's current choices.
    explicit PrinterSetupDialog(const QPrinter& printer, QWidget* parent = nullptr);

    // Gives the printer the choices shown.
    void Apply(QPrinter& printer) const;

  private:
    // Two-sided printing only where the chosen printer offers it.
    void UpdateDuplex();

    QComboBox* printerBox_ = nullptr;
    QComboBox* paperBox_ = nullptr;
    QRadioButton* portraitOption_ = nullptr;
    QRadioButton* landscapeOption_ = nullptr;
    QComboBox* duplexBox_ = nullptr;
};

// Runs the set-up dialog on the printer. On confirmation the printer takes over the chosen choices, on
// cancel nothing changes. Returns true when the operator confirmed.
bool RunPrinterSetup(QPrinter& printer, QWidget* owner);

} // namespace orvenix
