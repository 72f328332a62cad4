// The dealing and reading window and its error dialog on the emulated machine in virtual time (the timer
// ticks are called directly): captions and enabling, dealing a set to its end, reading a board, the foot
// pedal, the error dialog's button sets, the card options on screen, and a lost link.
#include "ui/machine/dealing_window.h"

#include "base/dialogs.h"
#include "base/messages.h"
#include "base/settings.h"
#include "machine/emulated_si.h"
#include "machine/link.h"
#include "support/sample_deals.h"
#include "ui/machine/machine_error_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace orvenix {
namespace {

// Empty boards first..last, waiting to be read.
BoardSet EmptySet(int first, int last) {
    BoardSet set;
    set.firstBoard = static_cast<std::int16_t>(first);
    set.lastBoard = static_cast<std::int16_t>(last);
    for (int n = first; n <= last; ++n) {
        set[n].number = static_cast<std::int16_t>(n);
        set[n].dealer = DealerOf(n);
        set[n].vulnerability = VulnerabilityOf(n);
    }
    set.fileName = "reading.pbn";
    return set;
}

// Runs handler on the modal window that the next action opens (polled from the event loop it runs in).
void OnModal(std::function<void(QWidget*)> handler) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [handler = std::move(handler), poll] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            handler(modal);
            *poll = nullptr;
            return;
        }
        QTimer::singleShot(5, [poll] {
            if (*poll) (*poll)();
        });
    };
    QTimer::singleShot(0, [poll] {
        if (*poll) (*poll)();
    });
}

class DealingWindowTest : public ::testing::Test {
  protected:
    void Open(SessionMode mode, BoardSet boards, EmulatorConfig config = Fast()) {
        window.reset();
        set = std::move(boards);
        auto si = std::make_unique<EmulatedSi>(std::make_unique<VirtualClock>(), config);
        emu = si.get();
        clock = &static_cast<VirtualClock&>(si->GetClock());
        link = std::make_unique<MachineLink>(std::move(si), dialogs);
        link->Open(kLinkTimeoutMs);
        ASSERT_TRUE(link->IsOpen());
        window =
            std::make_unique<DealingWindow>(mode, set, *link, *clock, settings, dialogs, [this] { ++saves; });
    }
    void OpenAndStart(SessionMode mode, BoardSet boards, EmulatorConfig config = Fast()) {
        Open(mode, std::move(boards), config);
        window->onStartupTimer();
    }
    static EmulatorConfig Fast() {
        EmulatorConfig c;
        c.cardIntervalMs = 20;
        return c;
    }
    void TearDown() override {
        if (window && !window->closed()) window->reject();
    }
    // One `pollTimer` tick, 100 ms after the last.
    void Poll() {
        clock->Advance(100);
        window->onPollTimer();
    }
    EmulatedMachine& machine() { return emu->Machine(); }
    template <typename T> T* Get(const char* name) {
        T* child = window->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << "no control named " << name;
        return child;
    }
    QString Text(const char* name) { return Get<QLineEdit>(name)->text(); }
    void Click(const char* name) { Get<QAbstractButton>(name)->click(); }
    bool Enabled(const char* name) { return Get<QWidget>(name)->isEnabled(); }
    QColor CountColour(int i) {
        const QString name = QString("lblCnt_%1").arg(i);
        return Get<QLabel>(name.toLatin1().constData())->palette().color(QPalette::Window);
    }
    QString Count(int i) {
        const QString name = QString("lblCnt_%1").arg(i);
        return Get<QLabel>(name.toLatin1().constData())->text();
    }
    QStringList PictureTexts() { return Get<BoardDrawing>("Picture1")->Texts(); }
    int DealCommandsWithByte1(std::uint8_t byte1) {
        int n = 0;
        for (const auto& [p, size] : machine().Commands())
            n += (p[0] == cmd::kDeal || p[0] == cmd::kRead) && p[1] == byte1 ? 1 : 0;
        return n;
    }

