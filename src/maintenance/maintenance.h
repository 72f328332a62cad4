// The maintenance window's exchanges with the machine and everything they fill, without any window: the
// start-up exchange, the sensor request with the outputs byte, recognise, capture, the image lines,
// reading and writing parameter sets, and the card-index choice with its option-word and firmware rules.
// The `Maintenance` window shows the fields and calls these operations from its timers and buttons; the
// busy flag keeps them from interleaving.
#pragma once

#include "dealing/card_settings.h"
#include "machine/link.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace orvenix {

class Dialogs;
class Settings;

// Bits of the outputs byte sent with every sensor request.
enum OutputBit : std::uint8_t {
    kOutMotors = 1,
    kOutGate1 = 2,
    kOutGate2 = 4,
    kOutGate3 = 8,
    kOutCamLeds = 16,
    kOutCamPower = 32,
    kOutFrontGreenLed = 64,
    kOutFrontRedLed = 128,
};

// Colours of the sensor display (red, green, blue).
struct Rgb {
    int r = 255, g = 255, b = 255;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
inline constexpr Rgb kLightRed{255, 64, 64};
inline constexpr Rgb kLightGreen{128, 255, 128};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kFrameRed{255, 0, 0};

// A switch shown as "ON" on light green or "OFF" on light red; empty until the machine reported it.
struct SwitchField {
    std::string text;
    Rgb colour = kWhite;
};

// Image modes: 0 grey picture (set by capture), 1 two-level picture (set by recognise).
enum ImageMode : int { kImageGrey = 0, kImageTwoLevel = 1 };

// Everything the window shows, as the machine's replies filled it.
struct MaintenanceFields {
    // Identity and version.
    std::string txtUSB_ID, Soft_ver, Down_ID, Flash_ID_text, Serial_number, Hardware_ID, Manuf_date,
        Boards_dealed;
    // Sensors and switches.
    std::array<std::string, 5> Photo{};
    std::array<Rgb, 5> photoColour{};
    SwitchField Front_Switch, Cover_Switch, Box_Switch, Flip_Switch;
    // Motors, temperature, supply, PWM.
    std::array<std::string, 4> motorSpeed{};
    std::array<Rgb, 4> motorColour{};
    std::string Inside_temp, Supply_volt;
    std::array<std::string, 4> PWM_motor{};
    std::string Board_no_txt, Board_no_test_txt;
    // Parameter sets of the chosen group, by position in the group (sets 1/5, 2/6, 3/7): pos_x, pos_y,
    // start_x, start_y; Sym_x_max, Sym_y_max, Sym_x_min, Sym_y_min; Suit_x_max, Suit_y_max, Suit_x_min,
    // Suit_y_min.
    std::array<std::array<std::string, 4>, 3> parameters{};
    std::string param_ID;
    bool Ignore_flip = false;
    bool Ignore_box = false;
    bool ignoreEnabled = false;
    // Recognition and capture.
    std::string Reco_time, Symbol, Suit, Threshold, Reco_error, Reco_param1, Reco_param2;
    std::string Symbol_size_x, Symbol_size_y, Suit_size_x, Suit_size_y, Cap_time;
    std::array<std::uint8_t, 4> symbolBox{};
    std::array<std::uint8_t, 4> suitBox{};
};

// The text of a recognised symbol byte: 0x0E "A", 0x0D "K", 0x0C "Q", 0x0B "J", 2 to 10 as a number.
std::string SymbolText(std::uint8_t code);
// The text of a recognised suit byte: 1 "S", 2 "H", 3 "D", 4 "C".
std::string SuitText(std::uint8_t code);
// A 15-bit value of tenths as value div 10 "." value mod 10.
std::string TenthsText(int value);

class MaintenanceSession {
  public:
    MaintenanceSession(MachineLink& link, Dialogs& dialogs, Settings& settings);
    ~MaintenanceSession();
    MaintenanceSession(const MaintenanceSession&) = delete;
    MaintenanceSession& operator=(const MaintenanceSession&) = delete;

