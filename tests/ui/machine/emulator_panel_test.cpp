// The emulated machine's control panel beside the dealing window: its buttons act on the machine the
// window talks to, and it opens beside the window it serves, never over it.
#include "base/dialogs.h"
#include "base/messages.h"
#include "base/settings.h"
#include "machine/emulated_machine.h"
#include "machine/emulated_si.h"
#include "machine/link.h"
#include "support/sample_deals.h"
#include "support/window_test.h"
#include "ui/machine/dealing_window.h"
#include "ui/machine/emulator_panel.h"
#include "ui/machine/machine_error_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace orvenix {
namespace {

class EmulatorPanelTest : public ::testing::Test {
  protected:
    void Open(SessionMode mode, BoardSet boards) {
        set = std::move(boards);
        EmulatorConfig config;
        config.cardIntervalMs = 20;
        auto si = std::make_unique<EmulatedSi>(std::make_unique<VirtualClock>(), config);
        emu = si.get();
        clock = &static_cast<VirtualClock&>(si->GetClock());
        link = std::make_unique<MachineLink>(std::move(si), dialogs);
        link->Open(kLinkTimeoutMs);
        ASSERT_TRUE(link->IsOpen());
        window = std::make_unique<DealingWindow>(mode, set, *link, *clock, settings, dialogs, [] {});
        panel = window->ShowEmulatorPanel(emu->Machine());
        // Shown as the command shows it, but not modal, so that only the windows a step opens are.
        window->setWindowModality(Qt::NonModal);
        window->show();
        ASSERT_NE(panel, nullptr);
        window->onStartupTimer();
    }
    void TearDown() override {
        if (window && !window->closed()) window->reject();
    }
    void Poll() {
        clock->Advance(100);
        window->onPollTimer();
    }
    void Click(const char* name) {
        auto* b = panel->findChild<QPushButton*>(name);
        ASSERT_NE(b, nullptr) << name;
        b->click();
    }

    ScriptedDialogs dialogs;
    MemorySettings settings;
    BoardSet set;
    EmulatedSi* emu = nullptr;
    VirtualClock* clock = nullptr;
    std::unique_ptr<MachineLink> link;
    std::unique_ptr<DealingWindow> window;
    EmulatorPanel* panel = nullptr;
};

TEST_F(EmulatorPanelTest, PedalStartsTheStepAndThePaceSetsTheCardTime) {
    Open(SessionMode::Deal, test::SampleSet(1, 2));
    panel->findChild<QSpinBox*>("cardPace")->setValue(50);
    EXPECT_EQ(emu->Machine().Config().cardIntervalMs, 50u);
    Click("pressPedal");
    Poll();
    EXPECT_EQ(emu->Machine().BoardsDealt(), 1u);
    EXPECT_EQ(window->session().LastStep().outcome, StepOutcome::Completed);
    EXPECT_GE(window->session().LastStep().seconds, 52 * 0.05 - 0.1);
}

TEST_F(EmulatorPanelTest, StackPutInIsTheBoardRead) {
    settings.values[keys::kInitReadMode] = "1";
    BoardSet empty;
    empty.firstBoard = 1;
    empty.lastBoard = 1;
    empty[1].number = 1;
    Open(SessionMode::Read, std::move(empty));
    Click("putStack");
    ASSERT_EQ(panel->LastStack().size(), 52u);
    dialogs.QueueAnswer(Answer::No); // do not save after the last board
    window->findChild<QPushButton*>("cmdDeal")->click();
    EXPECT_EQ(set[1].status, kBoardComplete);
    // Played boards are read in blocks of thirteen cards (South, West, East, North): the board holds each
    // block as one hand, whatever order its cards came in.
    std::vector<std::uint8_t> sortedBlocks = panel->LastStack();
    for (std::size_t block = 0; block < 4; ++block)
        std::sort(sortedBlocks.begin() + static_cast<std::ptrdiff_t>(13 * block),
                  sortedBlocks.begin() + static_cast<std::ptrdiff_t>(13 * block + 13));
    const auto stack = StackForDeal(set[1], ReadMode::PlayedBoards, DealerOf(1));
    EXPECT_EQ(std::vector<std::uint8_t>(stack.begin(), stack.end()), sortedBlocks);
    for (std::size_t i = 0; i < 13; ++i)
        EXPECT_EQ(set[1].cardOwner[panel->LastStack()[i]], Seat{3}) << i; // the first block is South's
}

TEST_F(EmulatorPanelTest, InjectedErrorOpensTheDialogWithThePanelStillUsable) {
    Open(SessionMode::Deal, test::SampleSet(1, 2));
    panel->findChild<QSpinBox*>("errorCode")->setValue(4);
    panel->findChild<QSpinBox*>("errorCard")->setValue(7);
    Click("injectError");
    QString code;
    bool panelInDialog = false;
    test::WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<MachineErrorDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        code = dialog->findChild<QLabel*>("Error_code")->text();
        panelInDialog = panel->parent() == dialog && panel->isVisible();
        // The pedal on the panel answers the dialog like Continue.
        Click("pressPedal");
        dialog->onPollTimer();
    });
    window->findChild<QPushButton*>("cmdDeal")->click();
    EXPECT_EQ(code, "Error Code: 4");
    EXPECT_TRUE(panelInDialog);
    EXPECT_EQ(window->session().LastStep().outcome, StepOutcome::Completed);
    EXPECT_EQ(panel->parent(), window.get());
}

