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
    // The parameter numbers of the commands with this code sent, in order (0x11 read, 0x13 write, 0x1B
    // the sensor parts).
    std::string Sent(std::uint8_t code) {
        std::vector<int> sets;
        for (const auto& [p, size] : machine().Commands())
            if (p[0] == code) sets.push_back(p[1]);
        return Join(sets);
    }

    ScriptedDialogs dialogs;
    MemorySettings settings;
    EmulatedSi* emu = nullptr;
    std::unique_ptr<MachineLink> link;
    std::unique_ptr<MaintenanceWindow> window;
};

const char* const kControls[] = {"Get_param", "save_param", "Capture",   "Showb",
                                 "Feed_card", "Reco",       "National_2"};

TEST_F(MaintenanceWindowTest, TheStartUpExchangeFillsTheBoxesAndEnablesTheControls) {
    Open({}, false);
    EXPECT_TRUE(machine().Latch());
    EXPECT_TRUE(window->startupTimer.isActive());
    for (const char* name : kControls)
        EXPECT_FALSE(Get(name)->isEnabled()) << name;
    EXPECT_FALSE(Get("Download")->isEnabled());
    window->onStartupTimer();
    EXPECT_TRUE(window->pollTimer.isActive());
    for (const char* name : kControls)
        EXPECT_TRUE(Get(name)->isEnabled()) << name;
    EXPECT_TRUE(Get("Download")->isEnabled());
    EXPECT_EQ(Text("Soft_ver"), "2.40");
    EXPECT_EQ(Text("Serial_number"), "1234");
    EXPECT_EQ(Text("pos_x"), "10"); // the standard group's sets, read
    EXPECT_EQ(Sent(0x11), "1 2 3 4");

    // A machine without a download identity offers only the download.
    EmulatorConfig config;
    config.infoByte4 = 0;
    Open(config);
    EXPECT_TRUE(Get("Download")->isEnabled());
    for (const char* name : kControls)
        EXPECT_FALSE(Get(name)->isEnabled()) << name;
}

TEST_F(MaintenanceWindowTest, SensorTicksShowTheReadingsInTheirColours) {
    Open();
    machine().Readings().photoBlocked = 0b00101;
    machine().Readings().frontSwitch = false;
    machine().Readings().motorSpeed = {1000, 2000, 0, 0x7FFF};
    machine().InsertBoard(5);
    window->onPollTimer();
    const QColor green(128, 255, 128), red(255, 64, 64), white(255, 255, 255);
    EXPECT_EQ(Text("Photo1"), "120");
    EXPECT_EQ(Text("Board_no_txt"), "5");
    EXPECT_EQ(Text("Front_Switch"), "OFF");
    const std::pair<const char*, QColor> colours[] = {{"Photo1", red},
                                                      {"Photo2", green},
                                                      {"Front_Switch", red},
                                                      {"Cover_Switch", green},
                                                      {"Motor_speed_3", white}};
    for (const auto& [name, colour] : colours)
        EXPECT_EQ(Colour(name), colour) << name;
    // While busy a tick sends nothing.
    const auto sent = machine().Commands().size();
    window->session().SetBusy(true);
    window->onPollTimer();
    window->session().SetBusy(false);
    EXPECT_EQ(machine().Commands().size(), sent);
}

TEST_F(MaintenanceWindowTest, SensorPartsAndSwitchOverridesFollowTheFirmware) {
    const std::pair<std::uint8_t, const char*> cases[] = {{0x19, ""},        {0x20, "0 1"},
                                                          {0x24, "0 1 2"},   {0x26, "0 1 2 3"},
                                                          {0x36, "0 1 2 3"}, {0x37, "0 1 2 3 4"}};
    for (const auto& [minor, parts] : cases) {
        SCOPED_TRACE(minor);
        EmulatorConfig config;
        config.firmwareMinor = minor;
        Open(config);
        window->onPollTimer();
        EXPECT_EQ(Sent(0x1B), parts);
        EXPECT_EQ(Get("Ignore_flip")->isEnabled(), minor >= 0x20);
    }
}

