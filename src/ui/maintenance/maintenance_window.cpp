#include "ui/maintenance/maintenance_window.h"

#include "base/dialogs.h"
#include "machine/link.h"
#include "maintenance/firmware.h"
#include "ui/app/numeric_filter.h"
#include "ui/machine/emulator_panel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <functional>

namespace orvenix {

namespace {
constexpr int kPictureSize = 128;
constexpr int kPictureScale = 2;
constexpr int kStartupDelayMs = 2000;
constexpr int kSensorIntervalMs = 50;
constexpr int kFieldWidth = 90;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

void Paint(QLineEdit* box, const Rgb& colour) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, QColor(colour.r, colour.g, colour.b));
    box->setPalette(palette);
}
} // namespace

// `Picture1`: the camera picture, drawn twice its size; the mouse position is reported in picture pixels.
class PictureBox : public QWidget {
  public:
    PictureBox(const QImage& image, QWidget* parent) : QWidget(parent), image_(image) {
        setMouseTracking(true);
        setFixedSize(kPictureSize * kPictureScale, kPictureSize * kPictureScale);
    }
    std::function<void(int, int)> moved;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(rect(), image_);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        const int x = static_cast<int>(event->position().x()) / kPictureScale;
        const int y = static_cast<int>(event->position().y()) / kPictureScale;
        if (moved && x >= 0 && y >= 0 && x < kPictureSize && y < kPictureSize) moved(x, y);
    }

  private:
    const QImage& image_;
};

MaintenanceWindow::MaintenanceWindow(MachineLink& link, Dialogs& dialogs, Settings& settings, QWidget* parent)
    : QDialog(parent), link_(link), dialogs_(dialogs), session_(link, dialogs, settings),
      image_(kPictureSize, kPictureSize, QImage::Format_RGB32) {
    setObjectName("Maintenance");
    setWindowTitle("Dealer Maintenance");
    image_.fill(Qt::white);
    BuildControls();
    session_.changed = [this] { Refresh(); };
    session_.optionsChanged = [this] { SyncOptions(); };
    session_.imageLine = [this](int line, const std::uint8_t* pixels, int mode) {
        DrawLine(line, pixels, mode);
    };

    startupTimer.setObjectName("Timer3m");
    startupTimer.setSingleShot(true);
    pollTimer.setObjectName("Timer1m");
    delayTimer.setObjectName("Timer2m");
    connect(&startupTimer, &QTimer::timeout, this, [this] { onStartupTimer(); });
    connect(&pollTimer, &QTimer::timeout, this, [this] { onPollTimer(); });
    ConnectSequence();
}

MaintenanceWindow::~MaintenanceWindow() {
    pollTimer.stop();
    startupTimer.stop();
}

