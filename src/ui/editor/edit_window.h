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

class Edit : public QDialog {
    Q_OBJECT

  public:
    explicit Edit(AppContext& ctx, QWidget* parent = nullptr);
    ~Edit() override;
    Edit(const Edit&) = delete;
    Edit& operator=(const Edit&) = delete;

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
    void SuitTextChanged(int index);
    void SuitBoxFocus(int index, bool in);
    void cmdCard_Click(int index);
    void cmdSwap_Click(int index);
    void cmdFill_Click();
    void cmdRandom_Click();
    void cmdAccept_Click();
    void cmdRestore_Click();
    void Navigate(bool (BoardEditor::*move)());
    void SetOperation(bool (BoardEditor::*operation)());
    void cmdPush_Click();
    void cmdPop_Click();
    void EnterPressed();
    void Timer3_Timer();
    void StartTimer3();

    AppContext& ctx_;
    BoardEditor editor_;
    int currentSuitBox_ = -1;
    bool updating_ = false;
    bool busy_ = false; // the random fill is running and lets events through
    QString countText_; // last accepted text of txtCount

    QWidget* content_ = nullptr;
    std::array<QLineEdit*, 16> txtSuit{};
    std::array<QPushButton*, 13> cmdCard{};
    std::array<QLabel*, 4> lblS{}, lblH{}, lblD{}, lblC{};
    std::array<QLabel*, 4> lblHand{};
    std::array<QLabel*, 4> lblCnt{};
    std::array<QLabel*, 4> lblHCP{};
    std::array<QLabel*, 4> lblSpare{};
    std::array<QLabel*, 4> lblSpareSymbol{};
    std::array<QLabel*, 4> lblDealer{};
    QGroupBox* fraDealer = nullptr;
    QGroupBox* fraVuln = nullptr;
    QLabel* lblDeal = nullptr;
    QLabel* lblVul = nullptr;
    std::array<QPushButton*, 8> cmdSwap{};
    QPushButton* cmdFill = nullptr;
    QPushButton* cmdRandom = nullptr;
    QLineEdit* txtCount = nullptr;
    QLabel* lblCount = nullptr;
    QPushButton* cmdAccept = nullptr;
    QPushButton* cmdRestore = nullptr;
    QLineEdit* txtCurrentBoard = nullptr;
    QLineEdit* txtFirstBoard = nullptr;
    QLineEdit* txtLastBoard = nullptr;
    QLineEdit* txtTotalBoards = nullptr;
    QPushButton* cmdFirst = nullptr;
    QPushButton* cmdPrev = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdLast = nullptr;
    QGroupBox* fraSet = nullptr;
    QPushButton* cmdInsert = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdShiftLeft = nullptr;
    QPushButton* cmdShiftRight = nullptr;
    QGroupBox* fraStack = nullptr;
    QPushButton* cmdPush = nullptr;
    QPushButton* cmdPop = nullptr;
    QLabel* lblStackCnt = nullptr;
    QLineEdit* txtFileName = nullptr;
    QPushButton* cmdExit = nullptr;
    QTimer* Timer3 = nullptr;

    // Double-dummy table and par of the working board when it is complete: shown at once from the
    // run's cache, otherwise solved on a worker thread when asked for, so typing never waits.
    void ShowDoubleDummy();
    void cmdDoubleDummy_Click();
    QPushButton* cmdDoubleDummy = nullptr;
    QLabel* lblDoubleDummy = nullptr;
    std::thread ddWorker_;
    bool ddRunning_ = false;
};

} // namespace orvenix