    ScriptedDialogs dialogs;
    MemorySettings settings;
    BoardSet set;
    EmulatedSi* emu = nullptr;
    VirtualClock* clock = nullptr;
    std::unique_ptr<MachineLink> link;
    std::unique_ptr<DealingWindow> window;
    int saves = 0;
};

const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);

// ---- Opening -------------------------------------------------------------------------------------

TEST_F(DealingWindowTest, DealModeCaptionsTooltipsAndStartUpEnabling) {
    Open(SessionMode::Deal, test::SampleSet(1, 4));
    EXPECT_EQ(window->windowTitle(), " Dealing Boards ");
    EXPECT_EQ(Get<QPushButton>("cmdDeal")->text(), "&Deal");
    EXPECT_EQ(Get<QPushButton>("Deal_next")->text(), "Deal ne&xt");
    EXPECT_EQ(Get<QPushButton>("cmdFirst")->text(), "&First ");
    EXPECT_EQ(Get<QPushButton>("Disp_boards")->text(), "Display Boards");
    EXPECT_EQ(Get<QPushButton>("cmdDeal")->toolTip(), "Deal the current Board");
    EXPECT_EQ(Get<QPushButton>("cmdBreak")->toolTip(), "Break Dealing");
    EXPECT_EQ(Get<QPushButton>("cmdExit")->toolTip(), "Exit this screen");
    EXPECT_EQ(Get<QPushButton>("cmdLast")->toolTip(), "Move to the Last Board");
    EXPECT_EQ(Get<QLineEdit>("txtStatus")->toolTip(), "Status of the Dealing hardware");
    EXPECT_EQ(Get<QWidget>("Picture1")->toolTip(), "Current board to be dealt");
    EXPECT_EQ(Get<QLabel>("lblCnt_2")->toolTip(), "Actual count of cards dealt for the West hand");
    EXPECT_EQ(Get<QLabel>("lblCnt_3")->toolTip(), "Actual count of cards dealt for the South hand");
    EXPECT_EQ(Get<QLabel>("Label2_1")->text(), "Hand East");
    EXPECT_TRUE(Get<QWidget>("cmdClear")->isHidden());
    EXPECT_TRUE(Get<QWidget>("read_mode1")->isHidden());
    EXPECT_EQ(Get<QWidget>("Picture1")->palette().color(QPalette::Window), QColor(0, 255, 255));
    EXPECT_EQ(Text("txtFile"), "/home/club/sets/tuesday.pbn");
    // Until the start-up exchange: state "Undefine" and no recognition options.
    EXPECT_EQ(Text("txtStatus"), "Undefine");
    EXPECT_FALSE(Enabled("Frame2"));
    EXPECT_TRUE(window->startupTimer.isActive());
    EXPECT_EQ(window->startupTimer.interval(), 2000);

    window->onStartupTimer();
    EXPECT_EQ(Text("txtStatus"), "Undefine"); // until the first status poll
    EXPECT_TRUE(Enabled("Frame2"));
    EXPECT_TRUE(Enabled("Check_board"));
    EXPECT_TRUE(Enabled("cmdDeal"));
    EXPECT_TRUE(Enabled("cmdExit"));
    EXPECT_TRUE(Enabled("cmdNext"));
    EXPECT_TRUE(Enabled("cmdLast"));
    EXPECT_FALSE(Enabled("Deal_next"));
    EXPECT_FALSE(Enabled("cmdFirst"));
    EXPECT_FALSE(Enabled("cmdPrev"));
    EXPECT_TRUE(window->pollTimer.isActive());
    EXPECT_EQ(window->pollTimer.interval(), 100);
    Poll();
    EXPECT_EQ(Text("txtStatus"), "Idle");
    // Board 1 is drawn: complete hands give green counts of 13.
    EXPECT_EQ(PictureTexts().mid(0, 7),
              (QStringList{"N", "E", "S", "W", " Board: 1", "Vul: None", "Dealer: North"}));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Count(i), "13");
        EXPECT_EQ(CountColour(i), kGreen);
    }
    EXPECT_EQ(Get<QLabel>("lblHCP_0")->text(), QString::number(set[1].highCardPoints[1]));
}