void MaintenanceWindow::BuildControls() {
    // A read-only box with its caption on the left; the tooltip says what the value is and its unit.
    auto field = [this](const char* name, QGridLayout* grid, int row, int column, const QString& caption,
                        const QString& tip) {
        auto* box = new QLineEdit(this);
        box->setObjectName(name);
        box->setReadOnly(true);
        box->setFixedWidth(kFieldWidth);
        box->setToolTip(tip);
        auto* label = new QLabel(caption, this);
        label->setBuddy(box);
        label->setToolTip(tip);
        grid->addWidget(label, row, column * 2);
        grid->addWidget(box, row, column * 2 + 1);
        return box;
    };
    // A frame as large as its content.
    auto group = [this](const char* caption, QGridLayout*& grid) {
        auto* frame = new QGroupBox(caption, this);
        frame->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
        grid = new QGridLayout(frame);
        return frame;
    };
    // A page of the tabs: its frames in a grid that keeps them at the top left.
    auto page = [this](const char* name) {
        auto* widget = new QWidget(this);
        widget->setObjectName(name);
        auto* grid = new QGridLayout(widget);
        grid->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        return std::make_pair(widget, grid);
    };
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName("tabs");

    // ---- The machine: identity, sensors, motors and the outputs -------------------------------------
    auto [machinePage, machineGrid] = page("machinePage");
    QGridLayout* g = nullptr;
    QGroupBox* identity = group("Machine", g);
    txtUSB_ID = field("txtUSB_ID", g, 0, 0, "USB ID", "Identity of the USB bridge the machine is on");
    Soft_ver = field("Soft_ver", g, 1, 0, "Firmware", "Version of the machine's firmware");
    Down_ID = field("Down_ID", g, 2, 0, "Download ID", "Identity the firmware download checks");
    Flash_ID_text = field("Flash_ID_text", g, 3, 0, "Flash ID", "Identity of the machine's flash memory");
    Serial_number = field("Serial_number", g, 4, 0, "Serial number", "Serial number of the machine");
    Hardware_ID = field("Hardware_ID", g, 5, 0, "Hardware ID", "Version of the machine's electronics");
    Manuf_date = field("Manuf_date", g, 6, 0, "Made", "Date the machine was made");
    Boards_dealed = field("Boards_dealed", g, 7, 0, "Boards dealt", "Number of boards the machine has dealt");
    machineGrid->addWidget(identity, 0, 0, 2, 1, Qt::AlignTop);

    QGroupBox* sensors = group("Sensors", g);
    for (int i = 0; i < 5; ++i) {
        const QByteArray name = QString("Photo%1").arg(i + 1).toLatin1();
        Photo[static_cast<std::size_t>(i)] =
            field(name.constData(), g, i, 0, QString("Light sensor %1").arg(i + 1),
                  QString("Light at sensor %1, 0 (dark) to 255 (bright)").arg(i + 1));
    }
    const QString switchTip = "%1: ON or OFF";
    Front_Switch = field("Front_Switch", g, 0, 1, "Front", switchTip.arg("Front switch"));
    Cover_Switch = field("Cover_Switch", g, 1, 1, "Cover", switchTip.arg("Cover switch"));
    Box_Switch = field("Box_Switch", g, 2, 1, "Box", switchTip.arg("Card box switch"));
    Flip_Switch = field("Flip_Switch", g, 3, 1, "Flip plate", switchTip.arg("Flip plate switch"));
    Board_no_txt = field("Board_no_txt", g, 4, 1, "Board", "Board number read from the board's label");
    Board_no_test_txt =
        field("Board_no_test_txt", g, 5, 1, "Label code", "Code read from the board's label, 0 to 255");
    machineGrid->addWidget(sensors, 0, 1);

    QGroupBox* motors = group("Motors", g);
    for (int i = 0; i < 4; ++i) {
        const QByteArray speed = QString("Motor_speed_%1").arg(i + 1).toLatin1();
        const QByteArray pwm = QString("PWM_motor_%1").arg(i + 1).toLatin1();
        Motor_speed[static_cast<std::size_t>(i)] =
            field(speed.constData(), g, i, 0, QString("Motor %1 speed").arg(i + 1),
                  QString("Speed of motor %1 as the machine counts it, 0 to 32767").arg(i + 1));
        PWM_motor[static_cast<std::size_t>(i)] =
            field(pwm.constData(), g, i, 1, QString("Motor %1 power").arg(i + 1),
                  QString("Power fed to motor %1 (pulse width), 0 to 255").arg(i + 1));
    }
    Inside_temp =
        field("Inside_temp", g, 4, 0, "Inside temperature", "Temperature inside the machine, in °C");
    Supply_volt = field("Supply_volt", g, 4, 1, "Supply voltage", "Supply voltage, in volts");
    machineGrid->addWidget(motors, 1, 1);

    QGroupBox* outputs = group("Outputs", g);
    static const std::array<std::pair<const char*, const char*>, 8> kOutputs{
        {{"Motors", "Motors"},
         {"Gate1", "Gate 1"},
         {"Gate2", "Gate 2"},
         {"Gate3", "Gate 3"},
         {"Cam_leds", "Camera lights"},
         {"Cam_power", "Camera power"},
         {"Front_green_led", "Green lamp"},
         {"Front_Red_Led", "Red lamp"}}};
    for (std::size_t i = 0; i < kOutputs.size(); ++i) {
        auto* box = new QCheckBox(kOutputs[i].second, this);
        box->setObjectName(kOutputs[i].first);
        box->setToolTip(
            QString("Switches the machine's %1 on or off").arg(QString(kOutputs[i].second).toLower()));
        outputBoxes[i] = box;
        g->addWidget(box, static_cast<int>(i % 4), static_cast<int>(i / 4));
        connect(box, &QCheckBox::toggled, this, [this, i](bool on) {
            const auto bit = static_cast<std::uint8_t>(1u << i);
            session_.outputs =
                static_cast<std::uint8_t>(on ? session_.outputs | bit : session_.outputs & ~bit);
        });
    }
    Feed_card = new QPushButton("Feed card", this);
    Feed_card->setObjectName("Feed_card");
    g->addWidget(Feed_card, 4, 0);
    machineGrid->addWidget(outputs, 0, 2, Qt::AlignTop);
    tabs->addTab(machinePage, "&Machine");

    // ---- Recognition: the results, the camera picture and the parameter sets -------------------------
    auto [recognitionPage, recognitionGrid] = page("recognitionPage");
    QGroupBox* recognition = group("Recognition", g);
    const QString pixels = "%1, in picture pixels";
    Reco_time = field("Reco_time", g, 0, 0, "Time", "Time the recognition took, in milliseconds");
    Symbol = field("Symbol", g, 1, 0, "Symbol", "Rank recognised: A, K, Q, J or 2 to 10");
    Suit = field("Suit", g, 2, 0, "Suit", "Suit recognised: S, H, D or C");
    Threshold = field("Threshold", g, 3, 0, "Threshold", "Grey level between black and white, 0 to 255");
    Reco_error = field("Reco_error", g, 4, 0, "Result", "The machine's result code of the recognition");
    Reco_param1 = field("Reco_param1", g, 5, 0, "Param 1", "First value the recognition reports, 0 to 255");
    Reco_param2 = field("Reco_param2", g, 6, 0, "Param 2", "Second value the recognition reports, 0 to 255");
    Symbol_size_x = field("Symbol_size_x", g, 0, 1, "Symbol width", pixels.arg("Width of the rank found"));
    Symbol_size_y = field("Symbol_size_y", g, 1, 1, "Symbol height", pixels.arg("Height of the rank found"));
    Suit_size_x = field("Suit_size_x", g, 2, 1, "Suit width", pixels.arg("Width of the suit found"));
    Suit_size_y = field("Suit_size_y", g, 3, 1, "Suit height", pixels.arg("Height of the suit found"));
    Cap_time = field("Cap_time", g, 4, 1, "Capture time", "Time the capture took, in milliseconds");
    Cur_x = field("Cur_x", g, 5, 1, "Pointer x", pixels.arg("Column under the mouse pointer"));
    Cur_y = field("Cur_y", g, 6, 1, "Pointer y", pixels.arg("Line under the mouse pointer"));
    Brightness =
        field("Brightness", g, 7, 1, "Brightness", "Grey level under the pointer, 0 (black) to 255 (white)");
    auto button = [this, &g](QPushButton*& b, const char* name, const char* caption, int row, int column) {
        b = new QPushButton(caption, this);
        b->setObjectName(name);
        g->addWidget(b, row, column, 1, 2);
    };
    button(Reco, "Reco", "Recognise", 8, 0);
    button(Capture, "Capture", "Capture", 8, 2);
    button(Showb, "Showb", "Show", 9, 0);
    button(Frame_draw, "Frame_draw", "Frames", 9, 2);
    button(Start_draw, "Start_draw", "Start point", 10, 0);
    recognitionGrid->addWidget(recognition, 0, 0);

    Picture1 = new PictureBox(image_, this);
    Picture1->setObjectName("Picture1");
    Picture1->setToolTip("The camera picture, 128 by 128 pixels");
    Picture1->moved = [this](int x, int y) {
        Cur_x->setText(QString::number(x));
        Cur_y->setText(QString::number(y));
        Brightness->setText(QString::number(qRed(image_.pixel(x, y))));
    };
    recognitionGrid->addWidget(Picture1, 0, 1, Qt::AlignTop | Qt::AlignLeft);

    QGroupBox* parameters = group("Parameters", g);
    struct ParameterField {
        const char* name;
        const char* caption;
        const char* tip;
    };
    static const std::array<std::array<ParameterField, 4>, 3> kParameters{{
        {{{"pos_x", "Corner x", "Column of the card corner the camera looks at"},
          {"pos_y", "Corner y", "Line of the card corner the camera looks at"},
          {"start_x", "Start x", "Column where the search starts"},
          {"start_y", "Start y", "Line where the search starts"}}},
        {{{"Sym_x_max", "Rank right", "Right edge of the window searched for the rank"},
          {"Sym_y_max", "Rank bottom", "Bottom edge of the window searched for the rank"},
          {"Sym_x_min", "Rank left", "Left edge of the window searched for the rank"},
          {"Sym_y_min", "Rank top", "Top edge of the window searched for the rank"}}},
        {{{"Suit_x_max", "Suit right", "Right edge of the window searched for the suit"},
          {"Suit_y_max", "Suit bottom", "Bottom edge of the window searched for the suit"},
          {"Suit_x_min", "Suit left", "Left edge of the window searched for the suit"},
          {"Suit_y_min", "Suit top", "Top edge of the window searched for the suit"}}},
    }};
    for (std::size_t set = 0; set < 3; ++set) {
        for (std::size_t i = 0; i < 4; ++i) {
            const ParameterField& p = kParameters[set][i];
            QLineEdit* box = field(p.name, g, static_cast<int>(i), static_cast<int>(set), p.caption,
                                   QString("%1, in picture pixels (0 to 255)").arg(p.tip));
            box->setReadOnly(false);
            auto last = std::make_shared<QString>();
            connect(box, &QLineEdit::textChanged, this, [this, box, last] {
                if (updating_) {
                    *last = box->text();
                    return;
                }
                NumericFilter(box, *last, 255);
                ParametersEdited();
            });
            parameterBoxes[set][i] = box;
        }
    }
    param_ID = field("param_ID", g, 4, 0, "Parameter ID", "Identity of the parameter sets in the machine");
    Ignore_flip = new QCheckBox("Ignore flip", this);
    Ignore_flip->setObjectName("Ignore_flip");
    Ignore_box = new QCheckBox("Ignore box", this);
    Ignore_box->setObjectName("Ignore_box");
    g->addWidget(Ignore_flip, 4, 2, 1, 2);
    g->addWidget(Ignore_box, 4, 4, 1, 2);
    connect(Ignore_flip, &QCheckBox::toggled, this, [this](bool on) {
        if (!updating_) session_.MutableFields().Ignore_flip = on;
    });
    connect(Ignore_box, &QCheckBox::toggled, this, [this](bool on) {
        if (!updating_) session_.MutableFields().Ignore_box = on;
    });
    Get_param = new QPushButton("Read parameters", this);
    Get_param->setObjectName("Get_param");
    save_param = new QPushButton("Save parameters", this);
    save_param->setObjectName("save_param");
    g->addWidget(Get_param, 5, 0, 1, 2);
    g->addWidget(save_param, 5, 2, 1, 2);
    recognitionGrid->addWidget(parameters, 1, 0, 1, 2);
    tabs->addTab(recognitionPage, "&Recognition");

    // ---- The card settings shared with dealing ------------------------------------------------------
    auto [optionsPage, optionsGrid] = page("optionsPage");
    auto optionGroup = [&](std::size_t index, const char* caption, const char* frameName, int row,
                           int column) {
        auto* frame = new QGroupBox(caption, this);
        frame->setObjectName(frameName);
        frame->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
        optionFrames[index] = frame;
        optionsGrid->addWidget(frame, row, column, Qt::AlignTop | Qt::AlignLeft);
        auto* layout = new QVBoxLayout(frame);
        auto* buttons = new QButtonGroup(frame);
        return std::make_pair(layout, buttons);
    };
    auto radio = [this](std::pair<QVBoxLayout*, QButtonGroup*> where, const char* caption,
                        const QString& name) {
        auto* b = new QRadioButton(caption, this);
        b->setObjectName(name);
        where.first->addWidget(b);
        where.second->addButton(b);
        return b;
    };
    auto nationalGroup = optionGroup(0, kNationalFrameCaption, "Frame2", 0, 0);
    for (int i = 0; i < kNationalSets; ++i) {
        QRadioButton* b = radio(nationalGroup, kNationalCaptions[static_cast<std::size_t>(i)],
                                QString("National_%1").arg(i + 1));
        National[static_cast<std::size_t>(i)] = b;
        connect(b, &QRadioButton::clicked, this, [this, i] {
            if (!updating_) session_.ChooseNational(i);
        });
    }
    auto typeGroup = optionGroup(1, kCardTypeFrameCaption, "Frame3", 0, 1);
    for (int i = 0; i < 2; ++i) {
        QRadioButton* b = radio(typeGroup, kCardTypeCaptions[static_cast<std::size_t>(i)],
                                QString("CardType_%1").arg(i + 1));
        CardType[static_cast<std::size_t>(i)] = b;
        connect(b, &QRadioButton::clicked, this, [this, i] {
            if (!updating_) session_.ChooseCardType(i);
        });
    }
    auto thresholdGroup = optionGroup(2, kThresholdFrameCaption, "Frame1", 1, 0);
    for (int i = 0; i < 3; ++i) {
        QRadioButton* b = radio(thresholdGroup, kThresholdCaptions[static_cast<std::size_t>(i)],
                                QString("Threshold_%1").arg(i + 1));
        ThresholdOption[static_cast<std::size_t>(i)] = b;
        connect(b, &QRadioButton::clicked, this, [this, i] {
            if (!updating_) session_.ChooseThreshold(i);
        });
    }
    auto indexGroup = optionGroup(3, kCardIndexFrameCaption, "Frame4", 1, 1);
    Card_Index_st = radio(indexGroup, kCardIndexCaptions[0], "Card_Index_st");
    Card_Index_j = radio(indexGroup, kCardIndexCaptions[1], "Card_Index_j");
    for (int i = 0; i < 2; ++i) {
        connect(i == 0 ? Card_Index_st : Card_Index_j, &QRadioButton::clicked, this, [this, i] {
            if (!updating_) Check(session_.ChooseCardIndex(i));
        });
    }
    tabs->addTab(optionsPage, "&Card settings");

    // ---- Under the tabs: the firmware download and Exit ----------------------------------------------
    auto* bottom = new QHBoxLayout;
    Download = new QPushButton("Download New Firmware", this);
    Download->setObjectName("Download");
    bottom->addWidget(Download);
    for (QLabel** label : {&lblFrames, &lblSum, &lblComm, &lblProg}) {
        *label = new QLabel(this);
        bottom->addWidget(*label);
    }
    lblFrames->setObjectName("lblFrames");
    lblSum->setObjectName("lblSum");
    lblComm->setObjectName("lblComm");
    lblProg->setObjectName("lblProg");
    Download_bar = new QProgressBar(this);
    Download_bar->setObjectName("Download_bar");
    Download_bar->setRange(0, 100);
    bottom->addWidget(Download_bar, 1);
    bottom->addStretch(1);
    Exit = new QPushButton("E&xit", this);
    Exit->setObjectName("cmdExit");
    Exit->setToolTip("Close the maintenance window");
    Exit->setAutoDefault(false);
    bottom->addWidget(Exit);

    auto* top = new QVBoxLayout(this);
    top->addWidget(tabs);
    top->addLayout(bottom);

    connect(Feed_card, &QPushButton::clicked, this, [this] { onFeedCardClicked(); });
    connect(Reco, &QPushButton::clicked, this, [this] { onRecognizeClicked(); });
    connect(Capture, &QPushButton::clicked, this, [this] { onCaptureClicked(); });
    connect(Showb, &QPushButton::clicked, this, [this] { onShowPictureClicked(); });
    connect(Get_param, &QPushButton::clicked, this, [this] { onGetParametersClicked(); });
    connect(save_param, &QPushButton::clicked, this, [this] { onSaveParametersClicked(); });
    connect(Frame_draw, &QPushButton::clicked, this, [this] { onFrameDrawClicked(); });
    connect(Start_draw, &QPushButton::clicked, this, [this] { onStartDrawClicked(); });
    connect(Download, &QPushButton::clicked, this, [this] { onDownloadClicked(); });
    // Exit closes the window as its close box does.
    connect(Exit, &QPushButton::clicked, this, [this] { close(); });
}

