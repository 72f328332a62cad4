// The maintenance window on the emulated machine in virtual time (the timer ticks are called directly):
// the start-up exchange enables the controls, each control reaches the machine and its answer reaches the
// boxes and the picture, a download connects anew, and a lost link or Exit closes the link.
#include "ui/maintenance/maintenance_window.h"

#include "machine/emulated_si.h"
#include "support/firmware_files.h"
#include "support/window_test.h"

#include <QMouseEvent>

namespace orvenix {
namespace {

class MaintenanceWindowTest : public ::testing::Test {
  protected:
    void Open(EmulatorConfig config = {}, bool start = true) {
        window.reset(); // before the link it borrows
        link = std::make_unique<MachineLink>(
            std::make_unique<EmulatedSi>(std::make_unique<VirtualClock>(), config), dialogs);
        link->Open(kLinkTimeoutMs);
        window = std::make_unique<MaintenanceWindow>(*link, dialogs, settings);
        window->downloadDelayMs = 0;
        if (start) window->onStartupTimer();
    }
    void TearDown() override {
        if (window) window->reject();
    }
    EmulatedMachine& machine() { return static_cast<EmulatedSi&>(link->Si()).Machine(); }
    template <typename T = QWidget> T* Get(const char* name) { return test::Child<T>(window.get(), name); }
    std::string Text(const char* name) { return Get<QLineEdit>(name)->text().toStdString(); }
    void Type(const char* name, const char* text) { Get<QLineEdit>(name)->setText(text); }
    void Click(const char* name) { Get<QAbstractButton>(name)->click(); }
    void Tick(const char* name) { Get<QCheckBox>(name)->setChecked(true); }
    // A pixel of the picture: "red" for the frame colour, else its grey level.
    std::string Pixel(int x, int y) {
        const QRgb c = window->picture().pixel(x, y);
        return (c == qRgb(255, 0, 0) ? std::string("red") : std::to_string(qGray(c))) + " ";
    }