TEST_F(DealingWindowTest, ReadModeCaptionsShowClearAndTheReadingModes) {
    settings.values[keys::kInitReadMode] = "1";
    OpenAndStart(SessionMode::Read, EmptySet(1, 2));
    EXPECT_EQ(window->windowTitle(), " Reading Boards ");
    EXPECT_EQ(Get<QPushButton>("cmdDeal")->text(), "&Read");
    EXPECT_EQ(Get<QPushButton>("Deal_next")->text(), "Read ne&xt");
    EXPECT_FALSE(Get<QWidget>("cmdClear")->isHidden());
    EXPECT_FALSE(Enabled("cmdClear")); // nothing on the board yet
    EXPECT_FALSE(Get<QWidget>("read_mode1")->isHidden());
    EXPECT_TRUE(Get<QRadioButton>("read_mode2")->isChecked());
    EXPECT_EQ(Get<QRadioButton>("read_mode1")->text(), "Simulate hand dealing (single card to every hand)");
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Count(i), "0");
        EXPECT_EQ(CountColour(i), kRed);
    }
}

TEST_F(DealingWindowTest, MachineWithoutAnswerClosesWithThePowerMessage) {
    Open(SessionMode::Deal, test::SampleSet(1, 2));
    machine().SetLinkLost(true);
    window->onStartupTimer();
    EXPECT_TRUE(window->closed());
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.Last().text, FormatMessage(MsgCannotCommunicatePower));
    EXPECT_EQ(dialogs.Last().title, "Communication Error");
    EXPECT_FALSE(link->IsOpen());
}

// ---- Dealing and reading -------------------------------------------------------------------------

TEST_F(DealingWindowTest, DealsAFourBoardSetToTheEndAndMovesToTheFirstBoard) {
    OpenAndStart(SessionMode::Deal, test::SampleSet(1, 4));
    const BoardSet before = set;
    dialogs.QueueAnswer(Answer::Yes); // back to the first board
    Click("cmdDeal");
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(window->session().LastStep().outcome, StepOutcome::Completed) << n;
        EXPECT_EQ(window->session().LastStep().board, n);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(Count(i), "13") << n;
        if (n < 4) {
            EXPECT_TRUE(Enabled("Deal_next")) << n;
            EXPECT_FALSE(Enabled("cmdBreak"));
            EXPECT_TRUE(dialogs.messages.empty());
            Click("Deal_next");
        }
    }
    EXPECT_EQ(machine().BoardsDealt(), 4u);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.Last().text, MessageTemplate(MsgDealtLastMoveFirst));
    EXPECT_EQ(dialogs.Last().title, "Dealing");
    EXPECT_EQ(dialogs.Last().buttons, Buttons::YesNoCancel);
    EXPECT_FALSE(window->closed());
    EXPECT_EQ(set.currentBoard, 1);
    EXPECT_EQ(PictureTexts().at(4), " Board: 1");
    EXPECT_FALSE(Enabled("Deal_next"));
    EXPECT_FALSE(Enabled("cmdPrev"));
    EXPECT_TRUE(Enabled("cmdNext"));
    EXPECT_TRUE(Enabled("cmdDeal"));
    EXPECT_EQ(Text("txtStatus"), "Idle");
    EXPECT_FALSE(Text("txtDealTime").isEmpty());
    EXPECT_EQ(window->session().SequenceIndex(), 0); // four steps: 0, 1, 2, 3 and back to 0
    EXPECT_TRUE(window->pollTimer.isActive());
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(set[n], before[n]);
}

TEST_F(DealingWindowTest, NoAfterTheLastBoardClosesTheWindowAndTheLink) {
    OpenAndStart(SessionMode::Deal, test::SampleSet(3, 3));
    dialogs.QueueAnswer(Answer::No);
    Click("cmdDeal");
    EXPECT_TRUE(window->closed());
    EXPECT_FALSE(link->IsOpen());
    EXPECT_FALSE(window->pollTimer.isActive());
}

