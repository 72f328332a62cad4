// The dealing window on the emulated machine in virtual time (the timer ticks are called directly): its
// controls follow the session's state, each control reaches its session command, a running step lets only
// Break through, the error dialog's answers, and the emulator panel beside the window.
#include "ui/machine/dealing_window.h"

#include "base/dialogs.h"
#include "base/settings.h"
#include "machine/emulated_si.h"
#include "machine/link.h"
#include "support/sample_deals.h"
#include "support/window_test.h"
#include "ui/machine/emulator_panel.h"
#include "ui/machine/machine_error_dialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace orvenix {
namespace {

using test::WhenModalOpens;

class DealingWindowTest : public ::testing::Test {
  protected:
    // Boards 1..last: the sample deals to deal, or empty boards to read.
    void Open(SessionMode mode, int last, std::uint8_t firmwareMinor = 0x40, bool start = true) {
        window.reset();
        set = mode == SessionMode::Deal ? test::SampleSet(1, last) : BoardSet{};
        if (mode == SessionMode::Read) {
            set.firstBoard = 1;
            set.lastBoard = static_cast<std::int16_t>(last);
            for (int n = 1; n <= last; ++n)
                set[n].number = static_cast<std::int16_t>(n);
        }
        EmulatorConfig config;
        config.cardIntervalMs = 20;
        config.firmwareMinor = firmwareMinor;
        auto si = std::make_unique<EmulatedSi>(std::make_unique<VirtualClock>(), config);
        emu = si.get();
        clock = &static_cast<VirtualClock&>(si->GetClock());
        link = std::make_unique<MachineLink>(std::move(si), dialogs);
        link->Open(kLinkTimeoutMs);
        ASSERT_TRUE(link->IsOpen());
        window =
            std::make_unique<DealingWindow>(mode, set, *link, *clock, settings, dialogs, [this] { ++saves; });
        if (start) window->onStartupTimer();
    }
    // The panel shown as the command shows it, the window not modal so that only a step's windows are.
    void OpenPanel() {
        panel = window->ShowEmulatorPanel(machine());
        window->setWindowModality(Qt::NonModal);
        window->show();
    }
    void TearDown() override {
        if (window && !window->closed()) window->reject();
    }
    void Poll(int ticks = 1) {
        for (int i = 0; i < ticks; ++i) {
            clock->Advance(100);
            window->onPollTimer();
        }
    }
    EmulatedMachine& machine() { return emu->Machine(); }
    template <typename T = QWidget> T* Get(const char* name) { return test::Child<T>(window.get(), name); }
    void Click(const char* name) { Get<QAbstractButton>(name)->click(); }
    void ClickPanel(const char* name) { test::Child<QAbstractButton>(panel, name)->click(); }
    void PutReadStack() {
        machine().PutReadStack(
            StackForDeal(test::SampleBoard(9), ReadMode::SimulateHandDealing, DealerOf(1)));
    }

    // Every control is enabled and shown as the session's display says.
    void ExpectControlsFollowTheSession(const std::string& when) {
        SCOPED_TRACE(when);
        const SessionDisplay& d = window->session().Display();
        const std::pair<SessionControl, const char*> controls[] = {
            {kCmdFirst, "cmdFirst"},
            {kCmdPrev, "cmdPrev"},
            {kCmdNext, "cmdNext"},
            {kCmdLast, "cmdLast"},
            {kCmdDeal, "cmdDeal"},
            {kDealNext, "Deal_next"},
            {kCmdBreak, "cmdBreak"},
            {kCmdClear, "cmdClear"},
            {kCmdExit, "cmdExit"},
            {kCheckBoard, "Check_board"},
            {kStartFromBox, "Start_from_box"},
            {kRecognitionOptions, "Frame2"},
        };
        for (const auto& [control, name] : controls)
            EXPECT_EQ(Get(name)->isEnabled(), d.enabled[control]) << name;
        EXPECT_EQ(Get("cmdClear")->isHidden(), !d.clearVisible);
        EXPECT_EQ(Get("read_mode1")->isHidden(), !d.readModesVisible);
        EXPECT_EQ(Get<QPushButton>("cmdDeal")->text().toStdString(), d.dealCaption);
        EXPECT_EQ(Get<QLineEdit>("txtStatus")->text().toStdString(), d.stateText);
    }