    ScriptedDialogs dialogs;
    MemorySettings settings;
    std::unique_ptr<MachineLink> link;
    std::unique_ptr<MaintenanceWindow> window;
};

// The controls wait for the start-up exchange; a machine without a download identity offers only the
// download. Each control reaches the machine and its answer the window. A programming error keeps the window
// as it was; a new firmware connects anew. A lost link, Exit and the close box all close the window: the
// polling stops, the latch drops and the link closes.
TEST_F(MaintenanceWindowTest, EachControlReachesTheMachineAndItsAnswerTheWindow) {
    test::TempDir dir;
    const std::string firmware = dir.File("new.adc");
    const auto bytes = test::FirmwareFileBytes(test::FirmwareSection(700), test::FirmwareSection(300));
    test::WriteFile(firmware, std::string(bytes.begin(), bytes.end()));
    const auto closed = [this] {
        return std::to_string(!window->isVisible() && !window->pollTimer.isActive() && !link->IsOpen() &&
                              !machine().Latch()) +
               " " + std::to_string(dialogs.messages.size());
    };
    const auto text = [this](const char* name) { return [this, name] { return Text(name); }; };
    const auto stored = [this](const char* key) { return [this, key] { return settings.values[key]; }; };
    const auto click = [this](const char* name) { return [this, name] { Click(name); }; };
    const std::string grey = std::to_string(EmulatedMachine::ImagePixel(30, 15));
    const auto controls = [this] {
        return Text("Soft_ver") + std::to_string(window->pollTimer.isActive()) +
               test::EnabledFlags(window.get(), "Download Get_param save_param Capture Showb Feed_card Reco "
                                                "National_2 Ignore_flip");
    };
    struct Row {
        const char* what;
        std::function<void()> act;
        std::function<std::string()> observe;
        std::string expected;
        EmulatorConfig config = {};
        bool start = true;
    };
    const Row rows[] = {
        {"before the start-up exchange", [] {}, controls, "0000000000", {}, false},
        {"after it", [] {}, controls, "2.401111111111"},
        {"no download identity", [] {}, controls, "2.401100000000", {.infoByte4 = 0}},
        {"Feed_card", click("Feed_card"), [this] { return std::to_string(machine().CardsFed()); }, "1"},
        {"outputs",
         [this] { Tick("Gate2"), Tick("Cam_power"), Tick("Front_Red_Led"), window->onPollTimer(); },
         [this] { return std::to_string(machine().Outputs()); }, std::to_string(4 | 32 | 128)},
        // A blocked sensor on light red.
        {"sensors", [this] { machine().Readings().photoBlocked = 1, window->onPollTimer(); },
         [this] {
             const QColor colour = Get<QLineEdit>("Photo1")->palette().color(QPalette::Base);
             return Text("Photo1") + (colour == QColor(255, 64, 64) ? " red " : " - ") + Text("Front_Switch");
         },
         "120 red ON"},
        // A value beyond a byte cannot be typed.
        {"save_param",
         [this] { Type("pos_x", "77"), Type("start_y", "300"), Tick("Ignore_flip"), Click("save_param"); },
         [this] {
             const auto set1 = machine().ParameterSet(1);
             return std::to_string(set1[0]) + " " + std::to_string(set1[3]) + " " +
                    std::to_string(machine().ParameterSet(4)[0]);
         },
         "77 8 1"},
        {"Get_param",
         [this] { Type("pos_x", "77"), Click("save_param"), Type("pos_x", "5"), Click("Get_param"); },
         text("pos_x"), "77"},
        // After a recognition the picture is two-level, ink black and background white, and the boxes at
        // the minimum corners of their windows, (20, 10) sized 21 x 31 and (22, 52); a cross at the first
        // set's start, (24, 8), three pixels each way.
        {"Reco, Showb, Frame_draw and Start_draw",
         [this] { Click("Reco"), Click("Showb"), Click("Frame_draw"), Click("Start_draw"); },
         [this] {
             return Text("Symbol") + " " + Pixel(20, 10) + Pixel(40, 10) + Pixel(20, 40) + Pixel(22, 52) +
                    Pixel(30, 15) + Pixel(5, 5) + Pixel(21, 8) + Pixel(24, 11) + Pixel(25, 9);
         },
         "A red red red red 0 255 red red 255 "},
        {"Frame_draw after a failed recognition",
         [this] { machine().Readings().recognitionError = 7, Click("Reco"), Click("Frame_draw"); },
         [this] { return Text("Reco_error") + " " + Pixel(20, 10); }, "7 255 "},
        // The picture is drawn twice its size; the pointer over it shows the pixel under it.
        {"Capture, Showb and the pointer over the picture",
         [this] {
             Click("Capture"), Click("Showb");
             QMouseEvent move(QEvent::MouseMove, QPointF(2 * 30 + 1, 2 * 15), QPointF(), Qt::NoButton,
                              Qt::NoButton, Qt::NoModifier);
             QApplication::sendEvent(Get("Picture1"), &move);
         },
         [this] {
             return Pixel(30, 15) + Pixel(5, 5) + Text("Cur_x") + " " + Text("Cur_y") + " " +
                    Text("Brightness");
         },
         grey + " " + std::to_string(EmulatedMachine::ImagePixel(5, 5)) + " 30 15 " + grey},
        {"National_3", click("National_3"), stored(keys::kNational), "2"},
        {"CardType_2", click("CardType_2"), stored(keys::kCardType), "1"},
        {"Threshold_3", click("Threshold_3"), stored(keys::kThreshold), "2"},
        // The large index shows the large group's sets; refused, the choice goes back on screen.
        {"Card_Index_j", click("Card_Index_j"), text("pos_x"), "14"},
        {"Card_Index_j refused", click("Card_Index_j"),
         [this] { return std::to_string(Get<QRadioButton>("Card_Index_st")->isChecked()); }, "1",
         EmulatorConfig{.optionWord = 4}},
        {"Download with a programming error",
         [&] { machine().InjectDownloadResult(1, 4), dialogs.QueueFile(firmware), Click("Download"); },
         [this] { return Text("Soft_ver") + " " + std::to_string(window->pollTimer.isActive()); }, "2.40 1"},
        // Connected anew, the start-up exchange waits for its timer.
        {"Download", [&] { dialogs.QueueFile(firmware), Click("Download"); },
         [this] { return Text("Soft_ver") + " " + std::to_string(window->startupTimer.isActive()); }, " 1"},
        {"lost link", [this] { window->show(), machine().SetLinkLost(true), window->onPollTimer(); }, closed,
         "1 1"},
        {"close box", [this] { window->show(), window->close(); }, closed, "1 0"},
        {"cmdExit",
         [this] { window->show(), QTest::mouseClick(Get<QPushButton>("cmdExit"), Qt::LeftButton); }, closed,
         "1 0"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        settings.values.clear();
        dialogs.messages.clear();
        Open(r.config, r.start);
        r.act();
        EXPECT_EQ(r.observe(), r.expected);
    }
}

} // namespace
} // namespace orvenix