TEST_F(DealingWindowTest, ReadsABoardAsTheStackWasPutIn) {
    settings.values[keys::kInitReadMode] = "1";
    OpenAndStart(SessionMode::Read, EmptySet(1, 2));
    const Board deal = test::SampleBoard(9);
    machine().PutReadStack(StackForDeal(deal, ReadMode::PlayedBoards, DealerOf(1)));
    Click("cmdDeal");
    EXPECT_EQ(window->session().LastStep().outcome, StepOutcome::Completed);
    EXPECT_EQ(set[1].cardOwner, deal.cardOwner);
    EXPECT_EQ(set[1].status, kBoardComplete);
    EXPECT_TRUE(set.modified);
    EXPECT_TRUE(Enabled("cmdClear"));
    EXPECT_TRUE(Enabled("Deal_next"));
    EXPECT_EQ(Text("txtStatus"), "Idle");

    // Clear, after OK, unplaces every card again.
    dialogs.QueueAnswer(Answer::Ok);
    Click("cmdClear");
    EXPECT_EQ(dialogs.Last().title, "Clear Board");
    EXPECT_EQ(set[1].status, 0);
    EXPECT_FALSE(Enabled("cmdClear"));
}

TEST_F(DealingWindowTest, ReadingTheLastBoardOffersToSaveAndYesSaves) {
    OpenAndStart(SessionMode::Read, EmptySet(1, 1));
    const Board deal = test::SampleBoard(4);
    machine().PutReadStack(StackForDeal(deal, ReadMode::SimulateHandDealing, DealerOf(1)));
    dialogs.QueueAnswer(Answer::Yes);
    Click("cmdDeal");
    EXPECT_EQ(set[1].cardOwner, deal.cardOwner);
    EXPECT_EQ(dialogs.Last().text, MessageTemplate(MsgDealtLastSave));
    EXPECT_EQ(dialogs.Last().title, "Reading");
    EXPECT_EQ(saves, 1);
    EXPECT_TRUE(window->closed());
}

TEST_F(DealingWindowTest, FootPedalDealsTheNextBoard) {
    OpenAndStart(SessionMode::Deal, test::SampleSet(1, 3));
    Click("cmdDeal");
    EXPECT_EQ(machine().BoardsDealt(), 1u);
    Poll(); // nothing pressed: nothing dealt
    EXPECT_EQ(machine().BoardsDealt(), 1u);
    machine().PressPedal();
    Poll();
    EXPECT_EQ(machine().BoardsDealt(), 2u);
    EXPECT_EQ(set.currentBoard, 2);
    EXPECT_EQ(PictureTexts().at(4), " Board: 2");
    EXPECT_TRUE(Enabled("Deal_next"));
}

TEST_F(DealingWindowTest, NavigationMovesTheDrawingAndTheButtons) {
    OpenAndStart(SessionMode::Deal, test::SampleSet(5, 7));
    Click("cmdLast");
    EXPECT_EQ(set.currentBoard, 7);
    EXPECT_EQ(PictureTexts().at(4), " Board: 7");
    EXPECT_FALSE(Enabled("cmdNext"));
    EXPECT_FALSE(Enabled("cmdLast"));
    EXPECT_TRUE(Enabled("cmdFirst"));
    Click("cmdPrev");
    EXPECT_EQ(set.currentBoard, 6);
    EXPECT_TRUE(Enabled("cmdNext"));
    Click("cmdFirst");
    EXPECT_EQ(set.currentBoard, 5);
    EXPECT_FALSE(Enabled("cmdPrev"));
}

// ---- The card options and the drawing ------------------------------------------------------------