EmulatorPanel* MaintenanceWindow::ShowEmulatorPanel(EmulatedMachine& machine) {
    if (panel_ == nullptr) panel_ = new EmulatorPanel(machine, this);
    panel_->ShowBeside(this);
    return panel_;
}

void MaintenanceWindow::ConnectSequence() {
    session_.Connect();
    ShowTransfer(false);
    startupTimer.start(kStartupDelayMs);
}

void MaintenanceWindow::Refresh() {
    const MaintenanceFields& f = session_.Fields();
    updating_ = true;
    auto set = [](QLineEdit* box, const std::string& text) {
        if (box->text() != Q(text)) box->setText(Q(text));
    };
    set(txtUSB_ID, f.txtUSB_ID);
    set(Soft_ver, f.Soft_ver);
    set(Down_ID, f.Down_ID);
    set(Flash_ID_text, f.Flash_ID_text);
    set(Serial_number, f.Serial_number);
    set(Hardware_ID, f.Hardware_ID);
    set(Manuf_date, f.Manuf_date);
    set(Boards_dealed, f.Boards_dealed);
    for (std::size_t i = 0; i < 5; ++i) {
        set(Photo[i], f.Photo[i]);
        Paint(Photo[i], f.Photo[i].empty() ? kWhite : f.photoColour[i]);
    }
    auto showSwitch = [&](QLineEdit* box, const SwitchField& s) {
        set(box, s.text);
        Paint(box, s.colour);
    };
    showSwitch(Front_Switch, f.Front_Switch);
    showSwitch(Cover_Switch, f.Cover_Switch);
    showSwitch(Box_Switch, f.Box_Switch);
    showSwitch(Flip_Switch, f.Flip_Switch);
    for (std::size_t i = 0; i < 4; ++i) {
        set(Motor_speed[i], f.motorSpeed[i]);
        Paint(Motor_speed[i], f.motorSpeed[i].empty() ? kWhite : f.motorColour[i]);
        set(PWM_motor[i], f.PWM_motor[i]);
    }
    set(Inside_temp, f.Inside_temp);
    set(Supply_volt, f.Supply_volt);
    set(Board_no_txt, f.Board_no_txt);
    set(Board_no_test_txt, f.Board_no_test_txt);
    for (std::size_t s = 0; s < 3; ++s) {
        for (std::size_t i = 0; i < 4; ++i)
            set(parameterBoxes[s][i], f.parameters[s][i]);
    }
    set(param_ID, f.param_ID);
    Ignore_flip->setChecked(f.Ignore_flip);
    Ignore_box->setChecked(f.Ignore_box);
    Ignore_flip->setEnabled(f.ignoreEnabled);
    Ignore_box->setEnabled(f.ignoreEnabled);
    set(Reco_time, f.Reco_time);
    set(Symbol, f.Symbol);
    set(Suit, f.Suit);
    set(Threshold, f.Threshold);
    set(Reco_error, f.Reco_error);
    set(Reco_param1, f.Reco_param1);
    set(Reco_param2, f.Reco_param2);
    set(Symbol_size_x, f.Symbol_size_x);
    set(Symbol_size_y, f.Symbol_size_y);
    set(Suit_size_x, f.Suit_size_x);
    set(Suit_size_y, f.Suit_size_y);
    set(Cap_time, f.Cap_time);
    const bool controls = session_.ControlsEnabled();
    for (QWidget* w : std::initializer_list<QWidget*>{Get_param, save_param, Capture, Showb, Feed_card, Reco})
        w->setEnabled(controls);
    for (QGroupBox* frame : optionFrames)
        frame->setEnabled(controls);
    Download->setEnabled(session_.DownloadEnabled());
    updating_ = false;
}