    ScriptedDialogs dialogs;
    MemorySettings settings;
    BoardSet set;
    EmulatedSi* emu = nullptr;
    VirtualClock* clock = nullptr;
    std::unique_ptr<MachineLink> link;
    std::unique_ptr<DealingWindow> window;
    EmulatorPanel* panel = nullptr;
    int saves = 0;
};

TEST_F(DealingWindowTest, ControlsFollowTheSessionInEveryState) {
    for (const SessionMode mode : {SessionMode::Deal, SessionMode::Read}) {
        SCOPED_TRACE(mode == SessionMode::Deal ? "deal" : "read");
        Open(mode, 3, 0x40, false);
        ExpectControlsFollowTheSession("before the start-up exchange");
        EXPECT_FALSE(Get("Frame2")->isEnabled());
        window->onStartupTimer();
        Poll();
        ExpectControlsFollowTheSession("idle on the first board");
        if (mode == SessionMode::Read) PutReadStack();
        bool breakDuringStep = false;
        QTimer::singleShot(0, [&] {
            ExpectControlsFollowTheSession("during a step");
            breakDuringStep = Get("cmdBreak")->isEnabled();
        });
        Click("cmdDeal");
        EXPECT_TRUE(breakDuringStep);
        EXPECT_TRUE(Get("Deal_next")->isEnabled());
        ExpectControlsFollowTheSession("after a step");
        Click("cmdLast");
        ExpectControlsFollowTheSession("on the last board");
        EXPECT_FALSE(Get("cmdNext")->isEnabled());
    }
}

TEST_F(DealingWindowTest, EachControlReachesItsSessionCommand) {
    struct Row {
        const char* control;
        SessionMode mode;
        int last;
        std::uint8_t firmwareMinor;
        std::function<void()> before;
        std::function<void()> check;
    };
    const auto Board = [this](int n) { return [this, n] { EXPECT_EQ(set.currentBoard, n); }; };
    const auto Stored = [this](const char* key, const char* value) {
        return [this, key, value] { EXPECT_EQ(settings.values[key], value); };
    };
    const SessionMode Deal = SessionMode::Deal, Read = SessionMode::Read;
    const Row rows[] = {
        {"cmdDeal", Deal, 3, 0x40, {}, [this] { EXPECT_EQ(machine().BoardsDealt(), 1u); }},
        {"Deal_next", Deal, 3, 0x40, [this] { Click("cmdDeal"); },
         [this] { EXPECT_TRUE(machine().BoardsDealt() == 2u && set.currentBoard == 2); }},
        {"cmdNext", Deal, 3, 0x40, {}, Board(2)},
        {"cmdLast", Deal, 3, 0x40, {}, Board(3)},
        {"cmdPrev", Deal, 3, 0x40, [this] { Click("cmdLast"); }, Board(2)},
        {"cmdFirst", Deal, 3, 0x40, [this] { Click("cmdLast"); }, Board(1)},
        {"cmdExit", Deal, 3, 0x40, {}, [this] { EXPECT_TRUE(window->closed() && !link->IsOpen()); }},
        {"Disp_boards",
         Deal,
         3,
         0x40,
         {},
         [this] { EXPECT_EQ(Get<BoardDrawing>("Picture1")->Texts().size(), 7 + 16); }},
        {"cmdClear", Read, 3, 0x40,
         [this] {
             PutReadStack();
             Click("cmdDeal");
             ASSERT_EQ(set[1].status, kBoardComplete);
             dialogs.QueueAnswer(Answer::Ok);
         },
         [this] { EXPECT_EQ(set[1].status, 0); }},
        {"read_mode2", Read, 3, 0x40, {}, Stored(keys::kInitReadMode, "1")},
        {"Start_from_box", Deal, 3, 0x40, {}, Stored(keys::kInitStartFromBox, "1")},
        {"Check_board",
         Deal,
         3,
         0x40,
         {},
         [this] {
             EXPECT_EQ(window->session().Display().options.checkBoard,
                       Get<QCheckBox>("Check_board")->isChecked());
         }},
        {"National_3", Deal, 3, 0x40, {}, Stored(keys::kNational, "2")},
        {"CardType_2", Deal, 3, 0x40, {}, Stored(keys::kCardType, "1")},
        {"Threshold_3", Deal, 3, 0x40, {}, Stored(keys::kThreshold, "2")},
        {"Card_Index_j", Deal, 3, 0x40, {}, Stored(keys::kCardIndex, "1")},
        // Refused on older firmware: the choice goes back on screen too.
        {"Card_Index_j",
         Deal,
         3,
         0x32,
         {},
         [this] { EXPECT_TRUE(Get<QRadioButton>("Card_Index_st")->isChecked()); }},
        // Yes to saving after the last board read runs the main window's Save.
        {"cmdDeal", Read, 1, 0x40,
         [this] {
             PutReadStack();
             dialogs.QueueAnswer(Answer::Yes);
         },
         [this] { EXPECT_TRUE(saves == 1 && window->closed()); }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.control);
        settings.values.clear();
        Open(r.mode, r.last, r.firmwareMinor);
        const bool checkBoard = window->session().Display().options.checkBoard;
        if (r.before) r.before();
        Click(r.control);
        r.check();
        EXPECT_TRUE(std::string(r.control) != "Check_board" ||
                    window->session().Display().options.checkBoard != checkBoard);
    }
}

TEST_F(DealingWindowTest, PollTicksReachTheSessionAndALostLinkClosesTheWindow) {
    Open(SessionMode::Deal, 3);
    Poll();
    EXPECT_EQ(machine().BoardsDealt(), 0u);
    machine().PressPedal();
    Poll();
    EXPECT_EQ(machine().BoardsDealt(), 1u);
    EXPECT_TRUE(Get("Deal_next")->isEnabled());
    machine().SetLinkLost(true);
    Poll();
    EXPECT_TRUE(window->closed());
    EXPECT_FALSE(window->pollTimer.isActive());
}

// While the machine deals only Break acts: the close box, navigation and the options wait, and Break's
// error comes up as a modal dialog.
TEST_F(DealingWindowTest, DuringAStepOnlyBreakActsAndTheWindowStaysOpen) {
    Open(SessionMode::Deal, 2);
    bool closedDuringStep = true;
    QTimer::singleShot(0, [&] {
        window->reject();
        closedDuringStep = window->closed();
        Click("cmdNext");
        Click("National_3");
        Click("cmdBreak");
    });
    QString code;
    bool modal = false;
    WhenModalOpens([&](QWidget* shown) {
        auto* dialog = qobject_cast<MachineErrorDialog*>(shown);
        ASSERT_NE(dialog, nullptr);
        modal = dialog->isModal();
        code = dialog->findChild<QLabel*>("Error_code")->text();
        dialog->reject();
    });
    Click("cmdDeal");
    EXPECT_FALSE(closedDuringStep);
    EXPECT_TRUE(modal);
    EXPECT_EQ(code, "Error Code: 57");
    EXPECT_EQ(window->session().LastStep().outcome, StepOutcome::Cancelled);
    EXPECT_EQ(set.currentBoard, 1);
    EXPECT_FALSE(Get<QRadioButton>("National_3")->isChecked());
    EXPECT_NE(settings.values[keys::kNational], "2");
    EXPECT_FALSE(window->closed());
}

TEST_F(DealingWindowTest, ErrorDialogButtonsAndPedalGiveTheirAnswers) {
    Open(SessionMode::Deal, 2);
    window->pollTimer.stop();
    struct Row {
        const char* answer;
        ErrorDialogContent content;
        int action;
    };
    const ErrorDialogContent error = MakeErrorDialogContent(0, 3, 0, 1);
    const ErrorDialogContent jam = MakeErrorDialogContent(0, 16, 0, 1);
    const ErrorDialogContent check = MakeErrorDialogContent(kErrorKindBoardCheck, 0, 7, 12);
    const Row rows[] = {
        {"Continue_button", error, kErrorActionContinue},
        {"Cancel_button", error, kErrorActionCancel},
        {"Cancel2", jam, kErrorActionCancel},
        {"Continue_button", check, kErrorActionContinue},
        {"Cancel_button", check, kErrorActionCancel},
        {"Cancel2", check, kErrorActionDealCurrent},
        {"pedal", error, kErrorActionContinue},
        {"pedal", check, kErrorActionContinue},
        {"Escape", check, kErrorActionCancel},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.answer) + " on code " + std::to_string(r.content.code));
        ErrorDialog dialog(*link, dialogs, r.content);
        MachineErrorDialog shown(dialog);
        EXPECT_EQ(!shown.findChild<QPushButton*>("Continue_button")->isHidden(), r.content.continueVisible);
        EXPECT_EQ(!shown.findChild<QPushButton*>("Cancel_button")->isHidden(), r.content.cancelVisible);
        EXPECT_EQ(!shown.findChild<QPushButton*>("Cancel2")->isHidden(), r.content.cancel2Visible);
        const std::string answer = r.answer;
        if (answer == "pedal") {
            shown.onPollTimer();
            ASSERT_FALSE(dialog.Closed());
            machine().PressPedal();
            shown.onPollTimer();
            EXPECT_TRUE(dialog.AnsweredByPedal());
        } else if (answer == "Escape") {
            shown.reject();
        } else {
            shown.findChild<QPushButton*>(r.answer)->click();
        }
        EXPECT_TRUE(dialog.Closed());
        EXPECT_EQ(dialog.Action(), r.action);
        EXPECT_FALSE(shown.pollTimer.isActive());
    }
}