TEST_F(DealingWindowTest, HandsAreDrawnWithSuitSymbolsAndTheNationalLetters) {
    OpenAndStart(SessionMode::Deal, test::SampleSet(1, 2));
    EXPECT_EQ(PictureTexts().size(), 7); // hands hidden
    Click("Disp_boards");
    EXPECT_EQ(Get<QPushButton>("Disp_boards")->text(), "Hide boards");
    // Board 1 of the sample: card c goes to seat ((c + 1) mod 4) + 1, so South holds the spades ace,
    // ten, six and two (codes 1, 5, 9, 13), and North the queen, eight and four (3, 7, 11).
    const QStringList standard = PictureTexts();
    ASSERT_EQ(standard.size(), 7 + 16);
    EXPECT_EQ(standard.at(7), QString::fromUtf8("\u2660Q84"));
    EXPECT_EQ(standard.at(7 + 8), QString::fromUtf8("\u2660AT62"));
    EXPECT_TRUE(standard.at(7 + 1).startsWith(QString::fromUtf8("\u2665")));
    EXPECT_TRUE(standard.at(7 + 2).startsWith(QString::fromUtf8("\u2666")));
    EXPECT_TRUE(standard.at(7 + 3).startsWith(QString::fromUtf8("\u2663")));

    Click("National_3"); // French (1RDV)
    EXPECT_EQ(settings.values[keys::kNational], "2");
    EXPECT_EQ(PictureTexts().at(7), QString::fromUtf8("\u2660D84"));
    EXPECT_EQ(PictureTexts().at(7 + 8), QString::fromUtf8("\u2660"
                                                          "1T62"));

    Click("Disp_boards");
    EXPECT_EQ(Get<QPushButton>("Disp_boards")->text(), "Display boards");
    EXPECT_EQ(PictureTexts().size(), 7);
}

TEST_F(DealingWindowTest, RefusedLargeIndexIsUndoneOnScreenAndInTheSettings) {
    EmulatorConfig config = Fast();
    config.firmwareMinor = 0x32; // 2.32 with large-index support
    OpenAndStart(SessionMode::Deal, test::SampleSet(1, 2), config);
    auto* jumbo = Get<QRadioButton>("Card_Index_j");
    jumbo->click();
    EXPECT_FALSE(jumbo->isChecked());
    EXPECT_TRUE(Get<QRadioButton>("Card_Index_st")->isChecked());
    EXPECT_EQ(settings.values[keys::kCardIndex], "0");
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.Last().title, "Dealing Error");
    EXPECT_NE(dialogs.Last().text.find("2.32"), std::string::npos);
    // Unticking the board check never asks anything.
    const std::size_t shown = dialogs.messages.size();
    auto* check = Get<QCheckBox>("Check_board");
    if (check->isChecked()) check->click();
    EXPECT_FALSE(check->isChecked());
    EXPECT_EQ(dialogs.messages.size(), shown);
}

// ---- Machine errors and the lost link ------------------------------------------------------------

TEST_F(DealingWindowTest, ContinueInTheErrorDialogResendsTheBoard) {
    OpenAndStart(SessionMode::Deal, test::SampleSet(1, 2));
    machine().InjectError(3, 20);
    QString code;
    QString text;
    bool continueShown = false;
    bool cancelShown = false;
    bool cancel2Shown = true;
    OnModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<MachineErrorDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        code = dialog->findChild<QLabel*>("Error_code")->text();
        text = dialog->findChild<QLabel*>("Error_label")->text();
        continueShown = !dialog->findChild<QPushButton*>("Continue_button")->isHidden();
        cancelShown = !dialog->findChild<QPushButton*>("Cancel_button")->isHidden();
        cancel2Shown = !dialog->findChild<QPushButton*>("Cancel2")->isHidden();
        dialog->findChild<QPushButton*>("Continue_button")->click();
    });
    Click("cmdDeal");
    EXPECT_EQ(code, "Error Code: 3");
    EXPECT_EQ(text, QString::fromUtf8(MachineErrorFor(3).text));
    EXPECT_TRUE(continueShown);
    EXPECT_TRUE(cancelShown);
    EXPECT_FALSE(cancel2Shown);
    EXPECT_EQ(window->session().LastStep().outcome, StepOutcome::Completed);
    EXPECT_EQ(DealCommandsWithByte1(0), 1);
    EXPECT_EQ(DealCommandsWithByte1(1), 1); // the same board, continued
    EXPECT_TRUE(Enabled("Deal_next"));
}

