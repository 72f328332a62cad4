// The maintenance window on the emulated machine in virtual time (the timer ticks are called directly):
// the start-up exchange enables the controls, each control reaches the machine and its answer reaches the
// boxes and the picture, the card options follow the firmware, and a lost link or Exit closes the link.
#include "ui/maintenance/maintenance_window.h"

#include "base/messages.h"
#include "machine/emulated_si.h"
#include "support/firmware_files.h"
#include "support/temp_dir.h"
#include "support/window_test.h"

#include <QMouseEvent>

namespace orvenix {
namespace {

class MaintenanceWindowTest : public ::testing::Test {
  protected:
    void Open(EmulatorConfig config = {}, bool start = true) {
        window.reset(); // before the link it borrows
        auto si = std::make_unique<EmulatedSi>(std::make_unique<VirtualClock>(), config);
        emu = si.get();
        link = std::make_unique<MachineLink>(std::move(si), dialogs);
        link->Open(kLinkTimeoutMs);
        ASSERT_TRUE(link->IsOpen());
        window = std::make_unique<MaintenanceWindow>(*link, dialogs, settings);
        window->downloadDelayMs = 0;
        if (start) window->onStartupTimer();
    }
    void TearDown() override {
        if (window) window->reject();
    }
    EmulatedMachine& machine() { return emu->Machine(); }
    template <typename T = QWidget> T* Get(const char* name) { return test::Child<T>(window.get(), name); }
    QString Text(const char* name) { return Get<QLineEdit>(name)->text(); }
    void Type(const char* name, const char* text) { Get<QLineEdit>(name)->setText(text); }
    QColor Colour(const char* name) { return Get<QLineEdit>(name)->palette().color(QPalette::Base); }
    void Click(const char* name) { Get<QAbstractButton>(name)->click(); }
    template <typename Range> static std::string Join(const Range& values) {
        std::string out;
        for (const int v : values)
            out.append(out.empty() ? "" : " ").append(std::to_string(v));
        return out;
    }

