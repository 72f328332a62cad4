// The board editor window: one board of the set at a time, typed suit by suit or clicked card by card,
// with the hand operations, the random fill, moving through the set, the set operations and the stack.
#pragma once

#include "app/context.h"
#include "editor/board_editor.h"

#include <QColor>
#include <QDialog>
#include <QString>

#include <array>
#include <thread>
#include <vector>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QWidget;

namespace orvenix {

// Colours of the window.
inline constexpr QRgb kEditCountComplete = 0xFF00FF00;    // a hand of 13 cards
inline constexpr QRgb kEditCountIncomplete = 0xFFFF0000;  // any other count
inline constexpr QRgb kEditFocusColour = 0xFFFFFF00;      // the suit box with the focus
inline constexpr QRgb kEditBoxColour = 0xFFFFFFFF;        // the other suit boxes
inline constexpr QRgb kEditVulnerableColour = 0xFFFF0000; // captions of vulnerable hands

class EditorWindow : public QDialog {
    Q_OBJECT

  public:
    explicit EditorWindow(AppContext& ctx, QWidget* parent = nullptr);
    ~EditorWindow() override;
    EditorWindow(const EditorWindow&) = delete;
    EditorWindow& operator=(const EditorWindow&) = delete;

    // Loads the working copy from the set and shows it.
    void DisplayBoard();

    [[nodiscard]] const BoardEditor& editor() const { return editor_; }
    [[nodiscard]] int currentSuitBox() const { return currentSuitBox_; }
    [[nodiscard]] bool noFileName() const { return editor_.noFileName(); }

  public slots:
    void done(int result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    void RefreshEditor();
    void UpdateCounts();
    void ShowDealer(int seat);
    void ShowVulnerability(int vulnerability);
    void ShowPosition();
    void onSuitTextChanged(int index);
    void SuitBoxFocus(int index, bool in);
    void onCardClicked(int index);
    void onSwapClicked(int index);
    void onFillClicked();
    void onRandomClicked();
    void onAcceptClicked();
    void onRestoreClicked();
    void Navigate(bool (BoardEditor::*move)());
    void SetOperation(bool (BoardEditor::*operation)());
    void onPushClicked();
    void onPopClicked();
    void EnterPressed();
    void onFocusTimer();
    void StartFocusTimer();

    AppContext& ctx_;
    BoardEditor editor_;
    int currentSuitBox_ = -1;
    bool updating_ = false;
    bool busy_ = false; // the random fill is running and lets events through
    QString countText_; // last accepted text of countBox_

    QWidget* content_ = nullptr;
    std::array<QLineEdit*, 16> suitBoxes_{};
    std::array<QPushButton*, 13> cardButtons_{};
    std::array<QLabel*, 4> spadeSymbols_{}, heartSymbols_{}, diamondSymbols_{}, clubSymbols_{};
    std::array<QLabel*, 4> handCaptions_{};
    std::array<QLabel*, 4> cardCountLabels_{};
    std::array<QLabel*, 4> pointsLabels_{};
    std::array<QLabel*, 4> spareLabels_{};
    std::array<QLabel*, 4> spareSymbols_{};
    std::array<QLabel*, 4> dealerMarkers_{};
    QGroupBox* dealerFrame_ = nullptr;
    QGroupBox* vulnerabilityFrame_ = nullptr;
    QLabel* dealerLabel_ = nullptr;
    QLabel* vulnerabilityLabel_ = nullptr;
    std::array<QPushButton*, 8> swapButtons_{};
    QPushButton* fillButton_ = nullptr;
    QPushButton* randomButton_ = nullptr;
    QLineEdit* countBox_ = nullptr;
    QLabel* countLabel_ = nullptr;
    QPushButton* acceptButton_ = nullptr;
    QPushButton* restoreButton_ = nullptr;
    QLineEdit* currentBoardBox_ = nullptr;
    QLineEdit* firstBoardBox_ = nullptr;
    QLineEdit* lastBoardBox_ = nullptr;
    QLineEdit* totalBoardsBox_ = nullptr;
    QPushButton* firstButton_ = nullptr;
    QPushButton* previousButton_ = nullptr;
    QPushButton* nextButton_ = nullptr;
    QPushButton* lastButton_ = nullptr;
    QGroupBox* setFrame_ = nullptr;
    QPushButton* insertButton_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    QPushButton* shiftLeftButton_ = nullptr;
    QPushButton* shiftRightButton_ = nullptr;
    QGroupBox* stackFrame_ = nullptr;
    QPushButton* pushButton_ = nullptr;
    QPushButton* popButton_ = nullptr;
    QLabel* stackCountLabel_ = nullptr;
    QLineEdit* fileNameBox_ = nullptr;
    QPushButton* exitButton_ = nullptr;
    QTimer* focusTimer_ = nullptr;

    // Double-dummy table and par of the working board when it is complete: shown at once from the
    // run's cache, otherwise solved on a worker thread when asked for, so typing never waits.
    // The table has its own place below West and left of South, of one size whether it is filled or not.
    void BuildDoubleDummyTable();
    void ShowDoubleDummy();
    void onDoubleDummyClicked();
    QPushButton* doubleDummyButton_ = nullptr;
    QFrame* ddFrame_ = nullptr;
    std::vector<QLabel*> ddHeadings_;                  // strains and seat letters
    std::array<std::array<QLabel*, 5>, 4> ddTricks_{}; // [seat N, E, S, W][strain C, D, H, S, NT]
    QLabel* doubleDummyLabel_ = nullptr;               // the par, or why there is no table
    std::thread ddWorker_;
    bool ddRunning_ = false;
};

} // namespace orvenix