TEST_F(DealingWindowTest, CancelOnlyErrorEndsTheStep) {
    OpenAndStart(SessionMode::Deal, test::SampleSet(1, 2));
    machine().InjectError(16, 8); // card jam
    QString cancel2Caption;
    bool continueShown = true;
    OnModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<MachineErrorDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        continueShown = !dialog->findChild<QPushButton*>("Continue_button")->isHidden();
        cancel2Caption = dialog->findChild<QPushButton*>("Cancel2")->text();
        dialog->findChild<QPushButton*>("Cancel2")->click();
    });
    Click("cmdDeal");
    EXPECT_FALSE(continueShown);
    EXPECT_EQ(cancel2Caption, "Cancel");
    EXPECT_EQ(window->session().LastStep().outcome, StepOutcome::Cancelled);
    EXPECT_FALSE(Enabled("Deal_next"));
    EXPECT_TRUE(Enabled("cmdDeal"));
    EXPECT_FALSE(Enabled("cmdBreak"));
    EXPECT_EQ(DealCommandsWithByte1(1), 0);
}

TEST_F(DealingWindowTest, BreakDuringAStepAndNoClosingMeanwhile) {
    OpenAndStart(SessionMode::Deal, test::SampleSet(1, 2));
    bool breakEnabled = false;
    bool dealEnabled = true;
    bool closedDuringStep = true;
    QTimer::singleShot(0, [&] {
        breakEnabled = Enabled("cmdBreak");
        dealEnabled = Enabled("cmdDeal");
        window->reject(); // the close box while the machine deals
        closedDuringStep = window->closed();
        Click("cmdBreak");
    });
    QString code;
    OnModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<MachineErrorDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        code = dialog->findChild<QLabel*>("Error_code")->text();
        dialog->reject(); // Escape cancels
    });
    Click("cmdDeal");
    EXPECT_TRUE(breakEnabled);
    EXPECT_FALSE(dealEnabled);
    EXPECT_FALSE(closedDuringStep);
    EXPECT_EQ(code, "Error Code: 57");
    EXPECT_EQ(window->session().LastStep().outcome, StepOutcome::Cancelled);
    EXPECT_FALSE(window->closed());
    EXPECT_FALSE(Enabled("cmdBreak"));
    EXPECT_TRUE(Enabled("cmdExit"));
    // Once idle, Exit closes the window and the link.
    Click("cmdExit");
    EXPECT_TRUE(window->closed());
    EXPECT_FALSE(link->IsOpen());
}

TEST_F(DealingWindowTest, StartFromBoxIsSavedAndTheBoxStartsTheStep) {
    OpenAndStart(SessionMode::Deal, test::SampleSet(1, 2));
    Click("Start_from_box");
    EXPECT_EQ(settings.values[keys::kInitStartFromBox], "1");
    machine().RemoveBox();
    for (int i = 0; i < 10; ++i)
        Poll();
    machine().InsertBox();
    Poll();
    EXPECT_EQ(machine().BoardsDealt(), 1u);
    Click("Start_from_box");
    EXPECT_EQ(settings.values[keys::kInitStartFromBox], "0");
}

TEST_F(DealingWindowTest, LostLinkInThePollClosesTheWindow) {
    OpenAndStart(SessionMode::Deal, test::SampleSet(1, 2));
    machine().SetLinkLost(true);
    Poll();
    EXPECT_TRUE(window->closed());
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.Last().text, FormatMessage(MsgLostCommunicationDealing));
    EXPECT_EQ(dialogs.Last().title, "Dealing Error");
    EXPECT_EQ(dialogs.Last().icon, Icon::Critical);
    EXPECT_FALSE(window->pollTimer.isActive());
}

// ---- The error dialog on its own -----------------------------------------------------------------