TEST_F(MaintenanceWindowTest, EachControlReachesTheMachineAndItsAnswerTheWindow) {
    EmulatorConfig noLargeIndex;
    noLargeIndex.optionWord = 4;
    EmulatorConfig firmware232;
    firmware232.firmwareMinor = 0x32;
    const auto text = [this](const char* name) { return [this, name] { return Text(name).toStdString(); }; };
    const auto stored = [this](const char* key) { return [this, key] { return settings.values[key]; }; };
    const auto click = [this](const char* name) { return [this, name] { Click(name); }; };
    const auto red = [this](int x, int y) {
        return window->picture().pixel(x, y) == qRgb(255, 0, 0) ? "red " : "- ";
    };
    // The card index shown, stored and the parameter sets read, and the last message.
    const auto index = [this] {
        return std::to_string(Get<QRadioButton>("Card_Index_j")->isChecked()) +
               settings.values[keys::kCardIndex] + " " + Sent(0x11) +
               (dialogs.messages.empty() ? "" : " / " + dialogs.Last().text);
    };
    const std::string standard = "00 1 2 3 4 / ";
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
        // A value beyond a byte cannot be typed; the sets go out in the order 1, 2, 4, 3.
        {"save_param",
         [this] {
             Type("pos_x", "77"), Type("Suit_x_max", "255"), Type("start_y", "300");
             Get<QCheckBox>("Ignore_flip")->setChecked(true);
             Click("save_param");
         },
         [this] {
             return Join(machine().ParameterSet(1)) + " / " + std::to_string(machine().ParameterSet(3)[0]) +
                    " / " + Join(machine().ParameterSet(4)) + " / " + Sent(0x13);
         },
         "77 12 24 8 / 255 / 1 0 0 0 / 1 2 4 3"},
        {"save_param with an empty box", [this] { Type("pos_y", ""), Click("save_param"); },
         [this] { return Sent(0x13) + std::to_string(dialogs.messages.size()); }, "1"},
        {"Get_param",
         [this] { Type("pos_x", "77"), Click("save_param"), Type("pos_x", "5"), Click("Get_param"); },
         text("pos_x"), "77"},
        {"Reco",
         [this] {
             settings.Write(keys::kNational, "2"), settings.Write(keys::kThreshold, "1");
             Open();
             Click("Reco");
         },
         [this] {
             std::string sent;
             for (const auto& [p, size] : machine().Commands())
                 if (p[0] == 0x15) sent = Join(std::vector<int>(p.begin() + 1, p.begin() + 5));
             return sent + " " + Text("Symbol").toStdString() + " " + Text("Reco_error").toStdString() + " " +
                    Text("Symbol_size_x").toStdString();
         },
         "2 0 1 0 A OK 21"},
        // The boxes at the minimum corners of their windows, (20, 10) sized 21 x 31 and (22, 52).
        {"Frame_draw", [this] { Click("Reco"), Click("Frame_draw"); },
         [&] { return std::string(red(20, 10)) + red(40, 10) + red(20, 40) + red(22, 52) + red(30, 30); },
         "red red red red - "},
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
         [this] {
             return Join(std::vector<int>{qGray(window->picture().pixel(30, 15)),
                                          qGray(window->picture().pixel(5, 5))});
         },
         "0 255"},
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
        {"Card_Index_j", click("Card_Index_j"), [&] { return index() + " " + Text("pos_x").toStdString(); },
         "11 1 2 3 4 5 6 7 8 14"},
        {"Card_Index_st", [this] { Click("Card_Index_j"), Click("Card_Index_st"); },
         [&] { return stored(keys::kCardIndex)() + " " + Text("pos_x").toStdString(); }, "0 10"},
        {"Card_Index_j without large-index support", click("Card_Index_j"), index,
         standard + FormatMessage(MsgJumboNotSuitable), noLargeIndex},
        {"Card_Index_j on firmware 2.32", click("Card_Index_j"), index,
         standard + FormatMessage(MsgLargeIndexNeedsFirmware, "2.32"), firmware232},
        // A stored large index falls back without a word where the machine lacks it.
        {"stored large index", [&] { settings.Write(keys::kCardIndex, "1"), Open(noLargeIndex); }, index,
         "00 1 2 3 4"},
        {"stored large index on a machine that has it",
         [this] { settings.Write(keys::kCardIndex, "1"), Open(); }, index, "11 5 6 7 8"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        settings.values.clear();
        dialogs.messages.clear();
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
