// The emulated machine's control panel: a small window beside the dealing window when the program runs on
// the built-in emulated machine. It does what an operator does at a real machine (press the foot pedal,
// insert or take out the card box, put in a board with its label, put in a stack of cards to read) and
// what a demonstration needs (a machine error at a chosen card, a broken link, the dealing pace).
#pragma once

#include <QWidget>

#include <cstdint>
#include <random>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace orvenix {

class EmulatedMachine;

class EmulatorPanel : public QWidget {
    Q_OBJECT

  public:
    EmulatorPanel(EmulatedMachine& machine, QWidget* parent = nullptr);

    // Shows the panel beside `window` (the dealing or maintenance window it serves) on that window's
    // screen, never over it, now if the window is shown, else when it is; again whenever it is shown, and
    // whenever the window grows or moves onto it.
    void ShowBeside(QWidget* window);
    // Moves the panel next to the window: on its right, else its left, below or above, whichever side
    // has room on the screen; with no room on any side the window moves to make room.
    void PlaceBeside(QWidget* window);

    // The stack put in by "Put in a stack to read", top card first.
    [[nodiscard]] const std::vector<std::uint8_t>& LastStack() const { return lastStack_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Said(const QString& text);

    EmulatedMachine& machine_;
    QWidget* served_ = nullptr;
    std::mt19937 random_;
    std::vector<std::uint8_t> lastStack_;
    QSpinBox* boardNumber = nullptr;
    QSpinBox* errorCode = nullptr;
    QSpinBox* errorCard = nullptr;
    QSpinBox* cardPace = nullptr;
    QCheckBox* linkBroken = nullptr;
    QLabel* lastAction = nullptr;
};

} // namespace orvenix
