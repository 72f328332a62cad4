#include "ui/machine/dealing_window.h"

#include "machine/clock.h"
#include "machine/link.h"
#include "ui/machine/emulator_panel.h"
#include "ui/machine/machine_error_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace orvenix {

namespace {

constexpr int kPollMs = 100;
constexpr int kStartupDelayMs = 2000;
const QColor kCyan(0, 255, 255);
const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);

QString Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, const char* tip = nullptr) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    if (tip != nullptr) b->setToolTip(QString::fromUtf8(tip));
    return b;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

} // namespace

// ---- Picture1 -------------------------------------------------------------------------------------

QString SuitSymbol(int suitIndex) {
    static const std::array<char16_t, 4> kSymbols{u'\u2660', u'\u2665', u'\u2666', u'\u2663'};
    return QString(QChar(kSymbols.at(static_cast<std::size_t>(suitIndex))));
}

BoardDrawing::BoardDrawing(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, kCyan);
    setPalette(p);
    setMinimumSize(420, 330);
}

void BoardDrawing::SetPicture(const BoardPicture& picture) {
    if (picture == picture_) return;
    picture_ = picture;
    update();
}

QStringList BoardDrawing::Texts() const {
    QStringList out{"N", "E", "S", "W", Q(picture_.boardText), Q(picture_.vulText), Q(picture_.dealerText)};
    if (picture_.showHands) {
        for (const auto& seat : picture_.cards) {
            for (int suit = 0; suit < 4; ++suit)
                out << SuitSymbol(suit) + Q(seat[static_cast<std::size_t>(suit)]);
        }
    }
    return out;
}

void BoardDrawing::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kCyan);
    const int w = width();
    const int h = height();
    QFont letters = font();
    letters.setBold(true);
    letters.setPointSize(letters.pointSize() + 2);
    painter.setFont(letters);
    painter.setPen(Qt::black);
    const QFontMetrics lm(letters);
    painter.drawText(w / 2 - lm.horizontalAdvance("N") / 2, lm.ascent() + 2, "N");
    painter.drawText(w / 2 - lm.horizontalAdvance("S") / 2, h - lm.descent() - 2, "S");
    painter.drawText(4, h / 2, "W");
    painter.drawText(w - lm.horizontalAdvance("E") - 4, h / 2, "E");

    QFont plain = font();
    painter.setFont(plain);
    const QFontMetrics fm(plain);
    const int line = fm.height();
    painter.drawText(6, line, Q(picture_.boardText));
    painter.drawText(6, 2 * line, Q(picture_.vulText));
    painter.drawText(6, 3 * line, Q(picture_.dealerText));
    if (!picture_.showHands) return;

    // Top-left corners of the hands N, E, S, W.
    const int handWidth = w / 3;
    const std::array<QPoint, 4> corners{QPoint(w / 2 - handWidth / 3, lm.height() + 4),
                                        QPoint(w - handWidth + 10, h / 2 - 2 * line),
                                        QPoint(w / 2 - handWidth / 3, h - 4 * line - lm.height() - 4),
                                        QPoint(lm.horizontalAdvance("W") + 10, h / 2 - 2 * line)};
    for (std::size_t seat = 0; seat < 4; ++seat) {
        for (int suit = 0; suit < 4; ++suit) {
            const int x = corners[seat].x();
            const int y = corners[seat].y() + (suit + 1) * line;
            painter.setPen(suit == 1 || suit == 2 ? QColor(200, 0, 0) : QColor(Qt::black));
            const QString symbol = SuitSymbol(suit);
            painter.drawText(x, y, symbol);
            painter.setPen(Qt::black);
            painter.drawText(x + fm.horizontalAdvance(symbol) + 4, y,
                             Q(picture_.cards[seat][static_cast<std::size_t>(suit)]));
        }
    }
}

// ---- DealingWindow -----------------------------------------------------------------------------------