    // ---- Operations; each returns false once the link is lost (the window then closes) ----------------
    // The connect sequence: clears the fields, shows the USB identity, loads the card options from the
    // settings and switches the latch on. The window then starts its start-up timer.
    void Connect();
    // The single tick of the start-up timer: info, parameter blocks 1 and 2, counters, and when the machine has a
    // download identity the switch overrides, the index rule and the parameter sets of the group.
    bool StartupExchange();
    // The sensor poll (feed false) and Feed card (feed true): outputs and sensors, then the motor parts the
    // firmware knows.
    bool SensorRequest(bool feed);
    bool Recognise();
    bool Capture();
    // `Showb`: asks for the image; every image line that arrives is drawn.
    bool ShowImage();
    // Reads the four parameter sets of the chosen group.
    bool ReadParameters();
    // Save parameters: writes sets 1, 2, 4, 3 (or 5, 6, 8, 7) from the fields, shows "Parameters updated OK"
    // and reads them back. A value that is not a whole number 0 to 255 is refused before anything is sent.
    bool SaveParameters();
    // The card-setting options: each stores its choice at once. The large index is checked against the
    // option word and the firmware ("Maintenance Error"); a change of index reads the new group's sets.
    bool ChooseNational(int national);
    bool ChooseCardType(int type);
    bool ChooseThreshold(int threshold);
    bool ChooseCardIndex(int index);
    // Closing: the latch off and the link closed.
    void Close();

    // ---- State ------------------------------------------------------------------------------------------
    [[nodiscard]] const MaintenanceFields& Fields() const { return fields_; }
    MaintenanceFields& MutableFields() { return fields_; }
    [[nodiscard]] bool Busy() const { return busy_; }
    void SetBusy(bool busy) { busy_ = busy; }
    [[nodiscard]] bool LinkLost() const { return linkLost_; }
    [[nodiscard]] int ImageModeNow() const { return imageMode_; }
    [[nodiscard]] const CardOptions& Options() const { return options_; }
    // The first parameter set of the chosen group: 1 (standard index) or 5 (large index).
    [[nodiscard]] int GroupBase() const { return options_.cardIndex == 1 ? 5 : 1; }
    // The buttons and options that need a machine with a download identity, and `Download`.
    [[nodiscard]] bool ControlsEnabled() const { return controlsEnabled_; }
    [[nodiscard]] bool DownloadEnabled() const { return downloadEnabled_; }
    void DisableAfterDownload();
    std::uint8_t outputs = 0;
    // True when the recognition result reads "OK" (the frame drawing is allowed).
    [[nodiscard]] bool RecognitionOk() const { return fields_.Reco_error == "OK"; }
    MachineLink& Link() { return link_; }

    // ---- Window hooks -------------------------------------------------------------------------------------
    // A reply changed the fields.
    std::function<void()> changed;
    // One image line: line number, 128 pixels, the image mode it is drawn in.
    std::function<void(int, const std::uint8_t*, int)> imageLine;
    // The card options changed (a refused choice is undone before its message).
    std::function<void()> optionsChanged;

  private:
    void Decode(const PacketBuffer& p, std::size_t size);
    // One command with the exchange rule; a second failure shows the lost-link message once.
    bool Command(std::uint8_t code, std::initializer_list<std::uint8_t> parameters);
    bool Lost();
    void Changed() {
        if (changed) changed();
    }
    void ClearResults();

    MachineLink& link_;
    Dialogs& dialogs_;
    Settings& settings_;
    MaintenanceFields fields_;
    CardOptions options_;
    bool busy_ = false;
    bool linkLost_ = false;
    bool controlsEnabled_ = false;
    bool downloadEnabled_ = false;
    int imageMode_ = kImageGrey;
    int imageLines_ = 0;
    std::function<void(const PacketBuffer&, std::size_t)> previousHook_;
};

} // namespace orvenix