void MaintenanceWindow::SyncOptions() {
    const CardOptions& o = session_.Options();
    updating_ = true;
    National[static_cast<std::size_t>(o.national)]->setChecked(true);
    CardType[static_cast<std::size_t>(o.cardType)]->setChecked(true);
    ThresholdOption[static_cast<std::size_t>(o.threshold)]->setChecked(true);
    (o.cardIndex == 1 ? Card_Index_j : Card_Index_st)->setChecked(true);
    updating_ = false;
}

void MaintenanceWindow::ParametersEdited() {
    MaintenanceFields& f = session_.MutableFields();
    for (std::size_t s = 0; s < 3; ++s) {
        for (std::size_t i = 0; i < 4; ++i)
            f.parameters[s][i] = parameterBoxes[s][i]->text().toStdString();
    }
}

bool MaintenanceWindow::Check(bool ok) {
    if (!ok && !closing_) {
        pollTimer.stop();
        startupTimer.stop();
        reject();
    }
    return ok;
}

void MaintenanceWindow::onStartupTimer() {
    startupTimer.stop();
    if (!Check(session_.StartupExchange())) return;
    pollTimer.start(kSensorIntervalMs);
}

void MaintenanceWindow::onPollTimer() {
    Check(session_.SensorRequest(false));
}