DealingWindow::DealingWindow(SessionMode mode, BoardSet& set, MachineLink& link, Clock& clock,
                             Settings& settings, Dialogs& dialogs, std::function<void()> saveBoardSet,
                             QWidget* parent)
    : QDialog(parent), link_(link), clock_(clock), saveBoardSet_(std::move(saveBoardSet)) {
    setObjectName("DealingWindow");
    setModal(true);
    pollTimer.setObjectName("Timer1");
    pollTimer.setInterval(kPollMs);
    connect(&pollTimer, &QTimer::timeout, this, [this] { onPollTimer(); });
    waitTimer.setObjectName("Timer2");
    waitTimer.setSingleShot(true);
    startupTimer.setObjectName("Timer3d");
    startupTimer.setSingleShot(true);
    connect(&startupTimer, &QTimer::timeout, this, [this] { onStartupTimer(); });

    BuildControls();
    session_ = std::make_unique<DealingSession>(mode, LoadSessionOptions(settings), set, link, clock, dialogs,
                                                *this, &settings);
    session_->Load();
    Refresh(kViewAll);
    startupTimer.start(kStartupDelayMs);
}

DealingWindow::~DealingWindow() {
    Shut();
}

void DealingWindow::BuildControls() {
    txtFile = new QLineEdit(this);
    txtFile->setObjectName("txtFile");
    txtFile->setReadOnly(true);
    txtFile->setToolTip("File name of the current board set");
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(MakeLabel(this, "Label1", "File Name:"));
    fileRow->addWidget(txtFile, 1);

    Picture1 = new BoardDrawing(this);
    Picture1->setObjectName("Picture1");
    Picture1->setToolTip("Current board to be dealt");

    static constexpr std::array<const char*, 4> kHands{"Hand North", "Hand East", "Hand South", "Hand West"};
    auto* hands = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        const auto n = static_cast<std::size_t>(i);
        Label2[n] = MakeLabel(this, QString("Label2_%1").arg(i), kHands[n]);
        lblHCP[n] = MakeLabel(this, QString("lblHCP_%1").arg(i), "0");
        lblHCP[n]->setMinimumWidth(30);
        hands->addWidget(Label2[n], i, 0);
        hands->addWidget(lblHCP[n], i, 1);
    }
    // Pocket count labels 0 N, 1 E, 2 W, 3 S.
    static constexpr std::array<const char*, 4> kPocketSeats{"North", "East", "West", "South"};
    auto* counts = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        const auto n = static_cast<std::size_t>(i);
        lblCnt[n] = MakeLabel(this, QString("lblCnt_%1").arg(i), "0");
        lblCnt[n]->setToolTip(QString("Actual count of cards dealt for the %1 hand").arg(kPocketSeats[n]));
        lblCnt[n]->setAutoFillBackground(true);
        lblCnt[n]->setAlignment(Qt::AlignCenter);
        lblCnt[n]->setMinimumWidth(36);
    }
    // Placed where their pockets are: N on top, W left, E right, S below.
    counts->addWidget(lblCnt[kCountNorth], 0, 1);
    counts->addWidget(lblCnt[kCountWest], 1, 0);
    counts->addWidget(lblCnt[kCountEast], 1, 2);
    counts->addWidget(lblCnt[kCountSouth], 2, 1);

    txtStatus = new QLineEdit(this);
    txtStatus->setObjectName("txtStatus");
    txtStatus->setReadOnly(true);
    txtStatus->setToolTip("Status of the Dealing hardware");
    txtDealTime = new QLineEdit(this);
    txtDealTime->setObjectName("txtDealTime");
    txtDealTime->setReadOnly(true);
    auto* state = new QGridLayout;
    state->addWidget(MakeLabel(this, "Label3", "Dealer Status:"), 0, 0);
    state->addWidget(txtStatus, 0, 1);
    state->addWidget(MakeLabel(this, "Label4", "Dealing time:"), 1, 0);
    state->addWidget(txtDealTime, 1, 1);

    cmdDeal = MakeButton(this, "cmdDeal", "&Deal", "Deal the current Board");
    Deal_next = MakeButton(this, "Deal_next", "Deal ne&xt");
    cmdBreak = MakeButton(this, "cmdBreak", "&Break", "Break Dealing");
    cmdClear = MakeButton(this, "cmdClear", "&Clear");
    cmdFirst = MakeButton(this, "cmdFirst", "&First ", "Move to the First Board");
    cmdPrev = MakeButton(this, "cmdPrev", "&Prev", "Move to the Previous Board");
    cmdNext = MakeButton(this, "cmdNext", "&Next", "Move to the Next Board");
    cmdLast = MakeButton(this, "cmdLast", "&Last", "Move to the Last Board");
    cmdExit = MakeButton(this, "cmdExit", "&Exit", "Exit this screen");
    Disp_boards = MakeButton(this, "Disp_boards", "Display Boards");
    auto* nav = new QHBoxLayout;
    for (QPushButton* b : {cmdFirst, cmdPrev, cmdNext, cmdLast})
        nav->addWidget(b);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {cmdDeal, Deal_next, cmdBreak, cmdClear, Disp_boards})
        buttons->addWidget(b);
    buttons->addLayout(counts);
    buttons->addLayout(hands);
    buttons->addStretch(1);
    buttons->addWidget(cmdExit);

    read_mode1 = new QRadioButton("Simulate hand dealing (single card to every hand)", this);
    read_mode1->setObjectName("read_mode1");
    read_mode2 =
        new QRadioButton("Read already played boards (cards sort in top-N-E-W-S-bottom order)", this);
    read_mode2->setObjectName("read_mode2");
    auto* readGroup = new QButtonGroup(this);
    readGroup->addButton(read_mode1);
    readGroup->addButton(read_mode2);
    Start_from_box = new QCheckBox("Start Dealing from Board Inserting", this);
    Start_from_box->setObjectName("Start_from_box");
    Check_board = new QCheckBox(kCheckBoardCaption, this);
    Check_board->setObjectName("Check_board");

    // The recognition options, one frame per group.
    auto makeFrame = [this](std::size_t index, const char* name, const char* caption) {
        optionFrames[index] = new QGroupBox(caption, this);
        optionFrames[index]->setObjectName(name);
        new QVBoxLayout(optionFrames[index]);
        return optionFrames[index];
    };
    auto addOption = [](QGroupBox* frame, const QString& name, const char* caption) {
        auto* b = new QRadioButton(caption, frame);
        b->setObjectName(name);
        frame->layout()->addWidget(b);
        return b;
    };
    QGroupBox* Frame2 = makeFrame(0, "Frame2", kNationalFrameCaption);
    for (int i = 0; i < kNationalSets; ++i)
        National[static_cast<std::size_t>(i)] = addOption(Frame2, QString("National_%1").arg(i + 1),
                                                          kNationalCaptions[static_cast<std::size_t>(i)]);
    QGroupBox* Frame3 = makeFrame(1, "Frame3", kCardTypeFrameCaption);
    for (int i = 0; i < 2; ++i)
        CardType[static_cast<std::size_t>(i)] = addOption(Frame3, QString("CardType_%1").arg(i + 1),
                                                          kCardTypeCaptions[static_cast<std::size_t>(i)]);
    QGroupBox* Frame1 = makeFrame(2, "Frame1", kThresholdFrameCaption);
    for (int i = 0; i < 3; ++i)
        Threshold[static_cast<std::size_t>(i)] = addOption(Frame1, QString("Threshold_%1").arg(i + 1),
                                                           kThresholdCaptions[static_cast<std::size_t>(i)]);
    QGroupBox* Frame4 = makeFrame(3, "Frame4", kCardIndexFrameCaption);
    Card_Index_st = addOption(Frame4, "Card_Index_st", kCardIndexCaptions[0]);
    Card_Index_j = addOption(Frame4, "Card_Index_j", kCardIndexCaptions[1]);

    // The options stand in a column of their own on the right, so the window stays low enough for a
    // laptop screen.
    auto* options = new QVBoxLayout;
    for (QGroupBox* f : optionFrames)
        options->addWidget(f);
    options->addStretch(1);

    auto* left = new QVBoxLayout;
    left->addLayout(fileRow);
    left->addWidget(Picture1, 1);
    left->addLayout(nav);
    left->addLayout(state);
    left->addWidget(read_mode1);
    left->addWidget(read_mode2);
    left->addWidget(Start_from_box);
    left->addWidget(Check_board);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    layout->addLayout(options);

    // Commands. A running step lets only Break through.
    connect(cmdDeal, &QPushButton::clicked, this, [this] { WhenIdle([this] { session_->DealCommand(); }); });
    connect(Deal_next, &QPushButton::clicked, this,
            [this] { WhenIdle([this] { session_->DealNextCommand(); }); });
    connect(cmdBreak, &QPushButton::clicked, this, [this] { session_->BreakCommand(); });
    connect(cmdClear, &QPushButton::clicked, this,
            [this] { WhenIdle([this] { session_->ClearCommand(); }); });
    connect(cmdFirst, &QPushButton::clicked, this,
            [this] { WhenIdle([this] { session_->FirstCommand(); }); });
    connect(cmdPrev, &QPushButton::clicked, this, [this] { WhenIdle([this] { session_->PrevCommand(); }); });
    connect(cmdNext, &QPushButton::clicked, this, [this] { WhenIdle([this] { session_->NextCommand(); }); });
    connect(cmdLast, &QPushButton::clicked, this, [this] { WhenIdle([this] { session_->LastCommand(); }); });
    connect(cmdExit, &QPushButton::clicked, this, [this] { WhenIdle([this] { session_->ExitCommand(); }); });
    connect(Disp_boards, &QPushButton::clicked, this,
            [this] { WhenIdle([this] { session_->DisplayBoardsCommand(); }); });
    connect(read_mode1, &QRadioButton::clicked, this,
            [this] { WhenIdle([this] { session_->ReadModeClicked(ReadMode::SimulateHandDealing); }); });
    connect(read_mode2, &QRadioButton::clicked, this,
            [this] { WhenIdle([this] { session_->ReadModeClicked(ReadMode::PlayedBoards); }); });
    connect(Start_from_box, &QCheckBox::clicked, this,
            [this](bool ticked) { WhenIdle([this, ticked] { session_->StartFromBoxClicked(ticked); }); });
    connect(Check_board, &QCheckBox::clicked, this,
            [this](bool ticked) { WhenIdle([this, ticked] { session_->CheckBoardClicked(ticked); }); });
    for (int i = 0; i < kNationalSets; ++i)
        connect(National[static_cast<std::size_t>(i)], &QRadioButton::clicked, this,
                [this, i] { WhenIdle([this, i] { session_->NationalClicked(i); }); });
    for (int i = 0; i < 2; ++i)
        connect(CardType[static_cast<std::size_t>(i)], &QRadioButton::clicked, this,
                [this, i] { WhenIdle([this, i] { session_->CardTypeClicked(i); }); });
    for (int i = 0; i < 3; ++i)
        connect(Threshold[static_cast<std::size_t>(i)], &QRadioButton::clicked, this,
                [this, i] { WhenIdle([this, i] { session_->ThresholdClicked(i); }); });
    connect(Card_Index_st, &QRadioButton::clicked, this,
            [this] { WhenIdle([this] { session_->CardIndexClicked(0); }); });
    connect(Card_Index_j, &QRadioButton::clicked, this,
            [this] { WhenIdle([this] { session_->CardIndexClicked(1); }); });
}

