// The dealing window on the emulated machine in virtual time (the timer ticks are called directly): its
// controls follow the session's state, a running step lets only Break through, each control of the window
// and of the emulator panel reaches its command, the error dialog's answers, and where the panel opens.
#include "ui/machine/dealing_window.h"

#include "machine/emulated_si.h"
#include "machine/link.h"
#include "support/sample_deals.h"
#include "support/window_test.h"
#include "ui/machine/emulator_panel.h"
#include "ui/machine/machine_error_dialog.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSpinBox>

namespace orvenix {
namespace {

using test::WhenModalOpens;
constexpr SessionMode Deal = SessionMode::Deal, Read = SessionMode::Read;

class DealingWindowTest : public ::testing::Test {
  protected:
    // Boards 1 to 3: the sample deals to deal, or empty boards to read.
    void Open(SessionMode mode, std::uint8_t firmwareMinor = 0x40) {
        window.reset();
        settings.values.clear();
        set = test::SampleSet(1, 3);
        for (int n = 1; n <= 3 && mode == Read; ++n) {
            set[n] = Board();
            set[n].number = static_cast<std::int16_t>(n);
        }
        auto si = std::make_unique<EmulatedSi>(
            std::make_unique<VirtualClock>(),
            EmulatorConfig{.firmwareMinor = firmwareMinor, .cardIntervalMs = 20});
        clock = &static_cast<VirtualClock&>(si->GetClock());
        link = std::make_unique<MachineLink>(std::move(si), dialogs);
        link->Open(kLinkTimeoutMs);
        window =
            std::make_unique<DealingWindow>(mode, set, *link, *clock, settings, dialogs, [this] { ++saves; });
        window->onStartupTimer();
        // The panel shown as the command shows it, the window not modal so that only a step's windows are.
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
    EmulatedMachine& machine() { return static_cast<EmulatedSi&>(link->Si()).Machine(); }
    template <typename T = QWidget> T* Get(const char* name) { return test::Child<T>(window.get(), name); }
    void Click(const char* name) { Get<QAbstractButton>(name)->click(); }
    void ClickPanel(const char* name) { test::Child<QAbstractButton>(panel, name)->click(); }
    std::string Dealt() { return std::to_string(machine().BoardsDealt()); }

    // Every control is enabled and shown as the session's display says.
    void ExpectControlsFollowTheSession(const char* when) {
        SCOPED_TRACE(when);
        const SessionDisplay& d = window->session().Display();
        std::string enabled;
        for (const bool on : d.enabled)
            enabled += on ? '1' : '0';
        // In the order of SessionControl.
        EXPECT_EQ(test::EnabledFlags(window.get(),
                                     "cmdFirst cmdPrev cmdNext cmdLast cmdDeal Deal_next cmdBreak "
                                     "cmdClear cmdExit Frame2 Check_board Start_from_box"),
                  enabled);
        EXPECT_EQ(std::tuple(Get("cmdClear")->isHidden(), Get("read_mode1")->isHidden(),
                             Get<QLineEdit>("txtStatus")->text().toStdString()),
                  std::tuple(!d.clearVisible, !d.readModesVisible, d.stateText));
        for (std::size_t i = 0; i < 4; ++i) {
            const QLabel* count = Get<QLabel>(("lblCnt_" + std::to_string(i)).c_str());
            const QColor shown = count->palette().color(QPalette::Window);
            const CountColour c = d.counts[i].colour;
            EXPECT_EQ(count->text().toInt(), d.counts[i].count) << i;
            EXPECT_TRUE(c == CountColour::None ||
                        shown == (c == CountColour::Green ? QColor(0, 255, 0) : QColor(255, 0, 0)))
                << i;
        }
    }

    ScriptedDialogs dialogs;
    MemorySettings settings;
    BoardSet set;
    VirtualClock* clock = nullptr;
    std::unique_ptr<MachineLink> link;
    std::unique_ptr<DealingWindow> window;
    EmulatorPanel* panel = nullptr;
    int saves = 0;
};

// While the machine deals only Break acts: the close box, navigation and the options wait, and Break's
// error comes up as a modal dialog.
TEST_F(DealingWindowTest, ControlsFollowTheSessionAndDuringAStepOnlyBreakActs) {
    Open(Deal);
    Poll();
    bool breakDuringStep = false, modal = false, nationalDuringStep = true;
    QTimer::singleShot(0, [&] {
        ExpectControlsFollowTheSession("during a step");
        breakDuringStep = Get("cmdBreak")->isEnabled();
        window->reject();
        Click("cmdNext");
        Click("National_3");
        nationalDuringStep = Get<QRadioButton>("National_3")->isChecked();
        Click("cmdBreak");
    });
    WhenModalOpens([&](QWidget* shown) {
        modal = shown->isModal() && qobject_cast<MachineErrorDialog*>(shown) != nullptr;
        shown->close();
    });
    Click("cmdDeal");
    ExpectControlsFollowTheSession("after a step");
    EXPECT_EQ(std::tuple(breakDuringStep, modal, window->session().LastStep().outcome, set.currentBoard,
                         nationalDuringStep || Get<QRadioButton>("National_3")->isChecked(), window->closed(),
                         settings.values[keys::kNational] == "2"),
              std::tuple(true, true, StepOutcome::Cancelled, 1, false, false, false));
}

// Each button and Escape give their answer; the buttons shown follow the error.
TEST_F(DealingWindowTest, ErrorDialogButtonsAndEscapeGiveTheirAnswers) {
    Open(Deal);
    window->pollTimer.stop();
    const ErrorDialogContent error = MakeErrorDialogContent(0, 3, 0, 1);
    const ErrorDialogContent check = MakeErrorDialogContent(kErrorKindBoardCheck, 0, 7, 12);
    const std::tuple<const char*, const ErrorDialogContent&, int> rows[] = {
        {"Continue_button", check, kErrorActionContinue},
        {"Cancel_button", check, kErrorActionCancel},
        {"Cancel2", check, kErrorActionDealCurrent},
        {"Escape", error, kErrorActionCancel}};
    for (const auto& [answer, content, action] : rows) {
        SCOPED_TRACE(answer);
        ErrorDialog dialog(*link, dialogs, content);
        MachineErrorDialog shown(dialog);
        const auto hidden = [&](const char* name) { return shown.findChild<QPushButton*>(name)->isHidden(); };
        std::string(answer) == "Escape" ? shown.reject() : shown.findChild<QPushButton*>(answer)->click();
        EXPECT_EQ(std::tuple(hidden("Continue_button"), hidden("Cancel_button"), hidden("Cancel2"),
                             dialog.Closed(), dialog.Action(), shown.pollTimer.isActive()),
                  std::tuple(!content.continueVisible, !content.cancelVisible, !content.cancel2Visible, true,
                             action, false));
    }
}

// ---- The emulator panel ------------------------------------------------------------------------------

// Each control of the window and of the emulator panel beside it reaches its command. A modal dialog leaves
// only its own children usable: the panel goes with the error dialog, so that its pedal answers it, and
// comes back to the window afterwards.
TEST_F(DealingWindowTest, EachControlReachesItsCommand) {
    const auto board = [this] { return std::to_string(set.currentBoard); };
    const auto stored = [this](const char* key) { return [this, key] { return settings.values[key]; }; };
    const auto click = [this](const char* name) { return [this, name] { Click(name); }; };
    const auto drawn = [this] { return std::to_string(Get<BoardDrawing>("Picture1")->Texts().size()); };
    const auto large = [this] { return std::to_string(Get<QRadioButton>("Card_Index_j")->isChecked()); };
    bool panelInDialog = false;
    const auto read = [this] { ClickPanel("putStack"), Click("cmdDeal"); };
    const auto status = [this] { return std::to_string(set[1].status); };
    const auto errorShown = [this] { return std::to_string(window->session().LastStep().errorShown); };
    struct Row {
        const char* what;
        std::function<void()> act;
        std::function<std::string()> observe;
        std::string expected;
        SessionMode mode = Deal;
        std::uint8_t firmwareMinor = 0x40;
    };
    const Row rows[] = {
        {"cmdDeal and Deal_next", [this] { Click("cmdDeal"), Click("Deal_next"); },
         [&] { return Dealt() + board(); }, "22"},
        {"cmdLast and cmdPrev", [this] { Click("cmdLast"), Click("cmdPrev"); }, board, "2"},
        {"cmdFirst, cmdNext", [this] { Click("cmdLast"), Click("cmdFirst"), Click("cmdNext"); }, board, "2"},
        {"cmdExit", click("cmdExit"), [this] { return std::to_string(window->closed() && !link->IsOpen()); },
         "1"},
        // The drawing shows the four hands' suits too.
        {"Disp_boards", click("Disp_boards"), drawn, "23"},
        {"cmdClear", [&] { read(), dialogs.QueueAnswer(Answer::Ok), Click("cmdClear"); }, status, "0", Read},
        // Reading shows Clear and the read modes.
        {"read_mode2", click("read_mode2"),
         [this] {
             return settings.values[keys::kInitReadMode] + std::to_string(Get("cmdClear")->isVisible()) +
                    std::to_string(Get("read_mode1")->isVisible() && Get("read_mode2")->isVisible());
         },
         "111", Read},
        {"Start_from_box", click("Start_from_box"), stored(keys::kInitStartFromBox), "1"},
        {"Check_board", click("Check_board"), stored(keys::kCheckBoard), "1"},
        {"National_3", click("National_3"), stored(keys::kNational), "2"},
        {"CardType_2", click("CardType_2"), stored(keys::kCardType), "1"},
        {"Threshold_3", click("Threshold_3"), stored(keys::kThreshold), "2"},
        {"Card_Index_j", click("Card_Index_j"), stored(keys::kCardIndex), "1"},
        // Refused on older firmware: the choice goes back on screen too.
        {"Card_Index_j refused", click("Card_Index_j"), large, "0", Deal, 0x32},
        // Yes to saving after the last board read runs the main window's Save.
        {"save after the last board", [&] { Click("cmdLast"), dialogs.QueueAnswer(Answer::Yes), read(); },
         [this] { return std::to_string(saves) + std::to_string(window->closed()); }, "11", Read},
        {"pace", [this] { test::Child<QSpinBox>(panel, "cardPace")->setValue(50); },
         [this] { return std::to_string(machine().Config().cardIntervalMs); }, "50"},
        {"card box",
         [this] {
             Click("Start_from_box"), ClickPanel("removeBox"), Poll(10), ClickPanel("insertBox"), Poll();
         },
         [this] { return Dealt(); }, "1"},
        {"stack", read, status, std::to_string(kBoardComplete), Read},
        {"board label",
         [this] {
             Click("Check_board"), test::Child<QSpinBox>(panel, "boardNumber")->setValue(1);
             ClickPanel("putBoard"), Click("cmdDeal");
         },
         errorShown, "0"},
        {"unreadable label",
         [this] {
             Click("Check_board"), ClickPanel("unreadableBoard");
             WhenModalOpens([](QWidget* modal) { modal->close(); });
             Click("cmdDeal");
         },
         errorShown, "1"},
        {"error answered by the pedal in the dialog",
         [&] {
             test::Child<QSpinBox>(panel, "errorCode")->setValue(4);
             ClickPanel("injectError");
             WhenModalOpens([&](QWidget* modal) {
                 panelInDialog = panel->parent() == modal && panel->isVisible();
                 ClickPanel("pressPedal");
                 static_cast<MachineErrorDialog*>(modal)->onPollTimer();
             });
             Click("cmdDeal");
         },
         [&] {
             return std::to_string(panelInDialog && panel->parent() == window.get() &&
                                   window->session().LastStep().outcome == StepOutcome::Completed);
         },
         "1"},
        // A window that grows onto the panel pushes it aside.
        {"window grown", [this] { window->resize(window->width() + panel->width() + 20, window->height()); },
         [this] { return std::to_string(panel->frameGeometry().intersects(window->frameGeometry())); }, "0"},
        {"broken link", [this] { test::Child<QCheckBox>(panel, "linkBroken")->setChecked(true), Poll(); },
         [this] { return std::to_string(window->closed() && !window->pollTimer.isActive()); }, "1"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Open(r.mode, r.firmwareMinor);
        r.act();
        EXPECT_EQ(r.observe(), r.expected);
    }
}

// The panel opens beside the window it serves, on that window's screen, never over it: on whichever side
// has room, and when no side has, the window moves; a window that grows onto it pushes it aside.
TEST_F(DealingWindowTest, ThePanelOpensBesideItsWindowNeverOverIt) {
    EmulatedMachine machine;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize size = EmulatorPanel(machine).sizeHint();
    const int wide = area.width() - size.width() / 2, low = area.height() - size.height() - 40;
    const QRect windows[] = {
        QRect(area.left(), area.top(), 200, 150),                           // room on the right
        QRect(area.right() - 200, area.top() + 30, 200, 150),               // on the left only
        QRect(area.left(), area.top(), wide, low),                          // below only
        QRect(area.left(), area.bottom() - low, wide, low),                 // above only
        QRect(area.left() + 20, area.top() + 20, wide, area.height() - 60), // on no side
        QRect(area.topLeft(), area.size()),                                 // as large as the screen
    };
    for (const QRect& geometry : windows) {
        SCOPED_TRACE(geometry.x());
        QWidget served;
        served.setGeometry(geometry);
        served.show();
        auto* beside = new EmulatorPanel(machine, &served);
        beside->ShowBeside(&served);
        EXPECT_EQ(std::tuple(beside->isVisible(), beside->frameGeometry().intersects(served.frameGeometry()),
                             area.contains(beside->frameGeometry()), beside->screen() == served.screen()),
                  std::tuple(true, false, true, true));
    }
}

} // namespace
} // namespace orvenix