void MaintenanceWindow::onFeedCardClicked() {
    Check(session_.SensorRequest(true));
}

void MaintenanceWindow::onRecognizeClicked() {
    Check(session_.Recognise());
}

void MaintenanceWindow::onCaptureClicked() {
    Check(session_.Capture());
}

void MaintenanceWindow::onShowPictureClicked() {
    if (session_.Busy()) return;
    Showb->setEnabled(false);
    const bool ok = session_.ShowImage();
    Showb->setEnabled(session_.ControlsEnabled());
    ShowPicture();
    Check(ok);
}

void MaintenanceWindow::onGetParametersClicked() {
    if (session_.Busy()) return;
    session_.SetBusy(true);
    const bool ok = session_.ReadParameters();
    session_.SetBusy(false);
    Check(ok);
}

void MaintenanceWindow::onSaveParametersClicked() {
    if (session_.Busy()) return;
    ParametersEdited();
    Check(session_.SaveParameters());
}

void MaintenanceWindow::DrawLine(int line, const std::uint8_t* pixels, int mode) {
    if (line < 0 || line >= kPictureSize) return;
    for (int x = 0; x < kPictureSize; ++x) {
        const int v = pixels[x];
        const QRgb colour =
            mode == kImageGrey ? qRgb(v, v, v) : (v == 0 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        image_.setPixel(x, line, colour);
    }
}

void MaintenanceWindow::ShowPicture() {
    Picture1->update();
}

void MaintenanceWindow::onFrameDrawClicked() {
    if (!session_.RecognitionOk()) return;
    const MaintenanceFields& f = session_.Fields();
    auto number = [](const std::string& text) { return QString::fromStdString(text).toInt(); };
    QPainter painter(&image_);
    painter.setPen(QColor(kFrameRed.r, kFrameRed.g, kFrameRed.b));
    // Each box at the minimum corner of its window, as large as the machine measured it.
    painter.drawRect(number(f.parameters[1][2]), number(f.parameters[1][3]), number(f.Symbol_size_x) - 1,
                     number(f.Symbol_size_y) - 1);
    painter.drawRect(number(f.parameters[2][2]), number(f.parameters[2][3]), number(f.Suit_size_x) - 1,
                     number(f.Suit_size_y) - 1);
    painter.end();
    ShowPicture();
}

void MaintenanceWindow::onStartDrawClicked() {
    const MaintenanceFields& f = session_.Fields();
    const int x = QString::fromStdString(f.parameters[0][2]).toInt();
    const int y = QString::fromStdString(f.parameters[0][3]).toInt();
    QPainter painter(&image_);
    painter.setPen(QColor(kFrameRed.r, kFrameRed.g, kFrameRed.b));
    painter.drawLine(x - 3, y, x + 3, y);
    painter.drawLine(x, y - 3, x, y + 3);
    painter.end();
    ShowPicture();
}

void MaintenanceWindow::ShowTransfer(bool shown) {
    for (QWidget* w : std::initializer_list<QWidget*>{lblFrames, lblSum, lblComm, lblProg, Download_bar})
        w->setVisible(shown);
    if (!shown) Download_bar->setValue(0);
}

void MaintenanceWindow::MaintenanceDelay(int ms) {
    QEventLoop loop;
    delayTimer.setSingleShot(true);
    auto connection = connect(&delayTimer, &QTimer::timeout, &loop, [this, &loop] {
        delayTimer.stop();
        loop.quit();
    });
    delayTimer.start(ms);
    loop.exec();
    disconnect(connection);
}

void MaintenanceWindow::onDownloadClicked() {
    if (session_.Busy()) return;
    session_.SetBusy(true);
    DownloadView view;
    view.showTransfer = [this](bool shown) { ShowTransfer(shown); };
    view.progress.counters = [this](const DownloadCounters& c) {
        const auto texts = CounterTexts(c);
        lblFrames->setText(Q(texts[0]));
        lblSum->setText(Q(texts[1]));
        lblComm->setText(Q(texts[2]));
        lblProg->setText(Q(texts[3]));
    };
    view.progress.percent = [this](int percent) {
        Download_bar->setValue(percent);
        QCoreApplication::processEvents();
    };
    downloading_ = true;
    const DownloadCommandOutcome outcome = DownloadFirmwareFile(link_, dialogs_, view);
    if (outcome == DownloadCommandOutcome::LinkLost) {
        downloading_ = false;
        session_.SetBusy(false);
        Check(false);
        return;
    }
    if (outcome == DownloadCommandOutcome::Done) {
        session_.DisableAfterDownload();
        pollTimer.stop();
        link_.LatchOff();
        MaintenanceDelay(downloadDelayMs);
        ConnectSequence();
    }
    // The window may close again once the wait after a download is over.
    downloading_ = false;
    session_.SetBusy(false);
}

void MaintenanceWindow::done(int result) {
    // The download lets events through; the window stays until it has finished.
    if (downloading_) return;
    if (!closing_) {
        closing_ = true;
        pollTimer.stop();
        startupTimer.stop();
        session_.Close();
    }
    QDialog::done(result);
}

} // namespace orvenix