void DealingWindow::WhenIdle(const std::function<void()>& command) {
    if (closing_ || !session_) return;
    if (session_->StepRunning()) {
        // A control that was clicked during a step: show the session's state again (a radio button or
        // check box would otherwise keep the click).
        Refresh(kViewOptions);
        return;
    }
    command();
    if (!closing_) Refresh(kViewAll);
}

void DealingWindow::Refresh(unsigned parts) {
    if (!session_) return;
    const SessionDisplay& d = session_->Display();
    if ((parts & kViewCaptions) != 0) {
        setWindowTitle(Q(d.caption));
        cmdDeal->setText(Q(d.dealCaption));
        Deal_next->setText(Q(d.dealNextCaption));
        cmdClear->setVisible(d.clearVisible);
        read_mode1->setVisible(d.readModesVisible);
        read_mode2->setVisible(d.readModesVisible);
        txtFile->setText(Q(d.fileName));
    }
    if ((parts & kViewState) != 0) {
        txtStatus->setText(Q(d.stateText));
        txtStatus->repaint();
    }
    if ((parts & kViewDealTime) != 0) txtDealTime->setText(Q(d.dealTime));
    if ((parts & kViewControls) != 0) {
        const std::array<std::pair<SessionControl, QWidget*>, 11> controls{{{kCmdFirst, cmdFirst},
                                                                            {kCmdPrev, cmdPrev},
                                                                            {kCmdNext, cmdNext},
                                                                            {kCmdLast, cmdLast},
                                                                            {kCmdDeal, cmdDeal},
                                                                            {kDealNext, Deal_next},
                                                                            {kCmdBreak, cmdBreak},
                                                                            {kCmdClear, cmdClear},
                                                                            {kCmdExit, cmdExit},
                                                                            {kCheckBoard, Check_board},
                                                                            {kStartFromBox, Start_from_box}}};
        for (const auto& [control, widget] : controls)
            widget->setEnabled(d.enabled[control]);
        for (QGroupBox* f : optionFrames)
            f->setEnabled(d.enabled[kRecognitionOptions]);
    }
    if ((parts & kViewCounts) != 0) {
        for (std::size_t i = 0; i < 4; ++i) {
            lblCnt[i]->setText(QString::number(d.counts[i].count));
            QPalette p = lblCnt[i]->palette();
            switch (d.counts[i].colour) {
            case CountColour::Green:
                p.setColor(QPalette::Window, kGreen);
                break;
            case CountColour::Red:
                p.setColor(QPalette::Window, kRed);
                break;
            case CountColour::None:
                p.setColor(QPalette::Window, palette().color(QPalette::Window));
                break;
            }
            lblCnt[i]->setPalette(p);
        }
    }
    if ((parts & kViewBoard) != 0) {
        Picture1->SetPicture(d.picture);
        for (std::size_t i = 0; i < 4; ++i)
            lblHCP[i]->setText(QString::number(d.picture.highCardPoints[i]));
        Disp_boards->setText(Q(d.displayBoardsCaption));
    }
    if ((parts & kViewOptions) != 0) ShowOptions();
}

