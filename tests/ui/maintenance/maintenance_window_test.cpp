// The `Maintenance` window on the emulated machine in virtual time (the timer ticks are called directly):
// the start-up exchange, sensors and their colours, outputs, parameter sets written and read back,
// recognition with the frame drawing, capture and the picture lines, the card-setting options with their
// option-word and firmware rules, a lost link, the firmware download with the reconnect, the captions
// and tooltips, and Exit.
#include "ui/maintenance/maintenance_window.h"

#include "base/dialogs.h"
#include "base/messages.h"
#include "base/settings.h"
#include "machine/emulated_si.h"
#include "support/firmware_files.h"
#include "support/temp_dir.h"

#include <QCheckBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

namespace orvenix {
namespace {

class MaintenanceWindowTest : public ::testing::Test {
  protected:
    void Open(EmulatorConfig config = {}) {
        window.reset(); // before the link it borrows
        auto si = std::make_unique<EmulatedSi>(std::make_unique<VirtualClock>(), config);
        emu = si.get();
        link = std::make_unique<MachineLink>(std::move(si), dialogs);
        link->Open(kLinkTimeoutMs);
        ASSERT_TRUE(link->IsOpen());
        window = std::make_unique<MaintenanceWindow>(*link, dialogs, settings);
        window->downloadDelayMs = 0;
    }
    void OpenAndStart(EmulatorConfig config = {}) {
        Open(config);
        window->onStartupTimer();
    }
    void TearDown() override {
        if (window) window->reject();
    }
    EmulatedMachine& machine() { return emu->Machine(); }

    template <typename T> T* Get(const char* name) {
        T* child = window->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << "no control named " << name;
        return child;
    }
    QString Text(const char* name) {
        auto* box = Get<QLineEdit>(name);
        return box != nullptr ? box->text() : QString("<missing>");
    }
    QColor Colour(const char* name) { return Get<QLineEdit>(name)->palette().color(QPalette::Base); }
    void Click(const char* name) { Get<QAbstractButton>(name)->click(); }
    // The parameter numbers of the 0x11 or 0x13 commands sent, in order.
    std::vector<int> SetsSent(std::uint8_t code) {
        std::vector<int> sets;
        for (const auto& [p, size] : machine().Commands()) {
            if (p[0] == code) sets.push_back(p[1]);
        }
        return sets;
    }
    std::vector<int> SensorPartsSent() { return SetsSent(0x1B); }

