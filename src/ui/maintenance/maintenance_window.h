// The `Maintenance` window ("Dealer Maintenance"): the machine's identity, version, sensors, motors and
// temperatures, the outputs switched by hand, the recognition parameters, capture and recognition with
// the camera picture, the card-setting options shared with dealing, and the firmware download. The
// exchanges are the core's MaintenanceSession; this window only shows its fields and drives it from the
// timers `startupTimer` (start-up, once, 2000 ms), `pollTimer` (sensors, every 50 ms) and `delayTimer`
// (waits).
#pragma once

#include "maintenance/maintenance.h"

#include <QDialog>
#include <QImage>
#include <QString>
#include <QTimer>

#include <array>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace orvenix {

class Dialogs;
class EmulatedMachine;
class EmulatorPanel;
class MachineLink;
class Settings;
class PictureBox;

class MaintenanceWindow : public QDialog {
    Q_OBJECT

  public:
    // The link must be open. The connect sequence runs at once and starts `startupTimer`.
    MaintenanceWindow(MachineLink& link, Dialogs& dialogs, Settings& settings, QWidget* parent = nullptr);
    ~MaintenanceWindow() override;
    MaintenanceWindow(const MaintenanceWindow&) = delete;
    MaintenanceWindow& operator=(const MaintenanceWindow&) = delete;

    [[nodiscard]] MaintenanceSession& session() { return session_; }
    [[nodiscard]] const QImage& picture() const { return image_; }
    // Shows the emulated machine's control panel beside the window. Returns the panel.
    EmulatorPanel* ShowEmulatorPanel(EmulatedMachine& machine);
    // The wait after a firmware download before connecting anew (500 ms; tests shorten it).
    int downloadDelayMs = 500;

    // ---- Timer and button handlers (tests call the timer ticks directly) --------------------------
    void onStartupTimer();
    void onPollTimer();
    void onFeedCardClicked();
    void onRecognizeClicked();
    void onCaptureClicked();
    void onShowPictureClicked();
    void onGetParametersClicked();
    void onSaveParametersClicked();
    void onFrameDrawClicked();
    void onStartDrawClicked();
    void onDownloadClicked();
    // Keeps processing window events for ms milliseconds (`delayTimer`).
    void MaintenanceDelay(int ms);

    QTimer startupTimer;
    QTimer pollTimer;
    QTimer delayTimer;

  public slots:
    void done(int result) override;

  private:
    void BuildControls();
    void Refresh();
    void SyncOptions();
    void ConnectSequence();
    // Closes the window after a lost link (the session has shown the message).
    bool Check(bool ok);
    void DrawLine(int line, const std::uint8_t* pixels, int mode);
    void ShowPicture();
    void ParametersEdited();
    void ShowTransfer(bool shown);

    MachineLink& link_;
    Dialogs& dialogs_;
    MaintenanceSession session_;
    QImage image_;
    bool updating_ = false;
    bool closing_ = false;
    bool downloading_ = false;
    EmulatorPanel* panel_ = nullptr;

    QLineEdit* txtUSB_ID = nullptr;
    QLineEdit* Soft_ver = nullptr;
    QLineEdit* Down_ID = nullptr;
    QLineEdit* Flash_ID_text = nullptr;
    QLineEdit* Serial_number = nullptr;
    QLineEdit* Hardware_ID = nullptr;
    QLineEdit* Manuf_date = nullptr;
    QLineEdit* Boards_dealed = nullptr;
    std::array<QLineEdit*, 5> Photo{};
    QLineEdit* Front_Switch = nullptr;
    QLineEdit* Cover_Switch = nullptr;
    QLineEdit* Box_Switch = nullptr;
    QLineEdit* Flip_Switch = nullptr;
    std::array<QLineEdit*, 4> Motor_speed{};
    QLineEdit* Inside_temp = nullptr;
    QLineEdit* Supply_volt = nullptr;
    std::array<QLineEdit*, 4> PWM_motor{};
    QLineEdit* Board_no_txt = nullptr;
    QLineEdit* Board_no_test_txt = nullptr;
    std::array<QCheckBox*, 8> outputBoxes{};
    std::array<std::array<QLineEdit*, 4>, 3> parameterBoxes{};
    QLineEdit* param_ID = nullptr;
    QCheckBox* Ignore_flip = nullptr;
    QCheckBox* Ignore_box = nullptr;
    QLineEdit* Reco_time = nullptr;
    QLineEdit* Symbol = nullptr;
    QLineEdit* Suit = nullptr;
    QLineEdit* Threshold = nullptr;
    QLineEdit* Reco_error = nullptr;
    QLineEdit* Reco_param1 = nullptr;
    QLineEdit* Reco_param2 = nullptr;
    QLineEdit* Symbol_size_x = nullptr;
    QLineEdit* Symbol_size_y = nullptr;
    QLineEdit* Suit_size_x = nullptr;
    QLineEdit* Suit_size_y = nullptr;
    QLineEdit* Cap_time = nullptr;
    QLineEdit* Cur_x = nullptr;
    QLineEdit* Cur_y = nullptr;
    QLineEdit* Brightness = nullptr;
    PictureBox* Picture1 = nullptr;
    QPushButton* Get_param = nullptr;
    QPushButton* save_param = nullptr;
    QPushButton* Capture = nullptr;
    QPushButton* Showb = nullptr;
    QPushButton* Feed_card = nullptr;
    QPushButton* Reco = nullptr;
    QPushButton* Frame_draw = nullptr;
    QPushButton* Start_draw = nullptr;
    QPushButton* Download = nullptr;
    QPushButton* Exit = nullptr;
    std::array<QRadioButton*, kNationalSets> National{};
    std::array<QRadioButton*, 2> CardType{};
    std::array<QRadioButton*, 3> ThresholdOption{};
    QRadioButton* Card_Index_st = nullptr;
    QRadioButton* Card_Index_j = nullptr;
    std::array<QGroupBox*, 4> optionFrames{};
    QLabel* lblFrames = nullptr;
    QLabel* lblSum = nullptr;
    QLabel* lblComm = nullptr;
    QLabel* lblProg = nullptr;
    QProgressBar* Download_bar = nullptr;
};

} // namespace orvenix