void DealingWindow::ShowOptions() {
    const SessionDisplay& d = session_->Display();
    National.at(static_cast<std::size_t>(d.options.national))->setChecked(true);
    CardType.at(static_cast<std::size_t>(d.options.cardType))->setChecked(true);
    Threshold.at(static_cast<std::size_t>(d.options.threshold))->setChecked(true);
    (d.options.cardIndex == 1 ? Card_Index_j : Card_Index_st)->setChecked(true);
    Check_board->setChecked(d.options.checkBoard);
    Start_from_box->setChecked(d.startFromBox);
    (d.readMode == ReadMode::PlayedBoards ? read_mode2 : read_mode1)->setChecked(true);
}

void DealingWindow::SetPollTimer(bool running) {
    if (running && !closing_) {
        pollTimer.start();
    } else {
        pollTimer.stop();
    }
}

void DealingWindow::Wait(int ms) {
    if (auto* virtualClock = dynamic_cast<VirtualClock*>(&clock_)) {
        // Virtual time (tests, demonstrations): the wait moves the clock; window events still run.
        virtualClock->Advance(static_cast<std::uint64_t>(ms));
        QCoreApplication::processEvents();
        return;
    }
    QEventLoop loop;
    auto connection = connect(&waitTimer, &QTimer::timeout, &loop, &QEventLoop::quit);
    waitTimer.start(ms);
    loop.exec();
    disconnect(connection);
}

