// The Generate window: a new board set of random deals (with the shape, inner-similarity and history
// filters) or of empty boards, from a first to a last board.
#pragma once

#include "app/context.h"
#include "generate/generator.h"

#include <QColor>
#include <QDialog>
#include <QString>

#include <utility>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace orvenix {

// Background colours of the result fields.
inline constexpr QRgb kResultFieldColour = 0xFFC0F0FF; // light blue: the filter is on, no run yet
inline constexpr QRgb kResultGoodColour = 0xFF00FF00;  // nothing (or few shapes) rejected
inline constexpr QRgb kResultBadColour = 0xFFFF0000;   // candidates were rejected

// A board number box may hold this text: empty, or digits only, not starting with 0, at most 999.
bool GenerateNumberAllowed(const QString& text);

class Generate : public QDialog {
    Q_OBJECT

  public:
    explicit Generate(AppContext& ctx, QWidget* parent = nullptr);
    ~Generate() override;
    Generate(const Generate&) = delete;
    Generate& operator=(const Generate&) = delete;

    // The outcome of the last run of cmdDeal (Refused before any run).
    [[nodiscard]] const GenerateResult& lastResult() const { return result_; }
    // True while a run is going on.
    [[nodiscard]] bool busy() const { return busy_; }
    // Test hook: where the candidates come from (default: the program's random deal).
    void SetCandidateSource(CandidateSource source) { candidates_ = std::move(source); }
    // The colour of a disabled filter's text boxes: the system's scroll-bar grey.
    static QColor DisabledFieldColour();

  public slots:
    void cmdDeal_Click();
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct FilterFields {
        QGroupBox* frame = nullptr;
        QCheckBox* check = nullptr;
        std::vector<QLineEdit*> boxes;
        std::vector<QLabel*> labels;
    };

    void BuildControls();
    void NumberChanged(QLineEdit* box, QString& lastAccepted);
    void GenerateOption_Click();
    void FilterCheck_Click(FilterFields& filter);
    void ShowResults(const GenerateResult& r);
    void MakeDefaultButton(QPushButton* button);

    AppContext& ctx_;
    GenerateResult result_;
    CandidateSource candidates_;
    bool busy_ = false;
    bool activated_ = false;
    QString lastFirst_ = "1";
    QString lastLast_ = "32";

    QLabel* lblFirst = nullptr;
    QLineEdit* txtFirstBoard = nullptr;
    QLabel* lblLast = nullptr;
    QLineEdit* txtLastBoard = nullptr;
    QRadioButton* generate_yes = nullptr;
    QRadioButton* generate_no = nullptr;
    QGroupBox* FrameShp = nullptr;
    QCheckBox* Reject_shape = nullptr;
    QLabel* lblShpRejects = nullptr;
    QLineEdit* txtShpRejects = nullptr;
    QGroupBox* FrameInn = nullptr;
    QCheckBox* Reject_inner = nullptr;
    QLabel* lblInnRejects = nullptr;
    QLineEdit* txtInnRejects = nullptr;
    QLabel* lblInnSim = nullptr;
    QLineEdit* txtInnSim = nullptr;
    QGroupBox* FrameHis = nullptr;
    QCheckBox* Reject_history = nullptr;
    QLabel* lblHisRejects = nullptr;
    QLineEdit* txtHisRejects = nullptr;
    QLabel* lblHistoricSimilarity = nullptr;
    QLineEdit* txtOuSim = nullptr;
    QLabel* lblHistFile = nullptr;
    QLineEdit* txtOuDeals = nullptr;
    QLabel* lblBoardsGen = nullptr;
    QLineEdit* BoardsGen = nullptr;
    QPushButton* cmdDeal = nullptr;
    QPushButton* cmdExit = nullptr;

    FilterFields shapeFields_;
    FilterFields innerFields_;
    FilterFields historyFields_;
};

} // namespace orvenix
