// `DealingWindow`: the dealing and reading window. It shows the current board, the machine's state, the
// cards counted into each pocket and the time a step takes, and lets the operator move through the
// boards, start a step by button, foot pedal or card box, break a running step, clear a board in read
// mode and choose the card-recognition options. The logic is the core's DealingSession; this window
// shows its display and forwards the controls and the timers `pollTimer` (status poll, 100 ms),
// `waitTimer` (the one-shot wait) and `startupTimer` (start-up exchange, 2000 ms after opening) to it.
//
// Control arrays are named with their index: `lblHCP_0` … `lblHCP_3` (N, E, S, W), `Label2_0` …
// `Label2_3`, and `lblCnt_0` … `lblCnt_3` (pockets N, E, W, S).
#pragma once

#include "dealing/session.h"

#include <QDialog>
#include <QStringList>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace orvenix {

class Clock;
class Dialogs;
class EmulatedMachine;
class EmulatorPanel;
class MachineLink;
class Settings;
struct BoardSet;

// `Picture1`: the drawing of the current board on a cyan ground.
class BoardDrawing : public QWidget {
    Q_OBJECT

  public:
    explicit BoardDrawing(QWidget* parent = nullptr);
    void SetPicture(const BoardPicture& picture);
    [[nodiscard]] const BoardPicture& Picture() const { return picture_; }
    // The texts of the drawing in drawing order: the seat letters "N", "E", "S", "W", the board, vul and
    // dealer texts, then (when the hands are shown) one line per seat N, E, S, W and suit, each the suit's
    // symbol followed by its cards.
    [[nodiscard]] QStringList Texts() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    BoardPicture picture_;
};

// The suit symbols ♠ ♥ ♦ ♣ of the drawing, spades first.
QString SuitSymbol(int suitIndex);

class DealingWindow : public QDialog, public SessionView {
    Q_OBJECT

  public:
    // The link must be open; the window closes it when it closes. saveBoardSet runs the main window's
    // Save command (Yes to saving after the last board read). clock times the steps.
    DealingWindow(SessionMode mode, BoardSet& set, MachineLink& link, Clock& clock, Settings& settings,
                  Dialogs& dialogs, std::function<void()> saveBoardSet, QWidget* parent = nullptr);
    ~DealingWindow() override;
    DealingWindow(const DealingWindow&) = delete;
    DealingWindow& operator=(const DealingWindow&) = delete;

    [[nodiscard]] DealingSession& session() { return *session_; }
    // True once the window has closed (and the link with it).
    [[nodiscard]] bool closed() const { return closing_; }
    // Shows the emulated machine's control panel beside the window (and beside the error dialog while
    // that is open). Returns the panel.
    EmulatorPanel* ShowEmulatorPanel(EmulatedMachine& machine);

    // Timer handlers (tests call them directly).
    void onPollTimer();
    void onStartupTimer();

    QTimer pollTimer;
    QTimer waitTimer;
    QTimer startupTimer;

    // ---- SessionView --------------------------------------------------------------------------------
    void Refresh(unsigned parts) override;
    void SetPollTimer(bool running) override;
    void Wait(int ms) override;
    void ProcessEvents() override;
    void RunErrorDialog(ErrorDialog& dialog) override;
    void CloseWindow() override;
    void SaveBoardSet() override;

  public slots:
    // The window does not close while a step runs, unless the step itself asked for it.
    void done(int result) override;

  private:
    void BuildControls();
    void ShowOptions();
    void Shut();
    // Runs a control's command unless a step is running (only Break goes through then).
    void WhenIdle(const std::function<void()>& command);

    MachineLink& link_;
    Clock& clock_;
    EmulatorPanel* panel_ = nullptr;
    std::function<void()> saveBoardSet_;
    std::unique_ptr<DealingSession> session_;
    bool closing_ = false;

    QLineEdit* txtFile = nullptr;
    BoardDrawing* Picture1 = nullptr;
    std::array<QLabel*, 4> lblHCP{};
    std::array<QLabel*, 4> Label2{};
    std::array<QLabel*, 4> lblCnt{};
    QLineEdit* txtStatus = nullptr;
    QLineEdit* txtDealTime = nullptr;
    QPushButton* cmdDeal = nullptr;
    QPushButton* Deal_next = nullptr;
    QPushButton* cmdBreak = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdFirst = nullptr;
    QPushButton* cmdPrev = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdLast = nullptr;
    QPushButton* cmdExit = nullptr;
    QPushButton* Disp_boards = nullptr;
    QRadioButton* read_mode1 = nullptr;
    QRadioButton* read_mode2 = nullptr;
    QCheckBox* Start_from_box = nullptr;
    QCheckBox* Check_board = nullptr;
    std::array<QRadioButton*, kNationalSets> National{};
    std::array<QRadioButton*, 2> CardType{};
    std::array<QRadioButton*, 3> Threshold{};
    QRadioButton* Card_Index_st = nullptr;
    QRadioButton* Card_Index_j = nullptr;
    std::array<QGroupBox*, 4> optionFrames{};
};

} // namespace orvenix