TEST_F(DealingWindowTest, BoardCheckDialogShowsThreeButtonsAndDealsToTheCurrentBoard) {
    OpenAndStart(SessionMode::Deal, test::SampleSet(1, 12));
    ErrorDialog dialog(*link, dialogs, MakeErrorDialogContent(kErrorKindBoardCheck, 0, 7, 12));
    MachineErrorDialog window2(dialog);
    EXPECT_EQ(window2.findChild<QLabel*>("Error_code")->text(), "Error Code: 65");
    EXPECT_EQ(window2.findChild<QPushButton*>("Continue_button")->text(), "Try again");
    EXPECT_EQ(window2.findChild<QPushButton*>("Cancel_button")->text(), "Cancel");
    EXPECT_EQ(window2.findChild<QPushButton*>("Cancel2")->text(), "Deal to the current board");
    for (const char* name : {"Continue_button", "Cancel_button", "Cancel2"})
        EXPECT_FALSE(window2.findChild<QPushButton*>(name)->isHidden()) << name;
    const QString label = window2.findChild<QLabel*>("Error_label")->text();
    EXPECT_TRUE(label.contains("12") && label.contains("7")) << label.toStdString();
    EXPECT_TRUE(window2.pollTimer.isActive());
    window2.findChild<QPushButton*>("Cancel2")->click();
    EXPECT_TRUE(dialog.Closed());
    EXPECT_EQ(dialog.Action(), kErrorActionDealCurrent);
    EXPECT_FALSE(window2.pollTimer.isActive());
}

TEST_F(DealingWindowTest, PedalAnswersTheErrorDialogAndEscapeCancels) {
    OpenAndStart(SessionMode::Deal, test::SampleSet(1, 2));
    window->pollTimer.stop();
    {
        ErrorDialog dialog(*link, dialogs, MakeErrorDialogContent(0, 5, 0, 1));
        MachineErrorDialog shown(dialog);
        EXPECT_EQ(shown.findChild<QLabel*>("Error_code")->text(), "Error Code: 5");
        shown.onPollTimer();
        EXPECT_FALSE(dialog.Closed());
        machine().PressPedal();
        shown.onPollTimer();
        EXPECT_TRUE(dialog.Closed());
        EXPECT_EQ(dialog.Action(), kErrorActionContinue);
    }
    {
        ErrorDialog dialog(*link, dialogs, MakeErrorDialogContent(0, 5, 0, 1));
        MachineErrorDialog shown(dialog);
        shown.reject();
        EXPECT_TRUE(dialog.Closed());
        EXPECT_EQ(dialog.Action(), kErrorActionCancel);
    }
}

// The dialog says under its text what the foot pedal does, and the pedal does it: the dialog's first
// button, Continue or (for the board check) Try again.
TEST_F(DealingWindowTest, ErrorDialogShowsTheWarningIconAndWhatThePedalDoes) {
    OpenAndStart(SessionMode::Deal, test::SampleSet(1, 12));
    window->pollTimer.stop();
    const std::pair<const char*, ErrorDialogContent> cases[] = {
        {"machine error", MakeErrorDialogContent(0, 5, 0, 1)},
        {"board check", MakeErrorDialogContent(kErrorKindBoardCheck, 0, 7, 12)},
    };
    for (const auto& [kind, content] : cases) {
        ErrorDialog dialog(*link, dialogs, content);
        MachineErrorDialog shown(dialog);
        const QLabel* icon = shown.findChild<QLabel*>("Error_icon");
        ASSERT_NE(icon, nullptr) << kind;
        EXPECT_FALSE(icon->pixmap().isNull()) << kind;
        const QLabel* hint = shown.findChild<QLabel*>("Pedal_hint");
        ASSERT_NE(hint, nullptr) << kind;
        const QString pressed =
            shown.findChild<QPushButton*>("Continue_button")->text().remove('&').toLower();
        EXPECT_TRUE(hint->text().toLower().contains(pressed)) << kind << ": " << hint->text().toStdString();
        shown.onPollTimer();
        ASSERT_FALSE(dialog.Closed()) << kind;
        machine().PressPedal();
        shown.onPollTimer();
        EXPECT_TRUE(dialog.AnsweredByPedal()) << kind;
        EXPECT_EQ(dialog.Action(), kErrorActionContinue) << kind;
    }
}

} // namespace
} // namespace orvenix
