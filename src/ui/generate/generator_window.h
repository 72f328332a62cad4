// The generator window: a new board set of random deals (with the shape, inner-similarity and history
// filters) or of empty boards, from a first to a last board.
#pragma once

#include "app/context.h"
#include "generate/generator.h"

#include <QColor>
#include <QDialog>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace Ui {
class GeneratorWindow;
}

namespace orvenix {

// Background colours of the result fields.
inline constexpr QRgb kResultFieldColour = 0xFFC0F0FF; // light blue: the filter is on, no run yet
inline constexpr QRgb kResultGoodColour = 0xFF00FF00;  // nothing (or few shapes) rejected
inline constexpr QRgb kResultBadColour = 0xFFFF0000;   // candidates were rejected

// A board number box may hold this text: empty, or digits only, not starting with 0, at most 999.
bool GenerateNumberAllowed(const QString& text);

class GeneratorWindow : public QDialog {
    Q_OBJECT

  public:
    explicit GeneratorWindow(AppContext& ctx, QWidget* parent = nullptr);
    ~GeneratorWindow() override;
    GeneratorWindow(const GeneratorWindow&) = delete;
    GeneratorWindow& operator=(const GeneratorWindow&) = delete;

    // The outcome of the last run (Refused before any run).
    [[nodiscard]] const GenerateResult& lastResult() const { return result_; }
    // True while a run is going on.
    [[nodiscard]] bool busy() const { return busy_; }
    // Test hook: where the candidates come from (default: the program's random deal).
    void SetCandidateSource(CandidateSource source) { candidates_ = std::move(source); }
    // The colour of a disabled filter's text boxes: the system's scroll-bar grey.
    static QColor DisabledFieldColour();

  public slots:
    // The Generate Boards button: makes the boards from the first to the last with the chosen filters.
    void onGenerateClicked();
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

    void NumberChanged(QLineEdit* box, QString& lastAccepted);
    void onModeToggled();
    void onFilterToggled(FilterFields& filter);
    void ShowResults(const GenerateResult& r);
    void MakeDefaultButton(QPushButton* button);
    // Enter runs Generate while the board range can be generated, unless the last run made Exit the
    // default button.
    void UpdateDefaultButton();

    AppContext& ctx_;
    GenerateResult result_;
    CandidateSource candidates_;
    bool busy_ = false;
    bool activated_ = false;
    bool generateByDefault_ = true;
    QString lastFirst_ = "1";
    QString lastLast_ = "32";

    std::unique_ptr<Ui::GeneratorWindow> ui_;
    QLineEdit* firstBoardBox_ = nullptr;
    QLineEdit* lastBoardBox_ = nullptr;
    QRadioButton* randomBoardsOption_ = nullptr;
    QRadioButton* emptyBoardsOption_ = nullptr;
    QCheckBox* rejectShapeCheck_ = nullptr;
    QLineEdit* shapeRejectsBox_ = nullptr;
    QCheckBox* rejectInnerCheck_ = nullptr;
    QLineEdit* innerRejectsBox_ = nullptr;
    QLineEdit* innerSimilarityBox_ = nullptr;
    QCheckBox* rejectHistoryCheck_ = nullptr;
    QLineEdit* historyRejectsBox_ = nullptr;
    QLineEdit* historySimilarityBox_ = nullptr;
    QLineEdit* historyFileBox_ = nullptr;
    QLineEdit* generatedCountBox_ = nullptr;
    QPushButton* generateButton_ = nullptr;
    QPushButton* exitButton_ = nullptr;

    FilterFields shapeFields_;
    FilterFields innerFields_;
    FilterFields historyFields_;
};

} // namespace orvenix