void DealingWindow::ProcessEvents() {
    QCoreApplication::processEvents();
}

EmulatorPanel* DealingWindow::ShowEmulatorPanel(EmulatedMachine& machine) {
    if (panel_ == nullptr) panel_ = new EmulatorPanel(machine, this);
    panel_->ShowBeside(this);
    return panel_;
}

void DealingWindow::RunErrorDialog(ErrorDialog& dialog) {
    MachineErrorDialog window(dialog, this);
    // A modal window leaves only its own children usable: the panel moves to the dialog meanwhile, so
    // that its pedal can answer it.
    // It stays where it is, beside this window.
    const bool panelShown = panel_ != nullptr && panel_->isVisible();
    const QPoint panelAt = panel_ != nullptr ? panel_->pos() : QPoint();
    auto movePanel = [&](QWidget* parent) {
        if (panel_ == nullptr) return;
        panel_->setParent(parent, panel_->windowFlags());
        panel_->move(panelAt);
        if (panelShown) panel_->show();
    };
    movePanel(&window);
    window.exec();
    movePanel(this);
}

void DealingWindow::CloseWindow() {
    done(QDialog::Rejected);
}

void DealingWindow::SaveBoardSet() {
    if (saveBoardSet_) saveBoardSet_();
}

void DealingWindow::onPollTimer() {
    if (closing_) return;
    session_->PollTick();
    if (!closing_) Refresh(kViewAll);
}

void DealingWindow::onStartupTimer() {
    startupTimer.stop();
    if (closing_) return;
    session_->StartupExchange();
    if (!closing_) Refresh(kViewAll);
}

void DealingWindow::done(int result) {
    if (!closing_ && session_ && session_->StepRunning() && !session_->CloseRequested()) return;
    Shut();
    QDialog::done(result);
}

void DealingWindow::Shut() {
    if (closing_) return;
    closing_ = true;
    pollTimer.stop();
    waitTimer.stop();
    startupTimer.stop();
    if (session_) session_->Unload();
}

} // namespace orvenix