// ---- The emulator panel ------------------------------------------------------------------------------

TEST_F(DealingWindowTest, EachPanelControlActsOnTheMachineOfTheWindow) {
    struct Row {
        const char* what;
        SessionMode mode;
        std::function<void()> act;
        std::function<void()> check;
    };
    QString code;
    const Row rows[] = {
        {"pedal", SessionMode::Deal, [this] { ClickPanel("pressPedal"), Poll(); },
         [this] { EXPECT_EQ(machine().BoardsDealt(), 1u); }},
        {"pace", SessionMode::Deal, [this] { test::Child<QSpinBox>(panel, "cardPace")->setValue(50); },
         [this] { EXPECT_EQ(machine().Config().cardIntervalMs, 50u); }},
        {"card box", SessionMode::Deal,
         [this] {
             Click("Start_from_box");
             ClickPanel("removeBox");
             Poll(10);
             ClickPanel("insertBox");
             Poll();
         },
         [this] { EXPECT_EQ(machine().BoardsDealt(), 1u); }},
        {"stack", SessionMode::Read,
         [this] {
             ClickPanel("putStack");
             Click("cmdDeal");
         },
         [this] { EXPECT_EQ(set[1].status, kBoardComplete); }},
        {"board label", SessionMode::Deal,
         [this] {
             Click("Check_board");
             test::Child<QSpinBox>(panel, "boardNumber")->setValue(1);
             ClickPanel("putBoard");
             Click("cmdDeal");
         },
         [this] { EXPECT_FALSE(window->session().LastStep().errorShown); }},
        {"unreadable label", SessionMode::Deal,
         [&] {
             Click("Check_board");
             test::Child<QSpinBox>(panel, "boardNumber")->setValue(1);
             ClickPanel("putBoard");
             Click("cmdDeal");
             ClickPanel("unreadableBoard");
             WhenModalOpens([&](QWidget* modal) {
                 code = modal->findChild<QLabel*>("Error_code")->text();
                 modal->findChild<QPushButton*>("Cancel_button")->click();
             });
             Click("Deal_next");
         },
         [&] { EXPECT_EQ(code, "Error Code: 64"); }},
        {"broken link", SessionMode::Deal,
         [this] { test::Child<QCheckBox>(panel, "linkBroken")->setChecked(true), Poll(); },
         [this] { EXPECT_TRUE(window->closed()); }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        settings.values.clear();
        Open(r.mode, 2);
        OpenPanel();
        r.act();
        r.check();
    }
}

// A modal dialog leaves only its own children usable: the panel goes with the error dialog, so that its
// pedal answers it, and comes back to the window afterwards.
TEST_F(DealingWindowTest, ThePanelAnswersTheErrorDialogAndComesBack) {
    Open(SessionMode::Deal, 2);
    OpenPanel();
    test::Child<QSpinBox>(panel, "errorCode")->setValue(4);
    test::Child<QSpinBox>(panel, "errorCard")->setValue(7);
    ClickPanel("injectError");
    bool panelInDialog = false;
    WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<MachineErrorDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        panelInDialog = panel->parent() == dialog && panel->isVisible();
        ClickPanel("pressPedal");
        dialog->onPollTimer();
    });
    Click("cmdDeal");
    EXPECT_TRUE(panelInDialog);
    EXPECT_EQ(window->session().LastStep().outcome, StepOutcome::Completed);
    EXPECT_EQ(panel->parent(), window.get());
}