    ScriptedDialogs dialogs;
    MemorySettings settings;
    EmulatedSi* emu = nullptr;
    std::unique_ptr<MachineLink> link;
    std::unique_ptr<MaintenanceWindow> window;
};

const QColor kGreen(128, 255, 128);
const QColor kRed(255, 64, 64);

TEST_F(MaintenanceWindowTest, ConnectSequenceThenStartUpExchange) {
    Open();
    EXPECT_EQ(window->windowTitle(), "Dealer Maintenance");
    EXPECT_TRUE(window->startupTimer.isActive());
    EXPECT_EQ(window->startupTimer.interval(), 2000);
    EXPECT_TRUE(machine().Latch());
    EXPECT_EQ(Text("txtUSB_ID"), "1234");
    for (const char* name : {"Download", "Get_param", "save_param", "Capture", "Showb", "Feed_card", "Reco"})
        EXPECT_FALSE(Get<QPushButton>(name)->isEnabled()) << name;
    EXPECT_FALSE(Get<QRadioButton>("National_2")->isEnabled());
    EXPECT_TRUE(Get<QProgressBar>("Download_bar")->isHidden());
    EXPECT_TRUE(Get<QLabel>("lblFrames")->isHidden());

    window->onStartupTimer();
    EXPECT_FALSE(window->startupTimer.isActive());
    EXPECT_TRUE(window->pollTimer.isActive());
    EXPECT_EQ(window->pollTimer.interval(), 50);
    EXPECT_EQ(Text("Soft_ver"), "2.40");
    EXPECT_EQ(Text("Down_ID"), "1");
    EXPECT_EQ(Text("Flash_ID_text"), "23");
    EXPECT_EQ(Text("Serial_number"), "1234");
    EXPECT_EQ(Text("Hardware_ID"), "12");
    EXPECT_EQ(Text("Manuf_date"), "12/5/2024");
    EXPECT_EQ(Text("Boards_dealed"), "0");
    for (const char* name : {"Download", "Get_param", "save_param", "Capture", "Showb", "Feed_card", "Reco"})
        EXPECT_TRUE(Get<QPushButton>(name)->isEnabled()) << name;
    EXPECT_TRUE(Get<QRadioButton>("National_2")->isEnabled());
    EXPECT_TRUE(Get<QCheckBox>("Ignore_flip")->isEnabled());
    // The standard group's sets were read: the emulator's values are in the boxes.
    EXPECT_EQ(SetsSent(0x11), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(Text("pos_x"), "10");
    EXPECT_EQ(Text("Sym_x_min"), "20");
    EXPECT_EQ(Text("Suit_y_min"), "52");
    EXPECT_EQ(Text("param_ID"), "258");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MaintenanceWindowTest, MachineWithoutDownloadIdentityOffersOnlyTheDownload) {
    EmulatorConfig config;
    config.infoByte4 = 0;
    OpenAndStart(config);
    EXPECT_EQ(Text("Down_ID"), "0");
    EXPECT_TRUE(Get<QPushButton>("Download")->isEnabled());
    EXPECT_FALSE(Get<QPushButton>("Reco")->isEnabled());
    EXPECT_TRUE(SetsSent(0x11).empty());
}

TEST_F(MaintenanceWindowTest, SensorDisplayAndColours) {
    Open();
    machine().Readings().photoBlocked = 0b00101;
    machine().Readings().frontSwitch = false;
    machine().Readings().motorSpeed = {1000, 2000, 0, 0x7FFF};
    machine().SetFlipPlateOpen(true);
    machine().InsertBox();
    machine().InsertBoard(5);
    window->onStartupTimer();
    window->onPollTimer();
    EXPECT_EQ(Text("Photo1"), "120");
    EXPECT_EQ(Text("Photo5"), "124");
    EXPECT_EQ(Colour("Photo1"), kRed);
    EXPECT_EQ(Colour("Photo2"), kGreen);
    EXPECT_EQ(Colour("Photo3"), kRed);
    EXPECT_EQ(Text("Front_Switch"), "OFF");
    EXPECT_EQ(Colour("Front_Switch"), kRed);
    EXPECT_EQ(Text("Cover_Switch"), "ON");
    EXPECT_EQ(Colour("Cover_Switch"), kGreen);
    EXPECT_EQ(Text("Box_Switch"), "ON");
    EXPECT_EQ(Text("Flip_Switch"), "OFF");
    EXPECT_EQ(Colour("Flip_Switch"), kRed);
    EXPECT_EQ(Text("Motor_speed_1"), "1000");
    EXPECT_EQ(Text("Motor_speed_4"), "32767");
    EXPECT_EQ(Colour("Motor_speed_2"), kGreen);
    EXPECT_EQ(Text("Motor_speed_3"), "0");
    EXPECT_EQ(Colour("Motor_speed_3"), QColor(255, 255, 255));
    EXPECT_EQ(Text("Inside_temp"), "25.3");
    EXPECT_EQ(Text("Supply_volt"), "12.0");
    EXPECT_EQ(Text("PWM_motor_3"), "42");
    EXPECT_EQ(Text("Board_no_txt"), "5");
    EXPECT_EQ(Text("Board_no_test_txt"), QString::number(BoardLabelCode(5)));
    EXPECT_EQ(SensorPartsSent(), (std::vector<int>{0, 1, 2, 3, 4}));

    // The outputs byte follows the check boxes; Feed_card asks for one card.
    Get<QCheckBox>("Gate2")->setChecked(true);
    Get<QCheckBox>("Cam_power")->setChecked(true);
    Get<QCheckBox>("Front_Red_Led")->setChecked(true);
    window->onPollTimer();
    EXPECT_EQ(machine().Outputs(), 4 | 32 | 128);
    EXPECT_EQ(machine().CardsFed(), 0);
    Click("Feed_card");
    EXPECT_EQ(machine().CardsFed(), 1);
    // While busy a tick does nothing.
    const auto before = machine().Commands().size();
    window->session().SetBusy(true);
    window->onPollTimer();
    window->session().SetBusy(false);
    EXPECT_EQ(machine().Commands().size(), before);
}

TEST_F(MaintenanceWindowTest, SensorPartsFollowTheFirmware) {
    for (const auto& [minor, parts] :
         std::vector<std::pair<std::uint8_t, std::vector<int>>>{{0x19, {}},
                                                                {0x20, {0, 1}},
                                                                {0x24, {0, 1, 2}},
                                                                {0x26, {0, 1, 2, 3}},
                                                                {0x36, {0, 1, 2, 3}},
                                                                {0x37, {0, 1, 2, 3, 4}}}) {
        EmulatorConfig config;
        config.firmwareMinor = minor;
        OpenAndStart(config);
        window->onPollTimer();
        EXPECT_EQ(SensorPartsSent(), parts) << std::hex << int{minor};
        // Switch overrides from 2.20.
        EXPECT_EQ(Get<QCheckBox>("Ignore_flip")->isEnabled(), minor >= 0x20) << std::hex << int{minor};
        window->reject();
    }
}

TEST_F(MaintenanceWindowTest, ParametersWrittenAndReadBack) {
    OpenAndStart();
    Get<QLineEdit>("pos_x")->setText("77");
    Get<QLineEdit>("Suit_x_max")->setText("255");
    Get<QCheckBox>("Ignore_flip")->setChecked(true);
    // A value beyond a byte cannot be typed: the box keeps its text.
    QLineEdit* startY = Get<QLineEdit>("start_y");
    startY->setText("300");
    EXPECT_EQ(startY->text(), "8");
    Click("save_param");
    EXPECT_EQ(SetsSent(0x13), (std::vector<int>{1, 2, 4, 3}));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.Last().text, FormatMessage(MsgParametersUpdated));
    EXPECT_EQ(dialogs.Last().title, "Parameters update");
    EXPECT_EQ(dialogs.Last().icon, Icon::Information);
    EXPECT_EQ(machine().ParameterSet(1), (std::array<std::uint8_t, 4>{77, 12, 24, 8}));
    EXPECT_EQ(machine().ParameterSet(3)[0], 255);
    EXPECT_EQ(machine().ParameterSet(4), (std::array<std::uint8_t, 4>{1, 0, 0, 0}));

    // Read back: what the machine holds comes into the boxes, not what was typed.
    Get<QLineEdit>("pos_x")->setText("5");
    Get<QCheckBox>("Ignore_flip")->setChecked(false);
    Click("Get_param");
    EXPECT_EQ(Text("pos_x"), "77");
    EXPECT_EQ(Text("Suit_x_max"), "255");
    EXPECT_TRUE(Get<QCheckBox>("Ignore_flip")->isChecked());
    EXPECT_FALSE(Get<QCheckBox>("Ignore_box")->isChecked());

    // An empty value is refused before anything is sent.
    const auto writes = SetsSent(0x13).size();
    Get<QLineEdit>("pos_y")->setText("");
    Click("save_param");
    EXPECT_EQ(SetsSent(0x13).size(), writes);
    EXPECT_EQ(dialogs.Last().icon, Icon::Exclamation);
}

TEST_F(MaintenanceWindowTest, RecogniseAndDrawTheFrames) {
    settings.Write(keys::kNational, "2");
    settings.Write(keys::kThreshold, "1");
    OpenAndStart();
    Click("Reco");
    const auto& reco = machine().Commands().back();
    EXPECT_EQ(reco.first[0], 0x10); // then symbol and suit sizes
    bool found = false;
    for (const auto& [p, size] : machine().Commands()) {
        if (p[0] != 0x15) continue;
        found = true;
        EXPECT_EQ(p[1], 2); // national set
        EXPECT_EQ(p[2], 0); // card type
        EXPECT_EQ(p[3], 1); // threshold
        EXPECT_EQ(p[4], 0); // index
    }
    EXPECT_TRUE(found);
    EXPECT_EQ(Text("Reco_time"), "35");
    EXPECT_EQ(Text("Symbol"), "A");
    EXPECT_EQ(Text("Suit"), "S");
    EXPECT_EQ(Text("Threshold"), "128");
    EXPECT_EQ(Text("Reco_error"), "OK");
    EXPECT_EQ(Text("Symbol_size_x"), "21");
    EXPECT_EQ(Text("Symbol_size_y"), "31");
    EXPECT_EQ(Text("Suit_size_x"), "25");
    EXPECT_EQ(window->session().ImageModeNow(), kImageTwoLevel);

    // The boxes at the minimum corner of their windows (20, 10) and (22, 52), in red.
    Click("Frame_draw");
    const QImage& image = window->picture();
    EXPECT_EQ(image.pixel(20, 10), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(40, 10), qRgb(255, 0, 0)); // right edge: 20 + 21 - 1
    EXPECT_EQ(image.pixel(20, 40), qRgb(255, 0, 0)); // bottom edge: 10 + 31 - 1
    EXPECT_EQ(image.pixel(22, 52), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(46, 76), qRgb(255, 0, 0));
    EXPECT_NE(image.pixel(30, 30), qRgb(255, 0, 0));
    Click("Start_draw"); // start point (24, 8)
    EXPECT_EQ(image.pixel(24, 8), qRgb(255, 0, 0));

    // A failed recognition: its code, no size requests, no frames.
    machine().Readings().recognitionError = 7;
    const auto sent = machine().Commands().size();
    Click("Reco");
    EXPECT_EQ(Text("Reco_error"), "7");
    EXPECT_EQ(Text("Symbol_size_x"), "");
    EXPECT_EQ(machine().Commands().size(), sent + 1);
    const QImage before = window->picture().copy();
    Click("Frame_draw");
    EXPECT_EQ(window->picture(), before);
}

TEST_F(MaintenanceWindowTest, CaptureAndPictureLines) {
    OpenAndStart();
    Click("Capture");
    EXPECT_EQ(Text("Cap_time"), "42");
    EXPECT_EQ(window->session().ImageModeNow(), kImageGrey);
    Click("Showb");
    EXPECT_TRUE(Get<QPushButton>("Showb")->isEnabled());
    const QImage& image = window->picture();
    for (int y = 0; y < 128; y += 9) {
        for (int x = 0; x < 128; x += 7) {
            const int grey = EmulatedMachine::ImagePixel(x, y);
            ASSERT_EQ(image.pixel(x, y), qRgb(grey, grey, grey)) << x << "," << y;
        }
    }
    EXPECT_EQ(link->State().commErrorCount, 0);
    // The pointer over the picture shows its position and grey level (the picture is drawn twice its size).
    QWidget* picture = window->findChild<QWidget*>("Picture1");
    ASSERT_NE(picture, nullptr);
    QMouseEvent move(QEvent::MouseMove, QPointF(2 * 30 + 1, 2 * 15), QPointF(), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(picture, &move);
    EXPECT_EQ(Text("Cur_x"), "30");
    EXPECT_EQ(Text("Cur_y"), "15");
    EXPECT_EQ(Text("Brightness"), QString::number(EmulatedMachine::ImagePixel(30, 15)));

    // After a recognition the picture is two-level: ink black, background white.
    Click("Reco");
    Click("Showb");
    EXPECT_EQ(image.pixel(30, 15), qRgb(0, 0, 0));     // the symbol
    EXPECT_EQ(image.pixel(5, 5), qRgb(255, 255, 255)); // background
    // The capture command carries the index choice.
    for (const auto& [p, size] : machine().Commands()) {
        if (p[0] == 0x0A) {
            EXPECT_EQ(p[1], 0);
        }
    }
}

TEST_F(MaintenanceWindowTest, OptionsAreStoredAtOnce) {
    OpenAndStart();
    Click("National_3");
    EXPECT_EQ(settings.values[keys::kNational], "2");
    Click("CardType_2");
    EXPECT_EQ(settings.values[keys::kCardType], "1");
    Click("Threshold_3");
    EXPECT_EQ(settings.values[keys::kThreshold], "2");
    // The large index on a machine that has it: stored, and the large group's sets are read.
    Click("Card_Index_j");
    EXPECT_EQ(settings.values[keys::kCardIndex], "1");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(SetsSent(0x11), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(Text("pos_x"), "14");
    Click("Card_Index_st");
    EXPECT_EQ(settings.values[keys::kCardIndex], "0");
    EXPECT_EQ(Text("pos_x"), "10");
}

TEST_F(MaintenanceWindowTest, LargeIndexRefusedWithoutSupport) {
    EmulatorConfig config;
    config.optionWord = 4;
    OpenAndStart(config);
    Click("Card_Index_j");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.Last().text, FormatMessage(MsgJumboNotSuitable));
    EXPECT_EQ(dialogs.Last().title, "Maintenance Error");
    EXPECT_EQ(dialogs.Last().icon, Icon::Critical);
    EXPECT_TRUE(Get<QRadioButton>("Card_Index_st")->isChecked());
    EXPECT_EQ(settings.values[keys::kCardIndex], "0");
}

TEST_F(MaintenanceWindowTest, LargeIndexRefusedWithOldFirmware) {
    EmulatorConfig config;
    config.firmwareMinor = 0x32;
    OpenAndStart(config);
    Click("Card_Index_j");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.Last().text, FormatMessage(MsgLargeIndexNeedsFirmware, "2.32"));
    EXPECT_EQ(dialogs.Last().title, "Maintenance Error");
    EXPECT_TRUE(Get<QRadioButton>("Card_Index_st")->isChecked());
    EXPECT_EQ(settings.values[keys::kCardIndex], "0");
    EXPECT_EQ(SetsSent(0x11), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(MaintenanceWindowTest, StoredLargeIndexFallsBackAtStartUp) {
    settings.Write(keys::kCardIndex, "1");
    EmulatorConfig config;
    config.optionWord = 4;
    Open(config);
    EXPECT_TRUE(Get<QRadioButton>("Card_Index_j")->isChecked());
    window->onStartupTimer();
    EXPECT_TRUE(Get<QRadioButton>("Card_Index_st")->isChecked());
    EXPECT_EQ(settings.values[keys::kCardIndex], "0");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(SetsSent(0x11), (std::vector<int>{1, 2, 3, 4}));

    // On a machine that has it the stored choice stays and the large group is read.
    window->reject();
    settings.Write(keys::kCardIndex, "1");
    OpenAndStart();
    EXPECT_TRUE(Get<QRadioButton>("Card_Index_j")->isChecked());
    EXPECT_EQ(SetsSent(0x11), (std::vector<int>{5, 6, 7, 8}));
}

TEST_F(MaintenanceWindowTest, LostLinkClosesTheWindow) {
    OpenAndStart();
    window->show();
    machine().SetLinkLost(true);
    window->onPollTimer();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.Last().text, FormatMessage(MsgLostCommunicationMaintenance));
    EXPECT_EQ(dialogs.Last().title, "Communication Error");
    EXPECT_EQ(dialogs.Last().icon, Icon::Critical);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->pollTimer.isActive());
    EXPECT_FALSE(link->IsOpen());
    EXPECT_FALSE(machine().Latch());
}

TEST_F(MaintenanceWindowTest, FirmwareDownloadThenReconnect) {
    test::TempDir dir;
    const std::string path = dir.File("new.adc");
    test::WriteFile(
        path, test::FirmwareFileBytes(test::FirmwareSection(700, 0x02, 0x55), test::FirmwareSection(300)));
    OpenAndStart();
    dialogs.QueueFile(path);
    Click("Download");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.Last().text, FormatMessage(MsgFirmwareDownloaded));
    EXPECT_EQ(Get<QLabel>("lblFrames")->text(), "Frames: 9"); // 5 + 2 + 2 header blocks
    EXPECT_EQ(Get<QLabel>("lblSum")->text(), "Sum: 0");
    EXPECT_TRUE(Get<QLabel>("lblFrames")->isHidden());
    EXPECT_TRUE(Get<QProgressBar>("Download_bar")->isHidden());
    EXPECT_EQ(Get<QProgressBar>("Download_bar")->value(), 0);
    // Connected anew: the fields are cleared and the start-up exchange waits for its timer.
    EXPECT_EQ(Text("Soft_ver"), "");
    EXPECT_FALSE(Get<QPushButton>("Download")->isEnabled());
    EXPECT_FALSE(window->pollTimer.isActive());
    EXPECT_TRUE(window->startupTimer.isActive());
    EXPECT_FALSE(window->session().Busy());
    window->onStartupTimer();
    EXPECT_EQ(Text("Soft_ver"), "2.55");
    EXPECT_TRUE(Get<QPushButton>("Download")->isEnabled());
    EXPECT_EQ(emu->ReadTimeoutMs(), kLinkTimeoutMs);
}

TEST_F(MaintenanceWindowTest, FirmwareProgrammingErrorKeepsTheWindow) {
    test::TempDir dir;
    const std::string path = dir.File("new.adc");
    test::WriteFile(path, test::FirmwareFileBytes(test::FirmwareSection(700), test::FirmwareSection(300)));
    OpenAndStart();
    machine().InjectDownloadResult(1, 4);
    dialogs.QueueFile(path);
    Click("Download");
    EXPECT_EQ(PlainMessage(dialogs.Last().text), "Error: 1 during programming at 4");
    EXPECT_EQ(Text("Soft_ver"), "2.40");
    EXPECT_TRUE(window->pollTimer.isActive());
    EXPECT_FALSE(window->session().Busy());
    EXPECT_TRUE(Get<QProgressBar>("Download_bar")->isHidden());
    // A second attempt in the same window reports its own position.
    machine().InjectDownloadResult(2, 513);
    dialogs.QueueFile(path);
    Click("Download");
    EXPECT_EQ(PlainMessage(dialogs.Last().text), "Error: 2 during programming at 513");
}

// Every box has a caption of words beside it (never a field name such as "pos_x") and a tooltip; every output
// switch is captioned in words.
TEST_F(MaintenanceWindowTest, EveryFieldHasAReadableCaptionAndATooltip) {
    Open();
    const QList<QLineEdit*> boxes = window->findChildren<QLineEdit*>();
    ASSERT_FALSE(boxes.isEmpty());
    QHash<QLineEdit*, QLabel*> captions;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (auto* box = qobject_cast<QLineEdit*>(label->buddy())) captions.insert(box, label);
    }
    for (QLineEdit* box : boxes) {
        const std::string name = box->objectName().toStdString();
        QLabel* caption = captions.value(box);
        ASSERT_NE(caption, nullptr) << name;
        EXPECT_FALSE(caption->text().contains('_')) << name;
        EXPECT_FALSE(box->toolTip().isEmpty()) << name;
    }
    for (QCheckBox* output : window->findChildren<QCheckBox*>()) {
        EXPECT_FALSE(output->text().contains('_')) << output->objectName().toStdString();
        EXPECT_FALSE(output->toolTip().isEmpty() && output->objectName() != "Ignore_flip" &&
                     output->objectName() != "Ignore_box")
            << output->objectName().toStdString();
    }
}

// Exit closes the window as its close box does: the sensor polling stops, the latch drops and the link
// closes.
TEST_F(MaintenanceWindowTest, ExitClosesAsTheCloseBoxDoes) {
    const std::pair<const char*, std::function<void(MaintenanceWindow&)>> ways[] = {
        {"close box", [](MaintenanceWindow& w) { w.close(); }},
        {"Exit",
         [](MaintenanceWindow& w) {
             QTest::mouseClick(w.findChild<QPushButton*>("cmdExit"), Qt::LeftButton);
         }},
    };
    for (const auto& [way, close] : ways) {
        OpenAndStart();
        window->show();
        ASSERT_TRUE(window->pollTimer.isActive()) << way;
        ASSERT_TRUE(machine().Latch()) << way;
        close(*window);
        EXPECT_FALSE(window->isVisible()) << way;
        EXPECT_EQ(window->result(), QDialog::Rejected) << way;
        EXPECT_FALSE(window->pollTimer.isActive()) << way;
        EXPECT_FALSE(link->IsOpen()) << way;
        EXPECT_FALSE(machine().Latch()) << way;
    }
}

} // namespace
} // namespace orvenix
