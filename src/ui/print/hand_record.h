// The printing window: hand records or score cards of the board set, for a range of boards and a number
// of copies, on the program's printer.
#pragma once

#include "analysis/double_dummy.h"
#include "app/context.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <map>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace orvenix {

class HandRecord : public QDialog {
    Q_OBJECT

  public:
    // The printer set-up dialog; true when the operator confirmed.
    using PrinterDialog = std::function<bool(QPrinter&, QWidget* owner)>;

    HandRecord(AppContext& ctx, QPrinter& printer, QWidget* parent = nullptr);
    ~HandRecord() override;
    HandRecord(const HandRecord&) = delete;
    HandRecord& operator=(const HandRecord&) = delete;

    void setPrinterDialog(PrinterDialog dialog) { printerDialog_ = std::move(dialog); }
    // Whether a print job is running.
    [[nodiscard]] bool printing() const { return printing_; }

  public slots:
    // The Print button: checks the range, prints, shows the progress.
    void PrintBoardSet();
    void cmdPrinterSetup_Click();
    // Lets window events run until the given time has passed.
    void PausePrinting(int milliseconds);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  public:
    void reject() override;

  private:
    void BuildControls();
    void LoadSettings();
    void ApplyPrintMode();
    void SaveScoreCardMode();
    void NumberChanged(QLineEdit* box);
    // A number box's value; an empty box counts as 0.
    [[nodiscard]] static int ValueOf(const QLineEdit* box);
    void ParameterError(int messageKey, QLineEdit* focus);
    // Makes sure the printer can take a job: asks for the file of PDF output without one. False when
    // there is nowhere to print to (the operator was told or cancelled).
    bool PrinterReady();
    void SetBusy(bool busy);
    // Shows or hides the note that the chosen boards per page leave no room for the analysis.
    void UpdateDoubleDummyNote();
    // Analyses the boards from..to on a worker thread while the window stays responsive, with the
    // progress bar; false when cancelled (Print turns into Cancel meanwhile) or the solver failed (the
    // operator was told).
    bool AnalyseForPrinting(int from, int to, std::map<int, DoubleDummyResult>& out);

    AppContext& ctx_;
    QPrinter& printer_;
    PrinterDialog printerDialog_;
    bool printing_ = false;
    bool activated_ = false;

    QLineEdit* txtFileName = nullptr;
    QLineEdit* txtEventName = nullptr;
    QLineEdit* txtFirstBoard = nullptr;
    QLineEdit* txtLastBoard = nullptr;
    QLineEdit* txtFromBoard = nullptr;
    QLineEdit* txtToBoard = nullptr;
    QLineEdit* txtCopies = nullptr;
    QRadioButton* PrintMode1 = nullptr;
    QRadioButton* PrintMode2 = nullptr;
    QGroupBox* frameBoardsPerPage = nullptr;
    QRadioButton* Option[5] = {};
    QGroupBox* frameNSPairNumber = nullptr;
    QCheckBox* chkDoubleDummy = nullptr;
    QLabel* lblDoubleDummyNote = nullptr;
    bool analysing_ = false;
    bool cancelAnalysis_ = false;
    QCheckBox* chkPrintBoards = nullptr;
    QCheckBox* chkPrintNS = nullptr;
    QLabel* lblOffset = nullptr;
    QLineEdit* txtNSoffset = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdPrinterSetup = nullptr;
    QPushButton* cmdExit = nullptr;
    QLabel* lblPrinting = nullptr;
    QProgressBar* Printing_progress = nullptr;
    QTimer* Timer1pr = nullptr;

    // The last accepted text of each number box.
    QString lastFrom_, lastTo_, lastCopies_, lastOffset_;
};

} // namespace orvenix