    ScriptedDialogs dialogs;
    MemorySettings settings;
    EmulatedSi* emu = nullptr;
    std::unique_ptr<MachineLink> link;
    std::unique_ptr<MaintenanceWindow> window;
};

const char* const kControls[] = {"Get_param", "save_param", "Capture",    "Showb",
                                 "Feed_card", "Reco",       "National_2", "Ignore_flip"};

// The controls wait for the start-up exchange; a machine without a download identity offers only the
// download.
TEST_F(MaintenanceWindowTest, TheStartUpExchangeEnablesTheControls) {
    EmulatorConfig noIdentity;
    noIdentity.infoByte4 = 0;
    for (const auto& [config, start, enabled] : {std::tuple{EmulatorConfig{}, false, false},
                                                 {EmulatorConfig{}, true, true},
                                                 {noIdentity, true, false}}) {
        Open(config, start);
        EXPECT_EQ(std::tuple(Text("Soft_ver"), Get("Download")->isEnabled(), window->pollTimer.isActive()),
                  std::tuple(start ? "2.40" : "", start, start));
        for (const char* name : kControls)
            EXPECT_EQ(Get(name)->isEnabled(), enabled) << name;
    }
}

TEST_F(MaintenanceWindowTest, EachControlReachesTheMachineAndItsAnswerTheWindow) {
    EmulatorConfig noLargeIndex;
    noLargeIndex.optionWord = 4;
    const auto text = [this](const char* name) { return [this, name] { return Text(name).toStdString(); }; };
    const auto stored = [this](const char* key) { return [this, key] { return settings.values[key]; }; };
    const auto click = [this](const char* name) { return [this, name] { Click(name); }; };
    const auto red = [this](int x, int y) {
        return window->picture().pixel(x, y) == qRgb(255, 0, 0) ? "red " : "- ";
    };
    const auto grey = [this](int x, int y) {
        return std::to_string(qGray(window->picture().pixel(x, y))) + " ";
    };
    struct Row {
        const char* what;
        std::function<void()> act;
        std::function<std::string()> observe;
        std::string expected;
        EmulatorConfig config = {};
    };
    const Row rows[] = {
        {"Feed_card", click("Feed_card"), [this] { return std::to_string(machine().CardsFed()); }, "1"},
        {"outputs",
         [this] {
             for (const char* name : {"Gate2", "Cam_power", "Front_Red_Led"})
                 Get<QCheckBox>(name)->setChecked(true);
             window->onPollTimer();
         },
         [this] { return std::to_string(machine().Outputs()); }, std::to_string(4 | 32 | 128)},
        // A blocked sensor on light red; a motor that never reported stays white.
        {"sensors", [this] { machine().Readings().photoBlocked = 1, window->onPollTimer(); },
         [this] {
             return Text("Photo1").toStdString() +
                    (Colour("Photo1") == QColor(255, 64, 64) ? " red " : " - ") +
                    Text("Front_Switch").toStdString();
         },
         "120 red ON"},
        // A value beyond a byte cannot be typed.
        {"save_param",
         [this] {
             Type("pos_x", "77"), Type("start_y", "300");
             Get<QCheckBox>("Ignore_flip")->setChecked(true);
             Click("save_param");
         },
         [this] { return Join(machine().ParameterSet(1)) + " / " + Join(machine().ParameterSet(4)); },
         "77 12 24 8 / 1 0 0 0"},
        {"Get_param",
         [this] { Type("pos_x", "77"), Click("save_param"), Type("pos_x", "5"), Click("Get_param"); },
         text("pos_x"), "77"},
        // The boxes at the minimum corners of their windows, (20, 10) sized 21 x 31 and (22, 52).
        {"Reco and Frame_draw", [this] { Click("Reco"), Click("Frame_draw"); },
         [&] {
             return Text("Symbol").toStdString() + " " + red(20, 10) + red(40, 10) + red(20, 40) +
                    red(22, 52) + red(30, 30);
         },
         "A red red red red - "},
        {"Frame_draw after a failed recognition",
         [this] { machine().Readings().recognitionError = 7, Click("Reco"), Click("Frame_draw"); },
         [&] { return Text("Reco_error").toStdString() + red(20, 10); }, "7- "},
        {"Start_draw", click("Start_draw"), [&] { return std::string(red(24, 8)); }, "red "},
        {"Capture and Showb", [this] { Click("Capture"), Click("Showb"); },
         [this] {
             int wrong = 0;
             for (int y = 0; y < 128; y += 9) {
                 for (int x = 0; x < 128; x += 7) {
                     const int grey = EmulatedMachine::ImagePixel(x, y);
                     wrong += window->picture().pixel(x, y) != qRgb(grey, grey, grey);
                 }
             }
             return Text("Cap_time").toStdString() + " " + std::to_string(wrong);
         },
         "42 0"},
        // After a recognition the picture is two-level: ink black, background white.
        {"Showb after Reco", [this] { Click("Reco"), Click("Showb"); },
         [&] { return grey(30, 15) + grey(5, 5); }, "0 255 "},
        // The picture is drawn twice its size.
        {"pointer over the picture",
         [this] {
             Click("Capture"), Click("Showb");
             QMouseEvent move(QEvent::MouseMove, QPointF(2 * 30 + 1, 2 * 15), QPointF(), Qt::NoButton,
                              Qt::NoButton, Qt::NoModifier);
             QApplication::sendEvent(Get("Picture1"), &move);
         },
         [this] { return (Text("Cur_x") + " " + Text("Cur_y") + " " + Text("Brightness")).toStdString(); },
         "30 15 " + std::to_string(EmulatedMachine::ImagePixel(30, 15))},
        {"National_3", click("National_3"), stored(keys::kNational), "2"},
        {"CardType_2", click("CardType_2"), stored(keys::kCardType), "1"},
        {"Threshold_3", click("Threshold_3"), stored(keys::kThreshold), "2"},
        // The large index shows the large group's sets; refused, the choice goes back on screen.
        {"Card_Index_j", click("Card_Index_j"), text("pos_x"), "14"},
        {"Card_Index_j refused", click("Card_Index_j"),
         [this] { return std::to_string(Get<QRadioButton>("Card_Index_st")->isChecked()); }, "1",
         noLargeIndex},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        settings.values.clear();
        Open(r.config);
        r.act();
        EXPECT_EQ(r.observe(), r.expected);
    }
}

TEST_F(MaintenanceWindowTest, DownloadReconnectsAndAProgrammingErrorKeepsTheWindow) {
    test::TempDir dir;
    const std::string path = dir.File("new.adc");
    test::WriteFile(
        path, test::FirmwareFileBytes(test::FirmwareSection(700, 0x02, 0x55), test::FirmwareSection(300)));
    Open();
    machine().InjectDownloadResult(1, 4);
    dialogs.QueueFile(path);
    Click("Download");
    EXPECT_EQ(PlainMessage(dialogs.Last().text), "Error: 1 during programming at 4");
    EXPECT_EQ(Text("Soft_ver"), "2.40");
    EXPECT_TRUE(window->pollTimer.isActive());

    dialogs.QueueFile(path);
    Click("Download");
    EXPECT_EQ(dialogs.Last().text, FormatMessage(MsgFirmwareDownloaded));
    // Connected anew: the boxes are cleared and the start-up exchange waits for its timer.
    EXPECT_EQ(Text("Soft_ver"), "");
    EXPECT_FALSE(Get("Download")->isEnabled());
    EXPECT_FALSE(window->pollTimer.isActive());
    EXPECT_TRUE(window->startupTimer.isActive());
    window->onStartupTimer();
    EXPECT_EQ(Text("Soft_ver"), "2.55");
    EXPECT_EQ(emu->ReadTimeoutMs(), kLinkTimeoutMs);
}

// A lost link, Exit and the close box all close the window: the polling stops, the latch drops and the
// link closes.
TEST_F(MaintenanceWindowTest, LostLinkExitAndTheCloseBoxCloseTheLink) {
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"lost link", [this] { machine().SetLinkLost(true), window->onPollTimer(); }},
        {"close box", [this] { window->close(); }},
        {"Exit", [this] { QTest::mouseClick(Get<QPushButton>("cmdExit"), Qt::LeftButton); }},
    };
    for (const auto& [way, close] : ways) {
        SCOPED_TRACE(way);
        Open();
        window->show();
        close();
        EXPECT_FALSE(window->isVisible());
        EXPECT_FALSE(window->pollTimer.isActive());
        EXPECT_FALSE(link->IsOpen());
        EXPECT_FALSE(machine().Latch());
        EXPECT_EQ(dialogs.messages.size(), std::string(way) == "lost link" ? 1u : 0u);
        dialogs.messages.clear();
    }
}

} // namespace
} // namespace orvenix
