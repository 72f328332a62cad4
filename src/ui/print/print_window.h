// The printing window: hand records or score cards of the board set, for a range of boards and a number
// of copies, on the program's printer.
#pragma once

#include "analysis/double_dummy.h"
#include "app/context.h"

#include <QDialog>
#include <QString>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace Ui {
class PrintWindow;
}

namespace orvenix {

class PrintWindow : public QDialog {
    Q_OBJECT

  public:
    // The printer set-up dialog; true when the operator confirmed.
    using PrinterSetup = std::function<bool(QPrinter&, QWidget* owner)>;

    PrintWindow(AppContext& ctx, QPrinter& printer, QWidget* parent = nullptr);
    ~PrintWindow() override;
    PrintWindow(const PrintWindow&) = delete;
    PrintWindow& operator=(const PrintWindow&) = delete;

    void setPrinterSetup(PrinterSetup setup) { printerSetup_ = std::move(setup); }
    // Whether a print job is running.
    [[nodiscard]] bool printing() const { return printing_; }
    // Where the last job went, as the status line says it ("" before the first completed job).
    [[nodiscard]] const std::string& lastDestination() const { return lastDestination_; }

  public slots:
    // The Print button: checks the range, prints, shows the progress.
    void onPrintClicked();
    // The Printer Setup button: the printer set-up dialog on the program's printer.
    void onPrinterSetupClicked();
    // Lets window events run until the given time has passed.
    void PausePrinting(int milliseconds);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  public:
    void reject() override;

  private:
    // The number boxes the operator types into.
    [[nodiscard]] std::array<QLineEdit*, 4> NumberBoxes() const;
    // The number of boards per page chosen, as an index into the table of hand-record layouts.
    [[nodiscard]] int ChosenLayout() const;
    void LoadSettings();
    void ApplyPrintMode();
    void SaveScoreCardMode();
    void NumberChanged(QLineEdit* box);
    // A number box's value; an empty box counts as 0.
    [[nodiscard]] static int ValueOf(const QLineEdit* box);
    void ParameterError(int messageKey, QLineEdit* focus);
    // Makes sure the printer can take a job: PDF output asks for its file every time (and before an
    // existing file is replaced). False when there is nowhere to print to (the operator was told or
    // cancelled).
    bool PrinterReady();
    // Asks for the PDF file of this job, suggesting one beside the set; empty when cancelled.
    std::string ChoosePdfFile();
    void SetBusy(bool busy);
    // Shows or hides the note that the chosen boards per page leave no room for the analysis.
    void UpdateDoubleDummyNote();
    // Analyses the boards from..to on a worker thread while the window stays responsive, with the
    // progress bar; false when cancelled (Print turns into Cancel meanwhile) or the solver failed (the
    // operator was told).
    bool AnalyseForPrinting(int from, int to, std::map<int, DoubleDummyResult>& out);

    AppContext& ctx_;
    QPrinter& printer_;
    PrinterSetup printerSetup_;
    bool printing_ = false;
    bool activated_ = false;
    bool analysing_ = false;
    bool cancelAnalysis_ = false;

    std::unique_ptr<Ui::PrintWindow> ui_;
    QLineEdit* eventNameBox_ = nullptr;
    QLineEdit* fromBoardBox_ = nullptr;
    QLineEdit* toBoardBox_ = nullptr;
    QLineEdit* copiesBox_ = nullptr;
    QRadioButton* handRecordsOption_ = nullptr;
    QRadioButton* scoreCardsOption_ = nullptr;
    std::array<QRadioButton*, 5> boardsPerPageOptions_{};
    QCheckBox* doubleDummyCheck_ = nullptr;
    QCheckBox* redSuitsCheck_ = nullptr;
    QLabel* doubleDummyNote_ = nullptr;
    QCheckBox* printBoardsCheck_ = nullptr;
    QCheckBox* printPairNumberCheck_ = nullptr;
    QLineEdit* firstPairBox_ = nullptr;
    QPushButton* printButton_ = nullptr;
    QPushButton* printerSetupButton_ = nullptr;
    QPushButton* exitButton_ = nullptr;
    QLabel* progressLabel_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QTimer* pauseTimer_ = nullptr;

    std::string lastDestination_;

    // The last accepted text of each number box.
    QString lastFrom_, lastTo_, lastCopies_, lastOffset_;
};

} // namespace orvenix