TEST_F(EmulatorPanelTest, BoardLabelsPutInAreChecked) {
    Open(SessionMode::Deal, test::SampleSet(1, 2));
    window->findChild<QCheckBox*>("Check_board")->click();
    ASSERT_TRUE(window->session().Display().options.checkBoard);
    panel->findChild<QSpinBox*>("boardNumber")->setValue(1);
    Click("putBoard");
    window->findChild<QPushButton*>("cmdDeal")->click();
    EXPECT_EQ(window->session().LastStep().outcome, StepOutcome::Completed);
    EXPECT_FALSE(window->session().LastStep().errorShown);

    Click("unreadableBoard");
    QString code;
    test::WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<MachineErrorDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        code = dialog->findChild<QLabel*>("Error_code")->text();
        dialog->findChild<QPushButton*>("Cancel_button")->click();
    });
    window->findChild<QPushButton*>("Deal_next")->click();
    EXPECT_EQ(code, "Error Code: 64");
    EXPECT_EQ(window->session().LastStep().outcome, StepOutcome::Cancelled);
    EXPECT_EQ(emu->Machine().BoardsDealt(), 1u);
}

TEST_F(EmulatorPanelTest, BrokenLinkClosesTheWindow) {
    Open(SessionMode::Deal, test::SampleSet(1, 2));
    panel->findChild<QCheckBox*>("linkBroken")->setChecked(true);
    Poll();
    EXPECT_TRUE(window->closed());
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.Last().text, FormatMessage(MsgLostCommunicationDealing));
}

// The panel opens beside the window it serves, on that window's screen, never over it: on whichever side
// has room, and when no side has, the window moves.
TEST(EmulatorPanelPlace, BesideTheWindowOnItsScreenNeverOverIt) {
    EmulatedMachine machine;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize panelSize = EmulatorPanel(machine).sizeHint();
    struct Case {
        const char* where;
        QRect window;
    };
    const int wide = area.width() - panelSize.width() / 2;
    const int low = area.height() - panelSize.height() - 40;
    const Case cases[] = {
        {"room on the right", QRect(area.left(), area.top(), 200, 150)},
        {"room on the left only", QRect(area.right() - 200, area.top() + 30, 200, 150)},
        {"room below only", QRect(area.left(), area.top(), wide, low)},
        {"room above only", QRect(area.left(), area.bottom() - low, wide, low)},
        {"no room on any side", QRect(area.left() + 20, area.top() + 20, wide, area.height() - 60)},
        {"window as large as the screen", QRect(area.topLeft(), area.size())},
    };
    for (const Case& c : cases) {
        QWidget served;
        served.setGeometry(c.window);
        served.show();
        auto* panel = new EmulatorPanel(machine, &served);
        panel->ShowBeside(&served);
        EXPECT_TRUE(panel->isVisible()) << c.where;
        const QRect panelAt = panel->frameGeometry();
        const QRect windowAt = served.frameGeometry();
        EXPECT_FALSE(panelAt.intersects(windowAt)) << c.where;
        EXPECT_TRUE(area.contains(panelAt)) << c.where;
        EXPECT_EQ(panel->screen(), served.screen()) << c.where;
    }
}

// A window shown after the panel was asked for takes the panel beside it when it opens.
TEST_F(EmulatorPanelTest, OpensBesideTheDealingWindow) {
    Open(SessionMode::Deal, test::SampleSet(1, 2));
    ASSERT_TRUE(panel->isVisible());
    EXPECT_FALSE(panel->frameGeometry().intersects(window->frameGeometry()));
    EXPECT_EQ(panel->screen(), window->screen());
    // A window that grows onto the panel once shown pushes it aside.
    window->resize(window->width() + panel->width() + 20, window->height());
    EXPECT_FALSE(panel->frameGeometry().intersects(window->frameGeometry()));
}

} // namespace
} // namespace orvenix