// The panel opens beside the window it serves, on that window's screen, never over it: on whichever side
// has room, and when no side has, the window moves; a window that grows onto it pushes it aside.
TEST_F(DealingWindowTest, ThePanelOpensBesideItsWindowNeverOverIt) {
    EmulatedMachine machine;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize size = EmulatorPanel(machine).sizeHint();
    const int wide = area.width() - size.width() / 2;
    const int low = area.height() - size.height() - 40;
    const std::pair<const char*, QRect> cases[] = {
        {"room on the right", QRect(area.left(), area.top(), 200, 150)},
        {"room on the left only", QRect(area.right() - 200, area.top() + 30, 200, 150)},
        {"room below only", QRect(area.left(), area.top(), wide, low)},
        {"room above only", QRect(area.left(), area.bottom() - low, wide, low)},
        {"no room on any side", QRect(area.left() + 20, area.top() + 20, wide, area.height() - 60)},
        {"window as large as the screen", QRect(area.topLeft(), area.size())},
    };
    for (const auto& [where, geometry] : cases) {
        SCOPED_TRACE(where);
        QWidget served;
        served.setGeometry(geometry);
        served.show();
        auto* beside = new EmulatorPanel(machine, &served);
        beside->ShowBeside(&served);
        EXPECT_TRUE(beside->isVisible());
        EXPECT_FALSE(beside->frameGeometry().intersects(served.frameGeometry()));
        EXPECT_TRUE(area.contains(beside->frameGeometry()));
        EXPECT_EQ(beside->screen(), served.screen());
    }
    Open(SessionMode::Deal, 2);
    OpenPanel();
    EXPECT_FALSE(panel->frameGeometry().intersects(window->frameGeometry()));
    window->resize(window->width() + panel->width() + 20, window->height());
    EXPECT_FALSE(panel->frameGeometry().intersects(window->frameGeometry()));
}

} // namespace
} // namespace orvenix
